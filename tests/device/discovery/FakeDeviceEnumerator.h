#pragma once
// A device list for the discovery tests: devices by class, an unavailable
// list, and a log of every enumeration.
#include <functional>
#include <map>
#include <vector>

#include "device/discovery/DeviceEnumerator.h"

namespace evdo::test {

class FakeDeviceEnumerator final : public DeviceEnumerator {
public:
  bool Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) override {
    if (onEnumerate) onEnumerate(cls);
    out.clear();
    if (!available) return false;
    out = devices[cls];
    return true;
  }

  std::map<DeviceClass, std::vector<DeviceProperties>> devices;
  bool available = true;
  std::function<void(DeviceClass)> onEnumerate;
};

inline DeviceProperties SerialPort(std::string description, std::string hardwareId,
                                   std::optional<std::string> portName, std::string friendlyName = "") {
  return DeviceProperties{std::move(description), std::move(hardwareId), std::move(friendlyName),
                          std::move(portName)};
}

// A CD-ROM drive of a USB device (the modem's storage function by default).
inline DeviceProperties CdRomDrive(std::string friendlyName, std::string hardwareId = "usb\\vid_1c9e&pid_f000",
                                   std::string usbBus = "1", std::string usbDevice = "5") {
  DeviceProperties drive{"", std::move(hardwareId), std::move(friendlyName), std::nullopt};
  drive.usbBus = std::move(usbBus);
  drive.usbDevice = std::move(usbDevice);
  return drive;
}

}  // namespace evdo::test
