#pragma once
// The system's list of present devices, by class, with the properties device
// discovery reads. The Linux implementation is CUdevDeviceEnumerator
// (platform/udev); tests use a fake.
#include <optional>
#include <string>
#include <vector>

namespace evdo {

enum class DeviceClass {
  Ports,   // serial ports
  CdRom,   // CD-ROM drives
  Modems,  // modems
};

// One present device. A property that cannot be read is empty; the port
// name is absent when it cannot be read.
struct DeviceProperties {
  std::string description;   // device description
  std::string hardwareId;    // the first hardware identifier, e.g. "usb\vid_1614&pid_6000&mi_02";
                             // for a drive, that of its USB device, "usb\vid_1c9e&pid_f000"
  std::string friendlyName;  // friendly name
  std::optional<std::string> portName;  // the name that opens the port: a device node
  // The USB device's bus number and address on it, in decimal; empty when
  // they cannot be read.
  std::string usbBus;
  std::string usbDevice;
};

class DeviceEnumerator {
public:
  virtual ~DeviceEnumerator() = default;
  // Fills out with the present devices of cls, in enumeration order. False
  // when the device list is unavailable.
  virtual bool Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) = 0;
};

}  // namespace evdo
