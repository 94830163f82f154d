#include "device/discovery/DeviceDiscovery.h"

#include "core/text/FixedText.h"
#include "device/discovery/DeviceText.h"

namespace evdo {

StringId ConnectResultStringId(int result) {
  switch (result) {
    case kConnectNotFound: return kStrDeviceNotFound;
    case kConnectOpened: return kStrDeviceConnected;
    case kConnectOpenFailed: return kStrDeviceOpenFailed;
    default: return 0;
  }
}

CDeviceDiscovery::CDeviceDiscovery(DeviceEnumerator& devices, const CSetupData& settings)
    : devices_(devices), settings_(settings) {}

void CDeviceDiscovery::SetDeviceIdentifier(std::int32_t company) {
  SetFieldText(deviceId_, ModemHardwareId(company));
}

const DeviceProperties* CDeviceDiscovery::FindDevice(DeviceClass cls, std::string_view description) {
  present_.clear();
  if (!devices_.Enumerate(cls, present_)) return nullptr;
  const std::string_view deviceId = FieldText(deviceId_);
  for (const DeviceProperties& device : present_) {
    const std::string_view described = TrimTrailingBlanks(PropertyText(device.description));
    const std::string hardwareId = LowerCase(PropertyText(device.hardwareId));
    if (EqualsIgnoringCase(described, description) && hardwareId.find(deviceId) != std::string::npos)
      return &device;
  }
  return nullptr;
}

bool CDeviceDiscovery::FindCommandPort(std::string& pathOut) {
  const DeviceProperties* port = FindDevice(DeviceClass::Ports, FieldText(settings_.Internet_szPCUIName));
  if (port == nullptr) return false;
  // The port's name is its device node, which is the path that opens it. A
  // name that cannot be read, or a path that does not fit, leaves the path
  // alone: the port counts as found but cannot be opened.
  if (port->portName) {
    const std::string_view name = PropertyText(*port->portName);
    if (!name.empty() && name.size() < kPortPathSize) pathOut = name;
  }
  return true;
}

bool CDeviceDiscovery::IsInstallerDiskPresent() {
  present_.clear();
  if (!devices_.Enumerate(DeviceClass::CdRom, present_)) return false;
  const std::string_view diskName = FieldText(settings_.Main_szUsbDiskFriendlyName);
  for (const DeviceProperties& drive : present_)
    if (EqualsIgnoringCase(TrimTrailingBlanks(PropertyText(drive.friendlyName)), diskName)) return true;
  return false;
}

bool CDeviceDiscovery::StartModeSwitchIfNeeded(const ProgramStarter& start) {
  return IsInstallerDiskPresent() && start(kModeSwitchProgram);
}

bool CDeviceDiscovery::FindModemDevice() {
  SetFieldText(modemDescription_, "");
  SetFieldText(modemFriendlyName_, "");
  const DeviceProperties* modem = FindDevice(DeviceClass::Modems, FieldText(settings_.Internet_szDeviceName));
  if (modem == nullptr) return false;
  SetFieldText(modemDescription_, PropertyText(modem->description));
  SetFieldText(modemFriendlyName_, PropertyText(modem->friendlyName));
  return true;
}

bool CDeviceDiscovery::SearchPort() {
  std::string path;
  if (!FindCommandPort(path)) return false;
  SetFieldText(portPath_, path);
  return true;
}

ConnectResult CDeviceDiscovery::ConnectDevice(bool startThreads, std::uint8_t tries, std::uint16_t intervalMs,
                                              const PortOpener& open, const Sleeper& sleep) {
  SetFieldText(portPath_, "");
  bool found = false;
  for (unsigned attempt = 0; attempt < tries && !found; ++attempt) {
    sleep(intervalMs);
    found = SearchPort();
  }
  if (!found) return kConnectNotFound;
  for (unsigned attempt = 0; attempt < tries; ++attempt) {
    sleep(intervalMs);
    if (open(portPath_, startThreads)) return kConnectOpened;
  }
  return kConnectOpenFailed;
}

void CDeviceDiscovery::StartDeviceWait(WindowPort& window) {
  window.SetTimer(kDeviceWaitTimer, kDeviceWaitPeriodMs);
}

bool CDeviceDiscovery::OnDeviceWaitTimer(WindowPort& window, const PortOpener& open) {
  SetFieldText(portPath_, "");
  if (!SearchPort() || !open(portPath_, true)) return false;
  window.KillTimer(kDeviceWaitTimer);
  return true;
}

}  // namespace evdo
