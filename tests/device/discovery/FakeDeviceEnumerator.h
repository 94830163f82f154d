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

inline DeviceProperties CdRomDrive(std::string friendlyName) {
  return DeviceProperties{"", "", std::move(friendlyName), std::nullopt};
}

}  // namespace evdo::test
