#include <gtest/gtest.h>

#include "core/settings/ProfileFile.h"

namespace evdo {
namespace {

TEST(ProfileFile, ReadsWithTheWindowsRules) {
  auto p = ProfileFile::Parse(
      "; comment\r\n"
      "[ Main ]\r\n"
      "  Key1 =  spaced value  \r\n"
      "quoted=\"  keep blanks  \"\r\n"
      "single='x'\r\n"
      "half=\"open\r\n"
      "no equals sign here\r\n"
      "dup=first\r\n"
      "DUP=second\r\n"
      "[main]\r\n"
      "other=in the second main\r\n"
      "[Empty]\r\n");
  EXPECT_EQ(p.Get("MAIN", "key1"), "spaced value");
  EXPECT_EQ(p.Get("Main", "quoted"), "  keep blanks  ");
  EXPECT_EQ(p.Get("Main", "single"), "x");
  EXPECT_EQ(p.Get("Main", "half"), "\"open");
  EXPECT_EQ(p.Get("Main", "dup"), "first");
  EXPECT_EQ(p.Get("Main", "other"), std::nullopt);  // the first section wins
  EXPECT_EQ(p.Get("Main", "no equals sign here"), std::nullopt);
  EXPECT_EQ(p.Get("Empty", "x"), std::nullopt);
  EXPECT_EQ(p.Get("Missing", "x"), std::nullopt);
}

TEST(ProfileFile, IntegersComeFromTheLeadingDigits) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {{"42", 42}, {" 17abc", 17}, {"abc", 0}, {"", 0}, {"-5", 0},
               {"+8", 8}, {"0x10", 0}, {"1027408664", 1027408664}, {"2147483647", 2147483647}};
  for (const auto& c : cases) EXPECT_EQ(ProfileFile::ParseProfileInt(c.text), c.value) << c.text;
  auto p = ProfileFile::Parse("[S]\nn=12x\n");
  EXPECT_EQ(p.GetInt("s", "N", 5), 12);
  EXPECT_EQ(p.GetInt("s", "missing", 5), 5);
}

// The reader yields an unsigned 32-bit value kept in a signed 32-bit field:
// values of 2^31 or more come back negative, digits beyond 32 bits wrap.
TEST(ProfileFile, IntegersOfTwoToThe31OrMoreReadAsTheProfileReaderGivesThem) {
  struct Case {
    const char* text;
    std::int32_t value;
  } cases[] = {{"2147483648", -2147483647 - 1}, {"3000000000", -1294967296}, {"4294967295", -1},
               {"4294967296", 0},               {"4294967301", 5},           {"99999999999", 1215752191}};
  for (const auto& c : cases) EXPECT_EQ(ProfileFile::ParseProfileInt(c.text), c.value) << c.text;
}

// A byte-order mark in front of the file does not hide its first section,
// and a save keeps it.
TEST(ProfileFile, AByteOrderMarkDoesNotHideTheFirstSection) {
  auto p = ProfileFile::Parse("\xEF\xBB\xBF[Internet]\r\nInternet_szAPN=cmnet\r\n[Main]\r\nMain_nCall=0\r\n");
  EXPECT_EQ(p.Get("Internet", "Internet_szAPN"), "cmnet");
  EXPECT_EQ(p.GetInt("Main", "Main_nCall", 1), 0);
  p.Set("Internet", "Internet_szAPN", "ctnet");
  EXPECT_EQ(p.Serialize(), "\xEF\xBB\xBF[Internet]\r\nInternet_szAPN=ctnet\r\n[Main]\r\nMain_nCall=0\r\n");
  EXPECT_EQ(ProfileFile::Parse("[A]\nk=1\n").Serialize(), "[A]\nk=1\n");
}

TEST(ProfileFile, StringsAreCutToCapacityWithoutSplittingCharacters) {
  auto p = ProfileFile::Parse("[S]\nk=abcdefghijklmnopqrstuvwxyz\nzh=a\xD6\xD0\xCE\xC4\n");
  EXPECT_EQ(p.GetString("S", "k", "", 16), "abcdefghijklmno");
  EXPECT_EQ(p.GetString("S", "zh", "", 5), "a\xD6\xD0");
  EXPECT_EQ(p.GetString("S", "none", "default", 4), "def");
}

TEST(ProfileFile, WritesChangeOneKeyAndKeepEverythingElse) {
  auto p = ProfileFile::Parse(
      "; my notes\n"
      "[Main]\n"
      "Main_nCall = 0 \n"
      "custom=kept\n"
      "\n"
      "[Mine]\n"
      "x=1\n");
  p.Set("main", "main_ncall", "1");
  p.Set("Main", "NewKey", "v");
  p.Set("Setup", "Setup_nSkinStyle", "0");
  EXPECT_EQ(p.Serialize(),
            "; my notes\n"
            "[Main]\n"
            "main_ncall=1\n"
            "custom=kept\n"
            "NewKey=v\n"
            "\n"
            "[Mine]\n"
            "x=1\n"
            "[Setup]\n"
            "Setup_nSkinStyle=0\n");
}

TEST(ProfileFile, BinaryAndBrokenLinesDoNotDisturbTheRest) {
  std::string content("[Main]\r\n\x01\x02\xFF garbage\r\nk=v\0tail\r\n[Broken\r\nz=1\r\n", 46);
  auto p = ProfileFile::Parse(content);
  EXPECT_EQ(p.Get("Main", "k"), "v");
  EXPECT_EQ(p.Get("Main", "z"), "1");  // "[Broken" is no section header
  p.Set("Main", "k", "w");
  std::string out = p.Serialize();
  EXPECT_NE(out.find("\x01\x02\xFF garbage\r\n"), std::string::npos);
  EXPECT_NE(out.find("k=w\r\n"), std::string::npos);
}

// A value written is read back as it was: blanks at its ends and quotes of
// its own survive, and a line break cannot smuggle in keys of its own.
TEST(ProfileFile, WrittenValuesReadBackUnchanged) {
  auto p = ProfileFile::Parse("[Internet]\r\nInternet_szAPN=ctnet\r\n");
  const std::string values[] = {" secret", "pass ", "\"quoted\"", "'single'", "\"", "a \"b\" c", "\t\r"};
  for (const std::string& v : values) {
    p.Set("Internet", "Internet_szPassword", v);
    auto again = ProfileFile::Parse(p.Serialize());
    EXPECT_EQ(again.Get("Internet", "Internet_szPassword"), v) << v;
  }
  p.Set("Internet", "Internet_szUserName", "me\n[Main]\nMain_nLanguage=1");
  auto again = ProfileFile::Parse(p.Serialize());
  EXPECT_EQ(again.Get("Internet", "Internet_szUserName"), "me");
  EXPECT_EQ(again.Get("Main", "Main_nLanguage"), std::nullopt);
  EXPECT_EQ(again.Get("Internet", "Internet_szAPN"), "ctnet");
  // Plain values are written as they always were.
  p.Set("Internet", "Internet_szAPN", "ct net");
  EXPECT_NE(p.Serialize().find("Internet_szAPN=ct net\r\n"), std::string::npos);
}

}  // namespace
}  // namespace evdo
