// The switch configurations of the mode-switch tool's data package: single
// files in its folders, or entries of its packed collection.
#include "device/discovery/ModeSwitchData.h"

#include <gtest/gtest.h>
#include <zlib.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <utility>
#include <vector>

#include "tests/support/TempDir.h"

namespace evdo {
namespace {

namespace fs = std::filesystem;

// A tar archive of regular files, as the data package packs them.
std::string TarOf(const std::vector<std::pair<std::string, std::string>>& files) {
  std::string tar;
  for (const auto& [name, content] : files) {
    char header[512] = {};
    std::snprintf(header, 100, "%s", name.c_str());
    std::snprintf(header + 100, 8, "%07o", 0644);
    std::snprintf(header + 124, 12, "%011o", static_cast<unsigned>(content.size()));
    header[156] = '0';
    std::memcpy(header + 257, "ustar", 5);
    std::memset(header + 148, ' ', 8);
    unsigned sum = 0;
    for (unsigned char c : header) sum += c;
    std::snprintf(header + 148, 8, "%06o", sum);
    tar.append(header, sizeof header);
    tar += content;
    tar.append((512 - content.size() % 512) % 512, '\0');
  }
  tar.append(1024, '\0');
  return tar;
}

void WriteGzip(const std::string& path, const std::string& bytes) {
  gzFile out = gzopen(path.c_str(), "wb");
  ASSERT_NE(out, nullptr);
  ASSERT_EQ(gzwrite(out, bytes.data(), static_cast<unsigned>(bytes.size())), static_cast<int>(bytes.size()));
  gzclose(out);
}

class ModeSwitchDataTest : public ::testing::Test {
protected:
  ModeSwitchDataTest() {
    fs::create_directories(Etc());
    fs::create_directories(Share());
    data_.folders = {Etc(), Share()};
    data_.collection = Share() + "/configPack.tar.gz";
  }
  std::string Etc() const { return folder_.File("etc"); }
  std::string Share() const { return folder_.File("share"); }

  test::TempDir folder_;
  ModeSwitchData data_;
};

TEST_F(ModeSwitchDataTest, TheInstalledPackageIsWhereDebianPutsIt) {
  ModeSwitchData installed = InstalledModeSwitchData();
  EXPECT_EQ(installed.folders, (std::vector<std::string>{"/etc/usb_modeswitch.d", "/usr/share/usb_modeswitch"}));
  EXPECT_EQ(installed.collection, "/usr/share/usb_modeswitch/configPack.tar.gz");
}

TEST_F(ModeSwitchDataTest, ConfigurationIsTakenFromThePackedCollection) {
  const std::string config = "TargetVendor=0x1c9e\nMessageContent=\"5553424312345678\"\n";
  WriteGzip(data_.collection, TarOf({{"12d1:1001", "HuaweiMode=1\n"},
                                     {"1c9e:f000:uMa=USB_Modem", "variant for one maker's name\n"},
                                     {"1c9e:f000", config},
                                     {"1c9e:f010", std::string(700, 'x')}}));
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), config);
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f010", data_), std::string(700, 'x'));
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f020", data_), std::nullopt);
}

TEST_F(ModeSwitchDataTest, LocalFileComesBeforeThePackageAndPackedEntries) {
  WriteGzip(data_.collection, TarOf({{"1c9e:f000", "packed\n"}}));
  std::ofstream(Share() + "/1c9e:f000") << "unpacked\n";
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), "unpacked\n");
  std::ofstream(Etc() + "/1c9e:f000") << "local\n";
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), "local\n");
}

TEST_F(ModeSwitchDataTest, OnlyWellFormedIdsAreLookedUp) {
  std::ofstream(folder_.File("secret")) << "not a configuration\n";
  std::ofstream(Etc() + "/1C9E:F000") << "upper case name\n";
  for (const char* id : {"", "1c9e", "1c9e:f00", "1c9e:f0000", "../secret", "1c9e/f000", "1C9E:F000", "1c9g:f000"})
    EXPECT_EQ(FindModeSwitchConfig(id, data_), std::nullopt) << id;
}

TEST_F(ModeSwitchDataTest, MissingOrDamagedCollectionGivesNoConfiguration) {
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), std::nullopt);
  std::ofstream(data_.collection) << "not compressed at all";
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), std::nullopt);
  // An entry whose size runs past the end of the archive.
  std::string tar = TarOf({{"1c9e:f000", std::string(600, 'y')}});
  tar.resize(700);
  WriteGzip(data_.collection, tar);
  EXPECT_EQ(FindModeSwitchConfig("1c9e:f000", data_), std::nullopt);
}

}  // namespace
}  // namespace evdo
