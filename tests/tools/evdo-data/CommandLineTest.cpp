// evdo-data as a user meets it: building never replaces a file unasked and
// keeps what it does not set, build and check agree, renamed files, the
// messages in words, and contact files in UTF-8 or GBK.
#include <gtest/gtest.h>

#include <filesystem>
#include <sstream>

#include "core/text/CodePage.h"
#include "internet/LogData.h"
#include "phonebook/PbData.h"
#include "tests/support/TempDir.h"
#include "tools/evdo-data/DataTool.h"
#include "tools/evdo-data/ImportEncoding.h"

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

bool Has(const std::string& text, const std::string& part) { return text.find(part) != std::string::npos; }

const std::string kHandEdited =
    "; my notes on the modem\r\n"
    "[Main]\r\n"
    "Main_nLanguage=9\r\n"
    "My_ownKey=keep me\r\n"
    "[Internet]\r\n"
    "Internet_szAPN=old.apn\r\n"
    "[Extra]\r\n"
    "something=else\r\n";

// The traffic summary reads the logs and writes nothing, also not for a
// damaged log (which it reports).
TEST(DataToolTraffic, PrintsThePeriodsAndLeavesTheFolderAsItWas) {
  TempDir dir;
  ToolRun empty = Tool({"traffic", dir.Path()});
  EXPECT_EQ(empty.code, 0) << empty.err;
  EXPECT_TRUE(Has(empty.out, "total      received         0.00 MB")) << empty.out;
  EXPECT_TRUE(std::filesystem::is_empty(dir.Path()));

  {
    CLogData log(dir.File("LogData.dat"));
    CMonthLogData months(dir.File("MonthLogData.dat"));
    LogRecord r;
    r.start = DateTime::Now();
    r.received = 3u << 20;
    r.sent = 1u << 20;
    r.duration = 3725;
    ASSERT_TRUE(log.AddConnection(r, months));
  }
  ToolRun run = Tool({"traffic", dir.Path()});
  EXPECT_EQ(run.code, 0) << run.err;
  EXPECT_TRUE(Has(run.out, "today      received         3.00 MB  sent         1.00 MB  time 1:02:05")) << run.out;
  EXPECT_TRUE(Has(run.out, "month      received         3.00 MB")) << run.out;
  EXPECT_TRUE(Has(run.out, "last 12 months:")) << run.out;

  dir.WriteFile("LogData.dat", "\x05");
  ToolRun damaged = Tool({"traffic", dir.Path()});
  EXPECT_EQ(damaged.code, 1);
  EXPECT_TRUE(Has(damaged.err, "LogData.dat")) << damaged.err;
  EXPECT_EQ(dir.ReadFile("LogData.dat"), "\x05");
  EXPECT_EQ(Tool({"traffic"}).code, 2);
}

TEST(DataToolBuild, NeedsOutAndReplacesOnlyWithForceKeepingABackupAndEveryUnsetLine) {
  TempDir dir;
  dir.WriteFile("EVDO.ini", kHandEdited);
  dir.WriteFile("EVDO.edit.json",
                R"({"file":"EVDO.ini","content":{"Main":{"Main_nLanguage":16},"Internet":{"Internet_szAPN":"ctnet"}}})");

  // No OUT: nothing is written beside the JSON.
  ToolRun noOut = Tool({"build", dir.File("EVDO.edit.json")});
  EXPECT_EQ(noOut.code, 2);
  EXPECT_TRUE(Has(noOut.err, "needs OUT")) << noOut.err;
  EXPECT_EQ(dir.ReadFile("EVDO.ini"), kHandEdited);

  // An existing OUT without --force: refused, untouched.
  ToolRun refused = Tool({"build", dir.File("EVDO.edit.json"), dir.File("EVDO.ini")});
  EXPECT_EQ(refused.code, 1);
  EXPECT_TRUE(Has(refused.err, "exists")) << refused.err;
  EXPECT_EQ(dir.ReadFile("EVDO.ini"), kHandEdited);

  // With --force: the previous file is kept, the keys are set in place and
  // every other line stays.
  ToolRun forced = Tool({"build", "--force", dir.File("EVDO.edit.json"), dir.File("EVDO.ini")});
  ASSERT_EQ(forced.code, 0) << forced.err;
  EXPECT_EQ(dir.ReadFile("EVDO.ini.bak"), kHandEdited);
  EXPECT_TRUE(Has(forced.out, "EVDO.ini.bak")) << forced.out;
  EXPECT_EQ(dir.ReadFile("EVDO.ini"),
            "; my notes on the modem\r\n"
            "[Main]\r\n"
            "Main_nLanguage=16\r\n"
            "My_ownKey=keep me\r\n"
            "[Internet]\r\n"
            "Internet_szAPN=ctnet\r\n"
            "[Extra]\r\n"
            "something=else\r\n");

  // A second forced build keeps the first backup too.
  ASSERT_EQ(Tool({"build", "--force", dir.File("EVDO.edit.json"), dir.File("EVDO.ini")}).code, 0);
  EXPECT_EQ(dir.ReadFile("EVDO.ini.bak"), kHandEdited);
  EXPECT_TRUE(std::filesystem::exists(dir.File("EVDO.ini.bak-2")));
}

TEST(DataToolBuild, RefusesWhatCheckWouldRejectNamingTheField) {
  TempDir dir;
  const struct {
    const char* json;
    const char* field;
  } cases[] = {
      {R"({"file":"EVDO.ini","content":{"Main":{"Main_szPrefixName":"xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}}})",
       "Main_szPrefixName"},
      {R"({"file":"EVDO.ini","content":{"Main":{"Main_nCall":4294967296}}})", "Main_nCall"},
      {R"({"file":"EVDO.ini","content":{"Messages":{"Messages_ValPeriod":9}}})", "Messages_ValPeriod"},
      {R"({"file":"SettingData.dat","content":{"option":3000000000}})", "option"},
  };
  for (const auto& c : cases) {
    dir.WriteFile("in.json", c.json);
    ToolRun r = Tool({"build", dir.File("in.json"), dir.File("out")});
    EXPECT_EQ(r.code, 1) << c.json;
    EXPECT_TRUE(Has(r.err, c.field)) << r.err;
    EXPECT_FALSE(std::filesystem::exists(dir.File("out"))) << c.json;
  }
}

TEST(DataToolCheck, ReportsOverflowingNumbersAndWhatIsNoProfileFile) {
  TempDir dir;
  dir.WriteFile("EVDO.ini", "[Main]\nMain_nCall=4294967297\nMain_nLanguage=2147483647\n");
  ToolRun r = Tool({"check", dir.Path()});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "Main_nCall = 4294967297 does not fit a 32-bit number")) << r.out;
  EXPECT_FALSE(Has(r.out, "Main_nLanguage")) << r.out;

  dir.WriteFile("EVDO.ini", "not ini [\n");
  r = Tool({"check", dir.Path()});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.out, "not a profile file")) << r.out;
  EXPECT_TRUE(Has(r.out, "line 1")) << r.out;

  dir.WriteFile("EVDO.ini", "; comment\n\n[Main]\nMain_nCall = 0\n");
  r = Tool({"check", dir.Path()});
  EXPECT_EQ(r.code, 0) << r.out;
}

TEST(DataToolFormat, DumpAndCheckARenamedFile) {
  TempDir dir;
  dir.WriteFile("SettingData.dat.damaged", std::string("\x02\0\0\0", 4));
  ToolRun unnamed = Tool({"dump", dir.File("SettingData.dat.damaged")});
  EXPECT_EQ(unnamed.code, 1);
  EXPECT_TRUE(Has(unnamed.err, "--format")) << unnamed.err;

  ToolRun dump = Tool({"dump", "--format", "SettingData.dat", dir.File("SettingData.dat.damaged")});
  ASSERT_EQ(dump.code, 0) << dump.err;
  EXPECT_EQ(Json::parse(dump.out)["content"]["option"], 2);

  ToolRun check = Tool({"check", "--format", "settingdata.dat", dir.File("SettingData.dat.damaged")});
  EXPECT_EQ(check.code, 0) << check.out << check.err;
  EXPECT_TRUE(Has(check.out, ": ok")) << check.out;

  dir.WriteFile("copy", "12345");
  check = Tool({"check", "--format", "SettingData.dat", dir.File("copy")});
  EXPECT_EQ(check.code, 1);
  EXPECT_TRUE(Has(check.out, "holds 5 bytes")) << check.out;
  EXPECT_EQ(Tool({"check", "--format", "Nothing.dat", dir.File("copy")}).code, 1);
}

TEST(DataToolHelp, GoesToStandardOutputWithStatusZero) {
  ToolRun help = Tool({"--help"});
  EXPECT_EQ(help.code, 0);
  EXPECT_TRUE(Has(help.out, "usage: evdo-data")) << help.out;
  EXPECT_TRUE(help.err.empty());
  ToolRun wrong = Tool({"frobnicate"});
  EXPECT_EQ(wrong.code, 2);
  EXPECT_TRUE(wrong.out.empty());
  EXPECT_TRUE(Has(wrong.err, "usage: evdo-data"));
}

// Contact files: which encoding is read, and what cannot be stored.
class ContactEncoding : public ::testing::Test {
protected:
  void SetUp() override { SelectSystemCodePage(CodePage::Cp936); }
  void TearDown() override { SelectSystemCodePage(CodePage::Cp936); }

  std::string StoredName(int index) {
    CPbData store;
    EXPECT_TRUE(store.Load(dir.File("PbData.dat")));
    ContactRecord record{};
    return store.Get(index, record) ? std::string(record.Name) : std::string();
  }

  TempDir dir;
};

const std::string kZhangSanUtf8 = "\xE5\xBC\xA0\xE4\xB8\x89";  // 张三
const std::string kZhangSanGbk = "\xD5\xC5\xC8\xFD";

TEST_F(ContactEncoding, Utf8IsDetectedAndConvertedIntoTheStoresCodePage) {
  dir.WriteFile("in.csv", "Name,Mobile\r\n" + kZhangSanUtf8 + ",123\r\n");
  ToolRun r = Tool({"import-contacts", dir.File("in.csv"), dir.File("PbData.dat")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "as UTF-8")) << r.out;
  EXPECT_EQ(StoredName(0), kZhangSanGbk);
}

TEST_F(ContactEncoding, AByteOrderMarkSaysUtf8) {
  dir.WriteFile("in.csv", "\xEF\xBB\xBFName,Mobile\r\n" + kZhangSanUtf8 + ",123\r\n");
  ToolRun r = Tool({"import-contacts", dir.File("in.csv"), dir.File("PbData.dat")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "UTF-8 with byte-order mark")) << r.out;
  EXPECT_EQ(StoredName(0), kZhangSanGbk);
}

TEST_F(ContactEncoding, GbkIsReadAsItIs) {
  dir.WriteFile("in.csv", "Name,Mobile\r\n" + kZhangSanGbk + ",123\r\n");
  ToolRun r = Tool({"import-contacts", dir.File("in.csv"), dir.File("PbData.dat")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "as GBK")) << r.out;
  EXPECT_EQ(StoredName(0), kZhangSanGbk);
}

TEST_F(ContactEncoding, AMixedFileIsRefusedNamingTheLines) {
  dir.WriteFile("in.csv", "Name,Mobile\r\n" + kZhangSanUtf8 + ",1\r\n" + kZhangSanGbk + ",2\r\n");
  ToolRun r = Tool({"import-contacts", dir.File("in.csv"), dir.File("PbData.dat")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "mixes encodings")) << r.err;
  EXPECT_TRUE(Has(r.err, "line(s) 2 read as UTF-8, line(s) 3")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("PbData.dat")));

  // Told the encoding, the lines that are not of it are named.
  r = Tool({"import-contacts", "--input-encoding", "utf-8", dir.File("in.csv"), dir.File("PbData.dat")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "line 3: bytes that are no UTF-8 character")) << r.err;
}

TEST_F(ContactEncoding, CharactersTheCodePageCannotHoldAreReportedWithTheirLine) {
  // An emoji and a Korean syllable have no place in code page 936.
  dir.WriteFile("in.csv", "Name,Mobile\r\nAnn,1\r\nSmile \xF0\x9F\x98\x80,2\r\n\xED\x95\x9C,3\r\n");
  ToolRun r = Tool({"import-contacts", dir.File("in.csv"), dir.File("PbData.dat")});
  EXPECT_EQ(r.code, 1);
  EXPECT_TRUE(Has(r.err, "line 3:")) << r.err;
  EXPECT_TRUE(Has(r.err, "line 4:")) << r.err;
  EXPECT_TRUE(Has(r.err, "cannot hold")) << r.err;
  EXPECT_FALSE(std::filesystem::exists(dir.File("PbData.dat")));
}

TEST_F(ContactEncoding, AnExplicitEncodingOverridesTheGuess) {
  // UTF-8 bytes read as GBK, as the user says: stored as they are.
  dir.WriteFile("in.csv", "Name,Mobile\r\n" + kZhangSanUtf8 + ",1\r\n");
  ToolRun r = Tool({"import-contacts", "--input-encoding", "gbk", dir.File("in.csv"), dir.File("PbData.dat")});
  ASSERT_EQ(r.code, 0) << r.err;
  EXPECT_TRUE(Has(r.out, "as GBK")) << r.out;
  EXPECT_EQ(StoredName(0), kZhangSanUtf8);
  EXPECT_EQ(Tool({"import-contacts", "--input-encoding", "latin1", dir.File("in.csv"), dir.File("PbData.dat")}).code,
            2);
}

TEST_F(ContactEncoding, AUtf8StoreTakesGbkFilesConverted) {
  SelectSystemCodePage(CodePage::Utf8);
  ConvertedInput c = ConvertForStore(kZhangSanGbk + ",1\n", InputEncoding::Auto, CodePage::Utf8);
  ASSERT_TRUE(c.ok);
  EXPECT_EQ(c.encoding, "GBK");
  EXPECT_EQ(c.text, kZhangSanUtf8 + ",1\n");
}

TEST(Utf8Validation, RejectsOverlongSurrogatesAndTruncatedSequences) {
  EXPECT_TRUE(IsValidUtf8("abc" + kZhangSanUtf8));
  EXPECT_FALSE(IsValidUtf8("\xC0\xAF"));          // overlong '/'
  EXPECT_FALSE(IsValidUtf8("\xED\xA0\x80"));      // a surrogate
  EXPECT_FALSE(IsValidUtf8("\xE5\xBC"));          // cut short
  EXPECT_FALSE(IsValidUtf8("\xF4\x90\x80\x80"));  // above U+10FFFF
  EXPECT_FALSE(IsValidUtf8(kZhangSanGbk));
}

TEST(DataToolMessages, AreWordsInEnglishOrTheLanguageModules) {
  TempDir dir;
  dir.WriteFile("PbData.dat", "");
  ToolRun english = Tool({"export-contacts", "--csv", dir.File("PbData.dat"), dir.File("out.csv")});
  EXPECT_EQ(english.out, "There are no contacts to export, or the file could not be read.\n");
#ifdef EVDO_TEST_LANG_DIR
  ToolRun chinese = Tool({"--language", std::string(EVDO_TEST_LANG_DIR) + "/chinese.so", "export-contacts", "--csv",
                          dir.File("PbData.dat"), dir.File("out.csv")});
  EXPECT_EQ(chinese.code, 1);
  EXPECT_TRUE(Has(chinese.out, "\xE6\xB2\xA1\xE6\x9C\x89")) << chinese.out;  // 没有, in UTF-8
  EXPECT_FALSE(Has(chinese.out, "message")) << chinese.out;
#endif
  ToolRun bad = Tool({"--language", dir.File("PbData.dat"), "check", dir.Path()});
  EXPECT_EQ(bad.code, 2);
  EXPECT_TRUE(Has(bad.err, "not a language module")) << bad.err;
}

}  // namespace
}  // namespace evdo::datatool
