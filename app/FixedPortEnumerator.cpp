#include "app/FixedPortEnumerator.h"

#include <sys/stat.h>

#include "core/text/FixedText.h"

namespace evdo {

bool CFixedPortEnumerator::Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) {
  out.clear();
  struct stat st {};
  if (cls != DeviceClass::Ports || ::stat(portPath_.c_str(), &st) != 0) return true;
  DeviceProperties port;
  port.description = std::string(FieldText(settings_.Internet_szPCUIName));
  port.hardwareId = std::string("usb\\") + ModemHardwareId(settings_.Main_nCompany);
  port.friendlyName = portPath_;
  port.portName = portPath_;
  out.push_back(std::move(port));
  return true;
}

}  // namespace evdo
