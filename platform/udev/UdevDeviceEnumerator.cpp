#include "platform/udev/UdevDeviceEnumerator.h"

#include <libudev.h>

#include <memory>
#include <string_view>

namespace evdo {

namespace {

struct UdevUnref {
  void operator()(udev* u) const { udev_unref(u); }
  void operator()(udev_enumerate* e) const { udev_enumerate_unref(e); }
  void operator()(udev_device* d) const { udev_device_unref(d); }
};
template <typename T>
using UdevPtr = std::unique_ptr<T, UdevUnref>;

std::string_view Text(const char* value) { return value ? value : ""; }

std::string SysAttr(udev_device* device, const char* name) {
  return device ? std::string(Text(udev_device_get_sysattr_value(device, name))) : std::string();
}

// A tty on a USB interface; false for any other tty.
bool ReadSerialInterface(udev_device* tty, DeviceProperties& out) {
  udev_device* interface = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_interface");
  if (interface == nullptr) return false;
  udev_device* usb = udev_device_get_parent_with_subsystem_devtype(tty, "usb", "usb_device");
  out.description = SysAttr(interface, "interface");
  out.hardwareId = "usb\\vid_" + SysAttr(usb, "idVendor") + "&pid_" + SysAttr(usb, "idProduct") + "&mi_" +
                   SysAttr(interface, "bInterfaceNumber");
  if (const char* node = udev_device_get_devnode(tty)) {
    out.portName = node;
    out.friendlyName = node;
  }
  return true;
}

bool IsCdRom(udev_device* block) {
  const std::string_view devtype = Text(udev_device_get_devtype(block));
  const std::string_view cdrom = Text(udev_device_get_property_value(block, "ID_CDROM"));
  const std::string_view name = Text(udev_device_get_sysname(block));
  return devtype == "disk" && (cdrom == "1" || name.substr(0, 2) == "sr");
}

bool ReadCdRom(udev_device* block, DeviceProperties& out) {
  if (!IsCdRom(block)) return false;
  udev_device* scsi = udev_device_get_parent_with_subsystem_devtype(block, "scsi", "scsi_device");
  out.friendlyName = SysAttr(scsi, "model");
  if (out.friendlyName.empty()) out.friendlyName = Text(udev_device_get_property_value(block, "ID_MODEL"));
  out.description = out.friendlyName;
  if (const char* node = udev_device_get_devnode(block)) out.portName = node;
  // The USB device the drive belongs to: the modem's storage function, which
  // the mode-switch tool is pointed at.
  if (udev_device* usb = udev_device_get_parent_with_subsystem_devtype(block, "usb", "usb_device")) {
    out.hardwareId = "usb\\vid_" + SysAttr(usb, "idVendor") + "&pid_" + SysAttr(usb, "idProduct");
    out.usbBus = SysAttr(usb, "busnum");
    out.usbDevice = SysAttr(usb, "devnum");
  }
  return true;
}

}  // namespace

bool CUdevDeviceEnumerator::Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) {
  out.clear();
  UdevPtr<udev> context(udev_new());
  if (!context) return false;
  UdevPtr<udev_enumerate> enumerate(udev_enumerate_new(context.get()));
  if (!enumerate) return false;
  const bool cdrom = cls == DeviceClass::CdRom;
  if (udev_enumerate_add_match_subsystem(enumerate.get(), cdrom ? "block" : "tty") < 0 ||
      udev_enumerate_scan_devices(enumerate.get()) < 0)
    return false;
  udev_list_entry* entry = nullptr;
  udev_list_entry_foreach(entry, udev_enumerate_get_list_entry(enumerate.get())) {
    UdevPtr<udev_device> device(udev_device_new_from_syspath(context.get(), udev_list_entry_get_name(entry)));
    if (!device) continue;  // gone since the scan
    DeviceProperties properties;
    if (cdrom ? ReadCdRom(device.get(), properties) : ReadSerialInterface(device.get(), properties))
      out.push_back(std::move(properties));
  }
  return true;
}

}  // namespace evdo
