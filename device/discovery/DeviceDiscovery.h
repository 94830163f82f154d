#pragma once
// Finding the modem among the present devices: its command port (opened as
// the serial port), the installer disk it shows before its mode switch, and
// the modem device used by the dial-up connection.
#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/settings/SetupData.h"
#include "core/event/WindowPort.h"
#include "device/discovery/DeviceEnumerator.h"
#include "device/discovery/ProgramStarter.h"
#include "ui/StringIds.h"

namespace evdo {

// Opens the serial port at path (CSerialPort::Open); true on success.
using PortOpener = std::function<bool(const std::string& path, bool startThreads)>;
// Sleeps for ms milliseconds.
using Sleeper = std::function<void(std::uint32_t ms)>;

// Results of ConnectDevice.
enum ConnectResult : int {
  kConnectNotFound = 0,    // no command port found
  kConnectOpened = 1,      // found and opened
  kConnectOpenFailed = 2,  // found, but every attempt to open it failed
};

// The text of a ConnectDevice result; 0 for a value that is no result.
StringId ConnectResultStringId(int result);

// Sizes of the texts discovery keeps, terminator included.
inline constexpr std::size_t kDeviceIdSize = 256;
inline constexpr std::size_t kPortPathSize = 50;
inline constexpr std::size_t kModemTextSize = 128;

// The device search at start-up and after resume.
inline constexpr std::uint8_t kStartupConnectTries = 30;
inline constexpr std::uint16_t kStartupConnectIntervalMs = 2000;
inline constexpr std::uint8_t kResumeConnectTries = 30;
inline constexpr std::uint16_t kResumeConnectIntervalMs = 1000;
inline constexpr std::uint32_t kResumeSettleMs = 6000;

// The main window's wait for a device that was missing when it opened.
inline constexpr TimerId kDeviceWaitTimer = 25;
inline constexpr std::uint32_t kDeviceWaitPeriodMs = 1000;

// The modem's mode-switch tool, where Debian's usb-modeswitch installs it
// (outside an ordinary user's PATH).
inline constexpr const char* kModeSwitchProgram = "/usr/sbin/usb_modeswitch";

// The switch configuration for a device id ("1c9e:f000"), or nothing; the
// program passes FindModeSwitchConfig over the installed data package.
using ModeSwitchConfigLookup = std::function<std::optional<std::string>(const std::string& id)>;

// The USB vendor and product of a hardware identifier "usb\vid_VVVV&pid_PPPP...",
// lower-cased; nothing when it has no such pair of four hexadecimal digits.
struct UsbIds {
  std::string vendor;
  std::string product;
};
std::optional<UsbIds> UsbIdsOf(std::string_view hardwareId);

// The command that switches disk: the tool, the storage function's vendor
// and product, its bus and address when known, and the configuration as the
// data package gives it (the call the package's own device rules make).
std::vector<std::string> ModeSwitchCommand(const DeviceProperties& disk, const UsbIds& ids,
                                           const std::string& config);

class CDeviceDiscovery {
public:
  CDeviceDiscovery(DeviceEnumerator& devices, const CSetupData& settings);

  // Sets the device identifier from the edition: "vid_1c9e&pid_6000" for
  // Main_nCompany 4 or 5, else "vid_1614&pid_6000". Done once at start-up.
  void SetDeviceIdentifier(std::int32_t company);
  const char* DeviceIdentifier() const { return deviceId_; }

  // Looks for the port described as Internet_szPCUIName whose hardware
  // identifier contains the device identifier. True when found; pathOut gets
  // the port's path when its name could be read and fits the port path.
  bool FindCommandPort(std::string& pathOut);

  // True when a CD-ROM drive named Main_szUsbDiskFriendlyName is present.
  bool IsInstallerDiskPresent();

  // Start-up: when the installer disk is present, starts the mode-switch
  // tool on it and returns at once. True when the tool was started; false
  // too when the disk's device ids or its switch configuration are unknown,
  // since the tool could then switch nothing.
  bool StartModeSwitchIfNeeded(const ProgramStarter& start, const ModeSwitchConfigLookup& configs);

  // Looks for the modem described as Internet_szDeviceName whose hardware
  // identifier contains the device identifier; fills the modem texts, or
  // clears them when none is found.
  bool FindModemDevice();
  const char* ModemDescription() const { return modemDescription_; }
  const char* ModemFriendlyName() const { return modemFriendlyName_; }

  // Finds the command port and opens it: up to tries searches, then up to
  // tries openings, each after a sleep of intervalMs.
  ConnectResult ConnectDevice(bool startThreads, std::uint8_t tries, std::uint16_t intervalMs,
                              const PortOpener& open, const Sleeper& sleep);

  // The path of the command port found last; empty when none.
  const char* PortPath() const { return portPath_; }

  // Arms the wait for the device on window.
  void StartDeviceWait(WindowPort& window);
  // One tick of the wait: searches and opens once. True when the port is
  // open; the wait timer is then killed and the caller minimises the main
  // window and runs the device initialisation.
  bool OnDeviceWaitTimer(WindowPort& window, const PortOpener& open);

private:
  // The first present device of cls described as description whose hardware
  // identifier contains the device identifier; null when there is none.
  const DeviceProperties* FindDevice(DeviceClass cls, std::string_view description);
  // The first present CD-ROM drive named Main_szUsbDiskFriendlyName.
  const DeviceProperties* FindInstallerDisk();
  // FindCommandPort into the port path.
  bool SearchPort();

  DeviceEnumerator& devices_;
  const CSetupData& settings_;
  std::vector<DeviceProperties> present_;  // the last enumeration
  char deviceId_[kDeviceIdSize] = {};
  char portPath_[kPortPathSize] = {};
  char modemDescription_[kModemTextSize] = {};
  char modemFriendlyName_[kModemTextSize] = {};
};

}  // namespace evdo
