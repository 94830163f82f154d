#include "device/discovery/DeviceDiscovery.h"

#include <cctype>

#include "core/text/FixedText.h"
#include "device/discovery/DeviceText.h"

namespace evdo {

namespace {

// Four hexadecimal digits after marker in id, lower-cased.
std::optional<std::string> HexAfter(std::string_view id, std::string_view marker) {
  std::size_t at = id.find(marker);
  if (at == std::string_view::npos) return std::nullopt;
  std::string_view digits = id.substr(at + marker.size());
  std::size_t n = 0;
  while (n < digits.size() && std::isxdigit(static_cast<unsigned char>(digits[n])) != 0) ++n;
  if (n != 4) return std::nullopt;
  return LowerCase(digits.substr(0, 4));
}

bool IsDecimal(std::string_view text) {
  return !text.empty() && text.size() <= 3 &&
         text.find_first_not_of("0123456789") == std::string_view::npos;
}

}  // namespace

std::optional<UsbIds> UsbIdsOf(std::string_view hardwareId) {
  const std::string id = LowerCase(hardwareId);
  std::optional<std::string> vendor = HexAfter(id, "vid_");
  std::optional<std::string> product = HexAfter(id, "pid_");
  if (!vendor || !product) return std::nullopt;
  return UsbIds{*vendor, *product};
}

std::vector<std::string> ModeSwitchCommand(const DeviceProperties& disk, const UsbIds& ids,
                                           const std::string& config) {
  std::vector<std::string> argv{kModeSwitchProgram, "-v", "0x" + ids.vendor, "-p", "0x" + ids.product};
  // Bus and address pick this very device when several alike are plugged in.
  if (IsDecimal(disk.usbBus) && IsDecimal(disk.usbDevice))
    argv.insert(argv.end(), {"-b", disk.usbBus, "-g", disk.usbDevice});
  argv.insert(argv.end(), {"-f", config});
  return argv;
}

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

const DeviceProperties* CDeviceDiscovery::FindInstallerDisk() {
  present_.clear();
  if (!devices_.Enumerate(DeviceClass::CdRom, present_)) return nullptr;
  const std::string_view diskName = FieldText(settings_.Main_szUsbDiskFriendlyName);
  for (const DeviceProperties& drive : present_)
    if (EqualsIgnoringCase(TrimTrailingBlanks(PropertyText(drive.friendlyName)), diskName)) return &drive;
  return nullptr;
}

bool CDeviceDiscovery::IsInstallerDiskPresent() { return FindInstallerDisk() != nullptr; }

bool CDeviceDiscovery::StartModeSwitchIfNeeded(const ProgramStarter& start,
                                               const ModeSwitchConfigLookup& configs) {
  const DeviceProperties* disk = FindInstallerDisk();
  if (disk == nullptr) return false;
  std::optional<UsbIds> ids = UsbIdsOf(disk->hardwareId);
  if (!ids) return false;
  std::optional<std::string> config = configs(ids->vendor + ":" + ids->product);
  if (!config) return false;
  return start(ModeSwitchCommand(*disk, *ids, *config));
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
