// The udev device list over mocked devices (umockdev). The test program runs
// with the umockdev preload library (see CMakeLists.txt).
#include "platform/udev/UdevDeviceEnumerator.h"

#include <gtest/gtest.h>
#include <umockdev.h>

#include <cstdlib>
#include <cstring>
#include <map>

#include "core/text/FixedText.h"
#include "device/discovery/DeviceDiscovery.h"

namespace evdo {
namespace {

// A mocked USB modem: one tty per serial interface.
struct MockInterface {
  const char* number;  // bInterfaceNumber
  const char* text;    // the interface string
  const char* tty;
};

class UdevDeviceEnumeratorTest : public ::testing::Test {
protected:
  void SetUp() override {
    testbed_ = umockdev_testbed_new();
    const char* preload = std::getenv("LD_PRELOAD");
    ASSERT_TRUE(umockdev_in_mock_environment() && preload && std::strstr(preload, "libumockdev-preload"))
        << "run this test under umockdev-wrapper";
  }
  void TearDown() override {
    for (gchar* path : paths_) g_free(path);
    if (testbed_) g_object_unref(testbed_);
  }

  const gchar* Keep(gchar* path) {
    paths_.push_back(path);
    return path;
  }

  // Adds a USB modem with its interfaces; returns the USB device's path.
  const gchar* AddModem(const char* name, const char* vendor, const char* product,
                        std::initializer_list<MockInterface> interfaces) {
    const gchar* usb = Keep(umockdev_testbed_add_device(testbed_, "usb", name, nullptr, "idVendor", vendor,
                                                        "idProduct", product, nullptr, "DEVTYPE", "usb_device",
                                                        nullptr));
    for (const MockInterface& i : interfaces) {
      const std::string interfaceName = std::string(name) + ":1." + i.number;
      const gchar* interface = Keep(umockdev_testbed_add_device(
          testbed_, "usb", interfaceName.c_str(), usb, "interface", i.text, "bInterfaceNumber", i.number, nullptr,
          "DEVTYPE", "usb_interface", nullptr));
      const std::string node = std::string("/dev/") + i.tty;
      Keep(umockdev_testbed_add_device(testbed_, "tty", i.tty, interface, nullptr, "DEVNAME", node.c_str(),
                                       nullptr));
    }
    return usb;
  }

  // Adds a CD-ROM drive (sr) or a disk (sd) behind a SCSI device with model.
  void AddDisk(const char* name, const char* model, bool cdrom) {
    const gchar* scsi = Keep(umockdev_testbed_add_device(testbed_, "scsi", (std::string(name) + "-scsi").c_str(),
                                                         nullptr, "model", model, nullptr, "DEVTYPE",
                                                         "scsi_device", nullptr));
    const std::string node = std::string("/dev/") + name;
    Keep(umockdev_testbed_add_device(testbed_, "block", name, scsi, nullptr, "DEVTYPE", "disk", "DEVNAME",
                                     node.c_str(), "ID_CDROM", cdrom ? "1" : "0", nullptr));
  }

  void AddStandardModem() {
    AddModem("1-1", "1614", "6000",
             {{"00", "Mobile Connector", "ttyUSB0"},
              {"01", "Diagnostics Interface", "ttyUSB1"},
              {"02", "Device Application Interface  ", "ttyUSB2"}});
  }

  UMockdevTestbed* testbed_ = nullptr;
  std::vector<gchar*> paths_;
  CUdevDeviceEnumerator devices_;
  CSetupData settings_;
};

TEST_F(UdevDeviceEnumeratorTest, ListsTheModemsSerialInterfaces) {
  AddStandardModem();
  Keep(umockdev_testbed_add_device(testbed_, "tty", "ttyS0", nullptr, nullptr, "DEVNAME", "/dev/ttyS0", nullptr));

  std::vector<DeviceProperties> ports;
  ASSERT_TRUE(devices_.Enumerate(DeviceClass::Ports, ports));
  ASSERT_EQ(ports.size(), 3u) << "the tty that is not on USB is no port of the modem";
  std::map<std::string, DeviceProperties> byNode;
  for (const auto& port : ports) byNode[port.portName.value_or("")] = port;
  const DeviceProperties& command = byNode.at("/dev/ttyUSB2");
  EXPECT_EQ(command.description, "Device Application Interface  ");
  EXPECT_EQ(command.hardwareId, "usb\\vid_1614&pid_6000&mi_02");
  EXPECT_EQ(command.friendlyName, "/dev/ttyUSB2");
  EXPECT_EQ(byNode.at("/dev/ttyUSB0").hardwareId, "usb\\vid_1614&pid_6000&mi_00");

  std::vector<DeviceProperties> modems;
  ASSERT_TRUE(devices_.Enumerate(DeviceClass::Modems, modems));
  EXPECT_EQ(modems.size(), 3u);
}

TEST_F(UdevDeviceEnumeratorTest, DiscoveryFindsCommandPortAndModemDevice) {
  AddStandardModem();
  CDeviceDiscovery discovery(devices_, settings_);
  discovery.SetDeviceIdentifier(1);
  std::string path;
  ASSERT_TRUE(discovery.FindCommandPort(path));
  EXPECT_EQ(path, "/dev/ttyUSB2");
  ASSERT_TRUE(discovery.FindModemDevice());
  EXPECT_STREQ(discovery.ModemFriendlyName(), "/dev/ttyUSB0");
  EXPECT_STREQ(discovery.ModemDescription(), "Mobile Connector");

  discovery.SetDeviceIdentifier(4);
  path.clear();
  EXPECT_FALSE(discovery.FindCommandPort(path)) << "edition 4 looks for the other vendor";
  EXPECT_FALSE(discovery.FindModemDevice());
}

TEST_F(UdevDeviceEnumeratorTest, OtherVendorWithCapitalsAmongSeveralModems) {
  AddModem("1-1", "05c6", "6000", {{"02", "Device Application Interface", "ttyUSB0"}});
  AddModem("1-2", "1C9E", "6000",
           {{"00", "Mobile Connector", "ttyUSB3"}, {"02", "DEVICE APPLICATION INTERFACE", "ttyUSB5"}});
  AddModem("1-3", "1614", "6000", {{"02", "Device Application Interface", "ttyUSB9"}});
  CDeviceDiscovery discovery(devices_, settings_);
  for (std::int32_t company : {4, 5}) {
    discovery.SetDeviceIdentifier(company);
    std::string path;
    ASSERT_TRUE(discovery.FindCommandPort(path)) << company;
    EXPECT_EQ(path, "/dev/ttyUSB5") << company;
  }
  discovery.SetDeviceIdentifier(1);
  std::string path;
  ASSERT_TRUE(discovery.FindCommandPort(path));
  EXPECT_EQ(path, "/dev/ttyUSB9");
}

TEST_F(UdevDeviceEnumeratorTest, RemovedModemIsNoLongerFound) {
  const gchar* usb = AddModem("1-1", "1614", "6000", {{"02", "Device Application Interface", "ttyUSB2"}});
  CDeviceDiscovery discovery(devices_, settings_);
  discovery.SetDeviceIdentifier(1);
  std::string path;
  ASSERT_TRUE(discovery.FindCommandPort(path));
  umockdev_testbed_remove_device(testbed_, usb);
  EXPECT_FALSE(discovery.FindCommandPort(path));
}

TEST_F(UdevDeviceEnumeratorTest, InstallerDiskIsTheCdRomWithTheConfiguredModel) {
  AddDisk("sda", "USB SCSI CD-ROM ", false);
  CDeviceDiscovery discovery(devices_, settings_);
  SetFieldText(settings_.Main_szUsbDiskFriendlyName, "USB SCSI CD-ROM");
  EXPECT_FALSE(discovery.IsInstallerDiskPresent()) << "a disk that is no CD-ROM";

  AddDisk("sr0", "USB SCSI CD-ROM ", true);
  std::vector<DeviceProperties> drives;
  ASSERT_TRUE(devices_.Enumerate(DeviceClass::CdRom, drives));
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].friendlyName, "USB SCSI CD-ROM ");
  EXPECT_TRUE(discovery.IsInstallerDiskPresent());

  SetFieldText(settings_.Main_szUsbDiskFriendlyName, "Other Disk");
  EXPECT_FALSE(discovery.IsInstallerDiskPresent());
}

// The installer disk of a modem before its mode switch: a CD-ROM drive on
// the USB device of the storage function, whose ids, bus and address the
// mode-switch tool is given.
TEST_F(UdevDeviceEnumeratorTest, InstallerDiskCarriesItsUsbDevice) {
  const gchar* usb = Keep(umockdev_testbed_add_device(testbed_, "usb", "2-3", nullptr, "idVendor", "1c9e",
                                                      "idProduct", "f000", "busnum", "2", "devnum", "7",
                                                      nullptr, "DEVTYPE", "usb_device", nullptr));
  const gchar* scsi = Keep(umockdev_testbed_add_device(testbed_, "scsi", "6:0:0:0", usb, "model",
                                                       "USB SCSI CD-ROM ", nullptr, "DEVTYPE", "scsi_device",
                                                       nullptr));
  Keep(umockdev_testbed_add_device(testbed_, "block", "sr1", scsi, nullptr, "DEVTYPE", "disk", "DEVNAME",
                                   "/dev/sr1", "ID_CDROM", "1", nullptr));
  std::vector<DeviceProperties> drives;
  ASSERT_TRUE(devices_.Enumerate(DeviceClass::CdRom, drives));
  ASSERT_EQ(drives.size(), 1u);
  EXPECT_EQ(drives[0].hardwareId, "usb\\vid_1c9e&pid_f000");
  EXPECT_EQ(drives[0].usbBus, "2");
  EXPECT_EQ(drives[0].usbDevice, "7");

  CDeviceDiscovery discovery(devices_, settings_);
  SetFieldText(settings_.Main_szUsbDiskFriendlyName, "USB SCSI CD-ROM");
  std::vector<std::string> argv;
  ASSERT_TRUE(discovery.StartModeSwitchIfNeeded(
      [&](const std::vector<std::string>& a) {
        argv = a;
        return true;
      },
      [](const std::string& id) { return std::optional<std::string>(id == "1c9e:f000" ? "TargetClass=0xff\n" : ""); }));
  EXPECT_EQ(argv, (std::vector<std::string>{kModeSwitchProgram, "-v", "0x1c9e", "-p", "0xf000", "-b", "2", "-g",
                                            "7", "-f", "TargetClass=0xff\n"}));
}

TEST_F(UdevDeviceEnumeratorTest, EmptySystemHasNoDevices) {
  std::vector<DeviceProperties> out{DeviceProperties{}};
  for (DeviceClass cls : {DeviceClass::Ports, DeviceClass::CdRom, DeviceClass::Modems}) {
    ASSERT_TRUE(devices_.Enumerate(cls, out));
    EXPECT_TRUE(out.empty());
  }
}

}  // namespace
}  // namespace evdo
