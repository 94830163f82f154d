#include "device/discovery/DeviceDiscovery.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <optional>

#include "core/text/FixedText.h"
#include "core/event/ManualEventLoop.h"
#include "tests/device/discovery/FakeDeviceEnumerator.h"

namespace evdo {
namespace {

using test::CdRomDrive;
using test::FakeDeviceEnumerator;
using test::SerialPort;

constexpr const char* kCommandPort = "Device Application Interface";
constexpr const char* kModemId = "USB\\VID_1614&PID_6000&MI_02";

class DeviceDiscoveryTest : public ::testing::Test {
protected:
  DeviceDiscoveryTest() { discovery_.SetDeviceIdentifier(1); }

  std::vector<DeviceProperties>& Ports() { return devices_.devices[DeviceClass::Ports]; }

  FakeDeviceEnumerator devices_;
  CSetupData settings_;
  CDeviceDiscovery discovery_{devices_, settings_};
};

// --- FindCommandPort -------------------------------------------------------

TEST_F(DeviceDiscoveryTest, ChoosesTheDescribedPortWhateverTheOrder) {
  const auto diagnostics = SerialPort("Diagnostics Interface", "usb\\vid_1614&pid_6000&mi_01", "/dev/ttyUSB1");
  const auto command = SerialPort(kCommandPort, "usb\\vid_1614&pid_6000&mi_02", "/dev/ttyUSB2");
  for (const auto& order : {std::vector{diagnostics, command}, std::vector{command, diagnostics}}) {
    Ports() = order;
    std::string path;
    EXPECT_TRUE(discovery_.FindCommandPort(path));
    EXPECT_EQ(path, "/dev/ttyUSB2");
  }
}

struct PortCase {
  const char* name;
  std::int32_t company;
  const char* description;
  const char* hardwareId;
  bool found;
  friend void PrintTo(const PortCase& c, std::ostream* os) { *os << c.name; }
};

class CommandPortMatching : public DeviceDiscoveryTest, public ::testing::WithParamInterface<PortCase> {};

TEST_P(CommandPortMatching, ComparesDescriptionAndIdentifier) {
  discovery_.SetDeviceIdentifier(GetParam().company);
  Ports() = {SerialPort(GetParam().description, GetParam().hardwareId, "/dev/ttyUSB2")};
  std::string path;
  EXPECT_EQ(discovery_.FindCommandPort(path), GetParam().found);
  EXPECT_EQ(path, GetParam().found ? "/dev/ttyUSB2" : "");
}

INSTANTIATE_TEST_SUITE_P(
    Cases, CommandPortMatching,
    ::testing::Values(
        PortCase{"Exact", 1, kCommandPort, "usb\\vid_1614&pid_6000&mi_02", true},
        PortCase{"TrailingBlanks", 1, "Device Application Interface \t ", "usb\\vid_1614&pid_6000&mi_02", true},
        PortCase{"IdentifierInCapitals", 1, kCommandPort, kModemId, true},
        PortCase{"DescriptionInOtherCase", 1, "DEVICE application INTERFACE", kModemId, true},
        PortCase{"LeadingBlankDiffers", 1, " Device Application Interface", kModemId, false},
        PortCase{"OtherDescription", 1, "Mobile Connector", kModemId, false},
        PortCase{"OtherProduct", 1, kCommandPort, "usb\\vid_1614&pid_6001&mi_02", false},
        PortCase{"Company4WithDefaultVendor", 4, kCommandPort, kModemId, false},
        PortCase{"Company5WithDefaultVendor", 5, kCommandPort, kModemId, false},
        PortCase{"Company4WithItsVendor", 4, kCommandPort, "USB\\VID_1C9E&PID_6000&MI_02", true},
        PortCase{"Company5WithItsVendor", 5, kCommandPort, "usb\\vid_1c9e&pid_6000&mi_02", true},
        PortCase{"Company1WithOtherVendor", 1, kCommandPort, "usb\\vid_1c9e&pid_6000&mi_02", false},
        PortCase{"DescriptionTooLongForItsBuffer", 1,
                 "Device Application Interface                                                            "
                 "                                                                                        "
                 "                                                                                        ",
                 kModemId, false}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(DeviceDiscoveryTest, DoubleByteCharactersAreNotCaseFolded) {
  // 0x81 0x41 and 0x81 0x61 are two different characters of code page 936
  // whose second bytes happen to be 'A' and 'a'.
  SetFieldText(settings_.Internet_szPCUIName, "Port \x81\x41");
  Ports() = {SerialPort("Port \x81\x61", kModemId, "/dev/ttyUSB2")};
  std::string path;
  EXPECT_FALSE(discovery_.FindCommandPort(path));
  Ports() = {SerialPort("PORT \x81\x41", kModemId, "/dev/ttyUSB2")};
  EXPECT_TRUE(discovery_.FindCommandPort(path));
}

TEST_F(DeviceDiscoveryTest, FoundPortWithoutAUsableNameLeavesThePathAlone) {
  for (const auto& name : {std::optional<std::string>(), std::optional<std::string>(""),
                           std::optional<std::string>("/dev/serial/by-id/usb-modem-interface-02-port0-xyz")}) {
    Ports() = {SerialPort(kCommandPort, kModemId, name)};
    std::string path = "untouched";
    EXPECT_TRUE(discovery_.FindCommandPort(path));
    EXPECT_EQ(path, "untouched");
  }
}

TEST_F(DeviceDiscoveryTest, UnavailableListFindsNothing) {
  Ports() = {SerialPort(kCommandPort, kModemId, "/dev/ttyUSB2")};
  devices_.available = false;
  std::string path;
  EXPECT_FALSE(discovery_.FindCommandPort(path));
  EXPECT_FALSE(discovery_.IsInstallerDiskPresent());
  EXPECT_FALSE(discovery_.FindModemDevice());
}

// --- Installer disk ------------------------------------------------------

struct DiskCase {
  const char* name;
  const char* configured;
  std::vector<std::string> drives;
  bool present;
  friend void PrintTo(const DiskCase& c, std::ostream* os) { *os << c.name; }
};

class InstallerDisk : public DeviceDiscoveryTest, public ::testing::WithParamInterface<DiskCase> {};

TEST_P(InstallerDisk, IsFoundByFriendlyName) {
  SetFieldText(settings_.Main_szUsbDiskFriendlyName, GetParam().configured);
  for (const auto& drive : GetParam().drives) devices_.devices[DeviceClass::CdRom].push_back(CdRomDrive(drive));
  EXPECT_EQ(discovery_.IsInstallerDiskPresent(), GetParam().present);

  std::vector<std::vector<std::string>> started;
  discovery_.StartModeSwitchIfNeeded(
      [&](const std::vector<std::string>& argv) {
        started.push_back(argv);
        return true;
      },
      [](const std::string&) { return std::optional<std::string>("DefaultVendor=0x1c9e\n"); });
  ASSERT_EQ(started.size(), GetParam().present ? 1u : 0u);
  if (!started.empty()) {
    EXPECT_EQ(started[0].front(), kModeSwitchProgram);
  }
}

INSTANTIATE_TEST_SUITE_P(
    Cases, InstallerDisk,
    ::testing::Values(DiskCase{"EmptyNameMatchesADriveWithoutName", "", {"DVD-RW", ""}, true},
                      DiskCase{"EmptyNameAndNamedDrives", "", {"DVD-RW"}, false},
                      DiskCase{"NameWithTrailingBlanksAndOtherCase", "USB SCSI CD-ROM", {"usb scsi cd-rom    "}, true},
                      DiskCase{"OtherName", "USB SCSI CD-ROM", {"USB SCSI CD-ROM 2"}, false},
                      DiskCase{"NoDrives", "", {}, false}),
    [](const auto& info) { return std::string(info.param.name); });

// The tool is told which device to switch (the storage function's vendor
// and product, on its bus and address) and how, with the switch
// configuration its data package holds for that device: the same call the
// data package's own device rules make.
TEST_F(DeviceDiscoveryTest, ModeSwitchToolSwitchesTheStorageFunction) {
  devices_.devices[DeviceClass::CdRom] = {CdRomDrive("", "USB\\VID_1C9E&PID_F000&MI_00", "2", "17")};
  const std::string config =
      "TargetVendor=0x1c9e\nTargetProductList=\"9000,9603\"\n"
      "MessageContent=\"555342431234567800000000000001ff000000000000000000000000000000\"\n";
  std::vector<std::string> asked;
  std::vector<std::vector<std::string>> started;
  ASSERT_TRUE(discovery_.StartModeSwitchIfNeeded(
      [&](const std::vector<std::string>& argv) {
        started.push_back(argv);
        return true;
      },
      [&](const std::string& id) {
        asked.push_back(id);
        return std::optional<std::string>(config);
      }));
  EXPECT_EQ(asked, std::vector<std::string>{"1c9e:f000"});
  ASSERT_EQ(started.size(), 1u);
  EXPECT_EQ(started[0], (std::vector<std::string>{kModeSwitchProgram, "-v", "0x1c9e", "-p", "0xf000", "-b", "2",
                                                  "-g", "17", "-f", config}));
}

TEST_F(DeviceDiscoveryTest, ModeSwitchWithoutBusAddressNamesTheDeviceByItsIdsOnly) {
  devices_.devices[DeviceClass::CdRom] = {CdRomDrive("", "usb\\vid_1614&pid_0800", "", "")};
  std::vector<std::string> argv;
  ASSERT_TRUE(discovery_.StartModeSwitchIfNeeded(
      [&](const std::vector<std::string>& a) {
        argv = a;
        return true;
      },
      [](const std::string&) { return std::optional<std::string>("TargetClass=0xff\n"); }));
  EXPECT_EQ(argv, (std::vector<std::string>{kModeSwitchProgram, "-v", "0x1614", "-p", "0x0800", "-f",
                                            "TargetClass=0xff\n"}));
}

// Without the device's identifiers or a configuration for it the tool
// cannot switch anything: it is not started.
TEST_F(DeviceDiscoveryTest, ModeSwitchNeedsTheDevicesIdsAndAConfiguration) {
  int starts = 0;
  auto start = [&](const std::vector<std::string>&) { return ++starts, true; };
  auto none = [](const std::string&) { return std::optional<std::string>(); };
  auto some = [](const std::string&) { return std::optional<std::string>("TargetClass=0xff\n"); };
  devices_.devices[DeviceClass::CdRom] = {CdRomDrive("")};
  EXPECT_FALSE(discovery_.StartModeSwitchIfNeeded(start, none));
  for (const char* id : {"", "usb\\vid_1c9e", "usb\\vid_1c9e&pid_", "usb\\vid_1c9g&pid_f000",
                         "usb\\vid_1c9e1&pid_f000", "usb\\vid_../&pid_f000"}) {
    devices_.devices[DeviceClass::CdRom] = {CdRomDrive("", id)};
    EXPECT_FALSE(discovery_.StartModeSwitchIfNeeded(start, some)) << id;
  }
  EXPECT_EQ(starts, 0);
  // A bus or address that is no number is left out rather than passed on.
  devices_.devices[DeviceClass::CdRom] = {CdRomDrive("", "usb\\vid_1c9e&pid_f000", "1 -W", "5")};
  std::vector<std::string> argv;
  ASSERT_TRUE(discovery_.StartModeSwitchIfNeeded(
      [&](const std::vector<std::string>& a) {
        argv = a;
        return true;
      },
      some));
  EXPECT_EQ(std::find(argv.begin(), argv.end(), "-b"), argv.end());
}

TEST_F(DeviceDiscoveryTest, ModeSwitchToolThatCannotStartIsTolerated) {
  devices_.devices[DeviceClass::CdRom] = {CdRomDrive("")};
  EXPECT_FALSE(discovery_.StartModeSwitchIfNeeded(
      [](const std::vector<std::string>&) { return false; },
      [](const std::string&) { return std::optional<std::string>("TargetClass=0xff\n"); }));
}

// --- Modem device ------------------------------------------------------------

TEST_F(DeviceDiscoveryTest, ModemDeviceTextsAreFilledOrCleared) {
  auto& modems = devices_.devices[DeviceClass::Modems];
  modems = {SerialPort("Diagnostics Interface", "usb\\vid_1614&pid_6000&mi_01", "/dev/ttyUSB1", "/dev/ttyUSB1"),
            SerialPort("Mobile Connector  ", "usb\\vid_1614&pid_6000&mi_00", "/dev/ttyUSB0", "/dev/ttyUSB0")};
  ASSERT_TRUE(discovery_.FindModemDevice());
  EXPECT_STREQ(discovery_.ModemDescription(), "Mobile Connector  ") << "kept as read";
  EXPECT_STREQ(discovery_.ModemFriendlyName(), "/dev/ttyUSB0");

  modems.pop_back();
  EXPECT_FALSE(discovery_.FindModemDevice());
  EXPECT_STREQ(discovery_.ModemDescription(), "");
  EXPECT_STREQ(discovery_.ModemFriendlyName(), "");
}

TEST_F(DeviceDiscoveryTest, ModemDeviceTextsKeep127Bytes) {
  const std::string blanks(150, ' ');
  devices_.devices[DeviceClass::Modems] = {
      SerialPort("Mobile Connector" + blanks, kModemId, "/dev/ttyUSB0", std::string(200, 'n'))};
  ASSERT_TRUE(discovery_.FindModemDevice());
  EXPECT_EQ(std::string(discovery_.ModemDescription()), ("Mobile Connector" + blanks).substr(0, 127));
  EXPECT_EQ(std::string(discovery_.ModemFriendlyName()), std::string(127, 'n'));
}

// --- ConnectDevice -----------------------------------------------------------

// Records sleeps, searches and openings on a virtual clock.
class ConnectDeviceTest : public DeviceDiscoveryTest {
protected:
  ConnectDeviceTest() {
    devices_.onEnumerate = [this](DeviceClass) {
      log_.push_back("search@" + std::to_string(clock_));
      if (++searches_ == appearsAtSearch_)
        Ports() = {SerialPort(kCommandPort, kModemId, portName_)};
    };
  }

  ConnectResult Connect(std::uint8_t tries, std::uint16_t intervalMs) {
    return discovery_.ConnectDevice(
        true, tries, intervalMs,
        [this](const std::string& path, bool startThreads) {
          log_.push_back("open " + path + (startThreads ? " threads" : "") + "@" + std::to_string(clock_));
          return ++openings_ >= opensAtAttempt_;
        },
        [this](std::uint32_t ms) { clock_ += ms; });
  }

  std::vector<std::string> log_;
  std::uint64_t clock_ = 0;
  int searches_ = 0;
  int appearsAtSearch_ = 1;
  int openings_ = 0;
  int opensAtAttempt_ = 1;
  std::optional<std::string> portName_ = "/dev/ttyUSB2";
};

TEST_F(ConnectDeviceTest, PresentDeviceIsFoundAfterTheFirstIntervalNotAtOnce) {
  EXPECT_EQ(Connect(30, 2000), kConnectOpened);
  EXPECT_EQ(log_, (std::vector<std::string>{"search@2000", "open /dev/ttyUSB2 threads@4000"}));
  EXPECT_STREQ(discovery_.PortPath(), "/dev/ttyUSB2");
}

TEST_F(ConnectDeviceTest, DeviceAppearingLaterIsFoundAtThatSearch) {
  appearsAtSearch_ = 3;
  EXPECT_EQ(Connect(30, 1000), kConnectOpened);
  EXPECT_EQ(log_, (std::vector<std::string>{"search@1000", "search@2000", "search@3000",
                                            "open /dev/ttyUSB2 threads@4000"}));
}

TEST_F(ConnectDeviceTest, MissingDeviceIsSearchedTriesTimes) {
  appearsAtSearch_ = 0;
  EXPECT_EQ(Connect(3, 2000), kConnectNotFound);
  EXPECT_EQ(log_, (std::vector<std::string>{"search@2000", "search@4000", "search@6000"}));
  EXPECT_STREQ(discovery_.PortPath(), "");
}

TEST_F(ConnectDeviceTest, PortThatNeverOpensGivesResult2AfterTriesOpenings) {
  opensAtAttempt_ = 100;
  EXPECT_EQ(Connect(3, 500), kConnectOpenFailed);
  EXPECT_EQ(log_, (std::vector<std::string>{"search@500", "open /dev/ttyUSB2 threads@1000",
                                            "open /dev/ttyUSB2 threads@1500", "open /dev/ttyUSB2 threads@2000"}));
}

TEST_F(ConnectDeviceTest, PortOpeningOnTheSecondAttempt) {
  opensAtAttempt_ = 2;
  EXPECT_EQ(Connect(30, 2000), kConnectOpened);
  EXPECT_EQ(openings_, 2);
}

TEST_F(ConnectDeviceTest, UnreadablePortNameIsFoundButNeverOpened) {
  portName_.reset();
  opensAtAttempt_ = 100;
  EXPECT_EQ(Connect(2, 100), kConnectOpenFailed);
  EXPECT_EQ(log_, (std::vector<std::string>{"search@100", "open  threads@200", "open  threads@300"}));
}

TEST_F(ConnectDeviceTest, NoTriesFindsNothingWithoutSleeping) {
  EXPECT_EQ(Connect(0, 2000), kConnectNotFound);
  EXPECT_TRUE(log_.empty());
  EXPECT_EQ(clock_, 0u);
}

TEST_F(ConnectDeviceTest, EachCallStartsFromAnEmptyPath) {
  ASSERT_EQ(Connect(1, 10), kConnectOpened);
  Ports().clear();
  appearsAtSearch_ = 0;
  EXPECT_EQ(Connect(1, 10), kConnectNotFound);
  EXPECT_STREQ(discovery_.PortPath(), "");
}

TEST(ConnectResultText, EachResultHasItsString) {
  EXPECT_EQ(ConnectResultStringId(kConnectNotFound), 360);
  EXPECT_EQ(ConnectResultStringId(kConnectOpened), 166);
  EXPECT_EQ(ConnectResultStringId(kConnectOpenFailed), 167);
  EXPECT_EQ(ConnectResultStringId(3), 0);
}

// --- Waiting for the device from the main window ------------------------------

class DeviceWaitWindow : public WindowHandler {
public:
  DeviceWaitWindow(CDeviceDiscovery& discovery, ManualEventLoop& loop)
      : discovery_(discovery), window_(loop.CreateWindow(*this)) {}
  void OnMessage(MessageId, WParam, LParam) override {}
  void OnTimer(TimerId id) override {
    ++ticks;
    if (id == kDeviceWaitTimer && discovery_.OnDeviceWaitTimer(window_, [this](const std::string& path, bool threads) {
          openedPath = threads ? path : "";
          return !openFails;
        }))
      ++connected;
  }
  ManualEventLoop::Window& Window() { return window_; }

  int ticks = 0;
  int connected = 0;
  bool openFails = false;
  std::string openedPath;

private:
  CDeviceDiscovery& discovery_;
  ManualEventLoop::Window& window_;
};

TEST_F(DeviceDiscoveryTest, DeviceWaitTicksEverySecondUntilThePortOpens) {
  ManualEventLoop loop;
  DeviceWaitWindow window(discovery_, loop);
  discovery_.StartDeviceWait(window.Window());
  loop.Advance(3000);
  EXPECT_EQ(window.ticks, 3);
  EXPECT_EQ(window.connected, 0);

  Ports() = {SerialPort(kCommandPort, kModemId, "/dev/ttyUSB2")};
  window.openFails = true;
  loop.Advance(1000);
  EXPECT_EQ(window.connected, 0) << "found but not opened: keep waiting";
  EXPECT_TRUE(loop.IsTimerArmed(window.Window(), kDeviceWaitTimer));

  window.openFails = false;
  loop.Advance(1000);
  EXPECT_EQ(window.connected, 1);
  EXPECT_EQ(window.openedPath, "/dev/ttyUSB2");
  EXPECT_FALSE(loop.IsTimerArmed(window.Window(), kDeviceWaitTimer));
  loop.Advance(5000);
  EXPECT_EQ(window.ticks, 5);
}

}  // namespace
}  // namespace evdo
