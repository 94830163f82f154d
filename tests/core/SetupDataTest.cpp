#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <sstream>

#include "core/text/FixedText.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SettingData.h"
#include "core/settings/SetupData.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

using test::TempDir;

TEST(Settings, WithoutAFileEverySettingHasItsDefault) {
  TempDir dir;
  CSetupData d;
  std::memset(static_cast<void*>(&d), 0x55, sizeof d);
  LoadSettings(d, dir.File("EVDO.ini"));
  EXPECT_EQ(FieldText(d.Internet_szDefaultConnName), "EVDO Connection");
  EXPECT_EQ(FieldText(d.Internet_szLocalPhoneNumber), "#777");
  EXPECT_EQ(FieldText(d.Internet_szDeviceType), "modem");
  EXPECT_EQ(FieldText(d.Internet_szPCUIName), "Device Application Interface");
  EXPECT_EQ(FieldText(d.General_szSkinFile), "skin\\tealwave\\theme.ini");
  EXPECT_EQ(FieldText(d.Main_szPrefixName), "");
  EXPECT_EQ(d.Internet_dwfOptions, 0x3D3D0318);
  EXPECT_EQ(d.Main_nLanguage, 9);
  EXPECT_EQ(d.Main_nCompany, 1);
  EXPECT_EQ(d.Messages_ValPeriod, 2);
  EXPECT_EQ(d.Messages_DeliReport, 0);
  EXPECT_EQ(d.Main_nCall, 1);
  EXPECT_FALSE(DataFile::Exists(dir.File("EVDO.ini")));  // not created by reading
}

TEST(Settings, AFileSavedFromDefaultsHoldsAll43KeysInTableOrder) {
  TempDir dir;
  CSetupData d;
  ASSERT_TRUE(SaveSettings(d, dir.File("EVDO.ini")));
  std::string text = dir.ReadFile("EVDO.ini");
  std::vector<std::string> sections, keys;
  std::istringstream in(text);
  for (std::string line; std::getline(in, line);) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.front() == '[') sections.push_back(line);
    else keys.push_back(line.substr(0, line.find('=')));
  }
  EXPECT_EQ(sections, (std::vector<std::string>{"[Internet]", "[Main]", "[Setup]", "[Messages]"}));
  ASSERT_EQ(keys.size(), 43u);
  // Within each section the keys follow the table order.
  std::vector<std::string> expected;
  for (const char* section : {"Internet", "Main", "Setup", "Messages"}) {
    for (const auto& s : TextSettings())
      if (std::string(s.section) == section) expected.push_back(s.key);
    for (const auto& s : IntSettings())
      if (std::string(s.section) == section) expected.push_back(s.key);
  }
  EXPECT_EQ(keys, expected);
  EXPECT_NE(text.find("Internet_dwfOptions=1027408664\r\n"), std::string::npos);
  EXPECT_NE(text.find("General_szSkinFile=skin\\tealwave\\theme.ini\r\n"), std::string::npos);

  CSetupData back;
  back.Main_nLanguage = 0;
  LoadSettings(back, dir.File("EVDO.ini"));
  EXPECT_EQ(std::memcmp(&back, &d, sizeof d), 0);
}

TEST(Settings, AHandEditedFileKeepsItsOtherKeysAndCommentsAcrossASave) {
  TempDir dir;
  dir.WriteFile("EVDO.ini",
                "; edited by hand\n[Main]\nMain_nLanguage=16\nMyOwnKey=keep me\n\n[Extra]\nx=y\n");
  CSetupData d;
  LoadSettings(d, dir.File("EVDO.ini"));
  EXPECT_EQ(d.Main_nLanguage, 16);
  d.Setup_nSkinStyle = 1;
  ASSERT_TRUE(SaveSettings(d, dir.File("EVDO.ini")));
  auto p = ProfileFile::Parse(dir.ReadFile("EVDO.ini"));
  EXPECT_EQ(p.Get("Main", "MyOwnKey"), "keep me");
  EXPECT_EQ(p.Get("Extra", "x"), "y");
  EXPECT_EQ(p.Get("Setup", "Setup_nSkinStyle"), "1");
  EXPECT_EQ(p.Get("Main", "Main_nLanguage"), "16");
  EXPECT_EQ(dir.ReadFile("EVDO.ini").rfind("; edited by hand\n", 0), 0u);
}

TEST(Settings, BadValuesReadAsDocumented) {
  TempDir dir;
  dir.WriteFile("EVDO.ini",
                "[Internet]\n"
                "Internet_szDeviceType=a-device-type-far-too-long\n"
                "Internet_dwCountryID=86abc\n"
                "Internet_dwCountryCode=abc\n"
                "\x01\x02garbage line without equals\n"
                "Internet_szAPN=first\n"
                "Internet_szAPN=second\n"
                "[Messages]\n"
                "Messages_ValPeriod=9\n"
                "[Internet]\n"
                "Internet_szUserName=in a duplicate section\n");
  CSetupData d;
  LoadSettings(d, dir.File("EVDO.ini"));
  EXPECT_EQ(FieldText(d.Internet_szDeviceType), "a-device-type-f");  // 15 characters
  EXPECT_EQ(d.Internet_dwCountryID, 86);
  EXPECT_EQ(d.Internet_dwCountryCode, 0);
  EXPECT_EQ(FieldText(d.Internet_szAPN), "first");
  EXPECT_EQ(FieldText(d.Internet_szUserName), "");
  EXPECT_EQ(d.Messages_ValPeriod, 9);
  EXPECT_EQ(ValidityPeriodOctet(d.Messages_ValPeriod), 244);  // clamped when used
}

TEST(Settings, ValidityOctetsAndHardwareIdentifiers) {
  const std::uint8_t octets[] = {11, 71, 167, 169, 173, 244};
  for (int i = 0; i < 6; ++i) EXPECT_EQ(ValidityPeriodOctet(i), octets[i]);
  EXPECT_EQ(ValidityPeriodOctet(-3), 11);
  for (int c : {4, 5}) EXPECT_STREQ(ModemHardwareId(c), "vid_1c9e&pid_6000");
  for (int c : {0, 1, 2, 3, 6, -1, 100}) EXPECT_STREQ(ModemHardwareId(c), "vid_1614&pid_6000");
}

TEST(Settings, PrefixedTitle) {
  CSetupData d;
  EXPECT_EQ(PrefixedTitle(d, "Dashboard"), "Dashboard");
  SetFieldText(d.Main_szPrefixName, "Acme ");
  EXPECT_EQ(PrefixedTitle(d, "Dashboard"), "Acme Dashboard");
}

TEST(Settings, AReadOnlyFileIsSavedAndAnUnwritableFolderReported) {
  TempDir dir;
  dir.WriteFile("EVDO.ini", "[Setup]\nSetup_nSkinStyle=0\n");
  ::chmod(dir.File("EVDO.ini").c_str(), 0444);
  CSetupData d;
  d.Setup_nSkinStyle = 1;
  ASSERT_TRUE(SaveSettings(d, dir.File("EVDO.ini")));
  EXPECT_EQ(ProfileFile::Parse(dir.ReadFile("EVDO.ini")).Get("Setup", "Setup_nSkinStyle"), "1");

  FileResult r = SaveSettings(d, dir.File("missing-folder/EVDO.ini"));
  EXPECT_FALSE(r);
  EXPECT_FALSE(r.error.empty());
  EXPECT_EQ(d.Setup_nSkinStyle, 1);
}

TEST(SettingData, FourBytesWithZeroWhenAbsent) {
  TempDir dir;
  std::string path = dir.File("SettingData.dat");
  EXPECT_EQ(SettingData::Load(path), 0);
  ASSERT_TRUE(SettingData::Save(2, path));
  EXPECT_EQ(dir.ReadBytes("SettingData.dat"), (Bytes{2, 0, 0, 0}));
  EXPECT_EQ(SettingData::Load(path), 2);
  dir.WriteFile("SettingData.dat", "xyz");
  std::string error;
  EXPECT_EQ(SettingData::Load(path, &error), 0);
  EXPECT_NE(error.find("3 bytes"), std::string::npos);
}

}  // namespace
}  // namespace evdo
