#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/settings/SettingData.h"
#include "tests/support/TempDir.h"
#include "tools/evdo-data/DataTool.h"

namespace evdo::datatool {
namespace {

using evdo::test::TempDir;

struct ToolRun {
  int code;
  std::string out, err;
};

ToolRun Tool(std::vector<std::string> args) {
  std::ostringstream out, err;
  int code = RunDataTool(args, out, err);
  return {code, out.str(), err.str()};
}

TEST(DataTool, DumpsAndBuildsTheSettingsFiles) {
  TempDir dir;
  dir.WriteFile("EVDO.ini", "[Main]\nMain_nLanguage=16\nMain_szPrefixName=\xD6\xD0\n");
  ToolRun dump = Tool({"dump", dir.File("EVDO.ini")});
  ASSERT_EQ(dump.code, 0) << dump.err;
  auto json = Json::parse(dump.out);
  EXPECT_EQ(json["file"], "EVDO.ini");
  EXPECT_EQ(json["content"]["Main"]["Main_nLanguage"], 16);
  EXPECT_EQ(json["content"]["Main"]["Main_szPrefixName"], "中");
  EXPECT_EQ(json["content"]["Internet"]["Internet_szLocalPhoneNumber"], "#777");

  dir.WriteFile("settings.json", dump.out);
  std::filesystem::create_directory(dir.File("out"));
  ToolRun build = Tool({"build", dir.File("settings.json"), dir.File("out/EVDO.ini")});
  ASSERT_EQ(build.code, 0) << build.err;
  ToolRun again = Tool({"dump", dir.File("out/EVDO.ini")});
  EXPECT_EQ(Json::parse(again.out)["content"], json["content"]);

  ASSERT_TRUE(SettingData::Save(3, dir.File("SettingData.dat")));
  dump = Tool({"dump", dir.File("SettingData.dat")});
  EXPECT_EQ(Json::parse(dump.out)["content"]["option"], 3);
}

TEST(DataTool, CheckSaysWhatIsWrongWithWhichFile) {
  TempDir dir;
  dir.WriteFile("EVDO.ini", "[Messages]\nMessages_ValPeriod=7\n[Main]\nMain_nCall=yes\n");
  dir.WriteFile("SettingData.dat", "12345");
  ToolRun r = Tool({"check", dir.Path()});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.out.find("EVDO.ini: Messages_ValPeriod 7 is outside 0..5"), std::string::npos) << r.out;
  EXPECT_NE(r.out.find("EVDO.ini: Main_nCall = \"yes\" is not a whole number"), std::string::npos);
  EXPECT_NE(r.out.find("SettingData.dat: holds 5 bytes instead of 4"), std::string::npos);

  ToolRun dump = Tool({"dump", dir.File("SettingData.dat")});
  EXPECT_EQ(dump.code, 1);
  EXPECT_TRUE(dump.out.empty());
}

// The settings file is read whatever it holds: dump prints what the program
// reads and puts check's remarks on standard error.
TEST(DataTool, DumpOfTheSettingsShowsWhatIsReadDespiteRemarks) {
  TempDir dir;
  dir.WriteFile("EVDO.ini",
                "\xEF\xBB\xBF[Internet]\nInternet_dwfOptions=3000000000\n[Main]\nMain_nCall=yes\n"
                "Main_nLanguage=016\nMain_nCompany=4294967297\n[Messages]\nMessages_DeliReport=-1\n");
  ToolRun check = Tool({"check", dir.Path()});
  EXPECT_EQ(check.code, 1);
  EXPECT_NE(check.out.find("Internet_dwfOptions = \"3000000000\" reads as -1294967296"), std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("Main_nCompany = 4294967297 does not fit a 32-bit number (-2147483648 to 4294967295); "
                           "it reads as 1"),
            std::string::npos)
      << check.out;
  EXPECT_NE(check.out.find("Main_nLanguage = \"016\" reads as 16"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("Messages_DeliReport = \"-1\" reads as 0"), std::string::npos) << check.out;
  EXPECT_NE(check.out.find("Main_nCall = \"yes\" is not a whole number"), std::string::npos) << check.out;

  ToolRun dump = Tool({"dump", dir.File("EVDO.ini")});
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_NE(dump.err.find("Main_nCall"), std::string::npos) << dump.err;
  auto json = Json::parse(dump.out);
  const auto& content = json["content"];
  EXPECT_EQ(content["Internet"]["Internet_dwfOptions"], -1294967296);
  EXPECT_EQ(content["Main"]["Main_nCall"], 0);
  EXPECT_EQ(content["Main"]["Main_nLanguage"], 16);
  EXPECT_EQ(content["Main"]["Main_nCompany"], 1);
  EXPECT_EQ(content["Messages"]["Messages_DeliReport"], 0);

  // A sound file gives no remarks.
  dir.WriteFile("EVDO.ini", "\xEF\xBB\xBF[Main]\nMain_nCall=0\n");
  check = Tool({"check", dir.Path()});
  EXPECT_EQ(check.code, 0) << check.out;
  dump = Tool({"dump", dir.File("EVDO.ini")});
  EXPECT_TRUE(dump.err.empty()) << dump.err;
  EXPECT_EQ(Json::parse(dump.out)["content"]["Main"]["Main_nCall"], 0);
}

TEST(DataTool, RefusesBadUsageAndBadJson) {
  TempDir dir;
  EXPECT_EQ(Tool({}).code, 2);
  EXPECT_EQ(Tool({"dump", dir.File("unknown.bin")}).code, 1);
  dir.WriteFile("bad.json", "{not json");
  ToolRun r = Tool({"build", dir.File("bad.json"), dir.File("out.dat")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("not JSON"), std::string::npos);
  dir.WriteFile("wrong.json", R"({"file":"SettingData.dat","content":{"option":"two"}})");
  r = Tool({"build", dir.File("wrong.json"), dir.File("SettingData.dat")});
  EXPECT_EQ(r.code, 1);
  EXPECT_NE(r.err.find("\"option\""), std::string::npos);
  EXPECT_FALSE(DataFile::Exists(dir.File("SettingData.dat")));
}

// Hand-edited JSON that the program would not read back as written is
// refused with its reason, and nothing is written: a negative option or
// setting (read as 0), a fraction or a number beyond 32 bits (cut or wrapped
// before), a setting with a line break (it would add lines of its own), one
// longer than its buffer, or a character the code page cannot hold. Values
// with blanks at their ends or quotes of their own survive.
TEST(DataTool, BuildRefusesWhatWouldNotReadBackAsWritten) {
  TempDir dir;
  const std::string refused[] = {
      R"({"file":"SettingData.dat","content":{"option":-1}})",
      R"({"file":"SettingData.dat","content":{"option":2.5}})",
      R"({"file":"SettingData.dat","content":{"option":4294967298}})",
      R"({"file":"EVDO.ini","content":{"Internet":{},"Main":{"Main_nLanguage":-5},"Setup":{},"Messages":{}}})",
      R"({"file":"EVDO.ini","content":{"Internet":{},"Main":{"Main_nLanguage":1e12},"Setup":{},"Messages":{}}})",
      R"({"file":"EVDO.ini","content":{"Internet":{"Internet_szAPN":"ctnet\n[Main]\nMain_nCall=0"},"Main":{},"Setup":{},"Messages":{}}})",
      R"({"file":"EVDO.ini","content":{"Internet":{},"Main":{"Main_szPrefixName":"0123456789012345678901234567890123"},"Setup":{},"Messages":{}}})",
      R"({"file":"EVDO.ini","content":{"Internet":{},"Main":{"Main_szAppName":"😀"},"Setup":{},"Messages":{}}})",
  };
  for (const std::string& json : refused) {
    dir.WriteFile("edited.json", json);
    ToolRun r = Tool({"build", dir.File("edited.json"), dir.File("out.dat")});
    EXPECT_EQ(r.code, 1) << json;
    EXPECT_EQ(r.err.find("missing field"), std::string::npos) << r.err;
    EXPECT_FALSE(DataFile::Exists(dir.File("out.dat"))) << json;
  }
  dir.WriteFile("edited.json",
                R"({"file":"EVDO.ini","content":{"Internet":{"Internet_szPassword":"  pass  ","Internet_szAPN":"\"ctnet\""},"Main":{},"Setup":{},"Messages":{}}})");
  ToolRun built = Tool({"build", dir.File("edited.json"), dir.File("EVDO.ini")});
  ASSERT_EQ(built.code, 0) << built.err;
  ToolRun dump = Tool({"dump", dir.File("EVDO.ini")});
  ASSERT_EQ(dump.code, 0) << dump.err;
  auto json = Json::parse(dump.out);
  EXPECT_EQ(json["content"]["Internet"]["Internet_szPassword"], "  pass  ");
  EXPECT_EQ(json["content"]["Internet"]["Internet_szAPN"], "\"ctnet\"");
}

}  // namespace
}  // namespace evdo::datatool
