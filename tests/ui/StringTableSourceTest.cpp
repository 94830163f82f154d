#include "lang/StringTableSource.h"

#include <gtest/gtest.h>

namespace evdo {
namespace {

constexpr const char* kHeader = "# comment\nid\trole\ten\tzh\n";

TEST(StringTableSourceTest, ParsesSortsAndResolvesEscapes) {
  StringTableSource table;
  std::string error;
  ASSERT_TRUE(table.Parse(std::string(kHeader) +
                              "331\tdark\tskin\\\\dark\\\\theme.ini\tx\r\n"
                              "# another comment\n\n"
                              "5\tlines\ta\\r\\nb\\tc\t\xE4\xB8\xAD\n",
                          error))
      << error;
  EXPECT_EQ(table.Languages(), (std::vector<std::string>{"en", "zh"}));
  EXPECT_EQ(table.LanguageIndex("zh"), 1);
  EXPECT_EQ(table.LanguageIndex("fr"), -1);
  ASSERT_EQ(table.Entries().size(), 2u);
  EXPECT_EQ(table.Entries()[0].id, 5);
  EXPECT_EQ(table.Entries()[0].texts[0], "a\r\nb\tc");
  EXPECT_EQ(table.Entries()[1].id, 331);
  EXPECT_EQ(table.Entries()[1].texts[0], "skin\\dark\\theme.ini");
  EXPECT_EQ(table.Entries()[1].texts[1], "x") << "a CR before the line feed is not part of the text";
}

struct BadTable {
  const char* name;
  std::string source;
  const char* error;
  friend void PrintTo(const BadTable& t, std::ostream* os) { *os << t.name; }
};

class StringTableSourceErrors : public ::testing::TestWithParam<BadTable> {};

TEST_P(StringTableSourceErrors, NameTheLineAndTheFault) {
  StringTableSource table;
  std::string error;
  EXPECT_FALSE(table.Parse(GetParam().source, error));
  EXPECT_EQ(error, GetParam().error);
}

INSTANTIATE_TEST_SUITE_P(
    Faults, StringTableSourceErrors,
    ::testing::Values(
        BadTable{"NoHeader", "# only a comment\n", "the table has no header line"},
        BadTable{"NoStrings", kHeader, "the table has no strings"},
        BadTable{"WrongHeader", "number\trole\ten\n1\tr\ta\n",
                 "line 1: the header must name the columns id, role and the languages"},
        BadTable{"MissingColumn", std::string(kHeader) + "1\trole\tonly one\n", "line 3: expected 4 columns"},
        BadTable{"ExtraColumn", std::string(kHeader) + "1\trole\ta\tb\tc\n", "line 3: expected 4 columns"},
        BadTable{"IdZero", std::string(kHeader) + "0\tr\ta\tb\n", "line 3: the id must be a number from 1 to 65535"},
        BadTable{"IdTooLarge", std::string(kHeader) + "65536\tr\ta\tb\n",
                 "line 3: the id must be a number from 1 to 65535"},
        BadTable{"IdNotANumber", std::string(kHeader) + "12a\tr\ta\tb\n",
                 "line 3: the id must be a number from 1 to 65535"},
        BadTable{"UnknownEscape", std::string(kHeader) + "1\tr\ta\\x\tb\n", "line 3: bad escape in the en text"},
        BadTable{"TrailingBackslash", std::string(kHeader) + "1\tr\ta\tb\\\n", "line 3: bad escape in the zh text"},
        BadTable{"Duplicate", std::string(kHeader) + "7\tr\ta\tb\n7\tr\tc\td\n", "string 7 is defined twice"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(StringTableSourceTest, EncodesIntoTheCodePageOrRefuses) {
  std::string out;
  EXPECT_TRUE(EncodeModuleText("\xE4\xB8\xAD\xE6\x96\x87", CodePage::Cp936, out));  // two Chinese characters
  EXPECT_EQ(out, "\xD6\xD0\xCE\xC4");
  EXPECT_FALSE(EncodeModuleText("\xE0\xB8\x81", CodePage::Cp936, out)) << "a Thai letter has no code page 936 form";
  EXPECT_FALSE(EncodeModuleText("?\xF0\x9F\x98\x80", CodePage::Cp936, out)) << "nor has an emoji";
  EXPECT_TRUE(EncodeModuleText("plain ?", CodePage::Cp936, out));
}

TEST(StringTableSourceTest, GeneratesATableOfExactBytes) {
  StringTableSource table;
  std::string error, out;
  ASSERT_TRUE(table.Parse(std::string(kHeader) + "330\tr\tskin\\\\x\\\\t.ini\t\"\xE4\xB8\xAD\"?\?=\n", error));
  ASSERT_TRUE(GenerateModuleTable(table, table.LanguageIndex("en"), CodePage::Cp936, out, error)) << error;
  EXPECT_NE(out.find("{330, \"skin\\134x\\134t.ini\"},"), std::string::npos) << out;
  ASSERT_TRUE(GenerateModuleTable(table, table.LanguageIndex("zh"), CodePage::Cp936, out, error)) << error;
  EXPECT_NE(out.find("{330, \"\\042\\326\\320\\042\\077\\077=\"},"), std::string::npos) << out;
  EXPECT_NE(out.find("kModuleStringCount = 1;"), std::string::npos);
  EXPECT_FALSE(GenerateModuleTable(table, 2, CodePage::Cp936, out, error));
  EXPECT_EQ(error, "no such language column");
}

TEST(StringTableSourceTest, GenerationNamesTheStringThatCannotBeEncoded) {
  StringTableSource table;
  std::string error, out;
  ASSERT_TRUE(table.Parse(std::string(kHeader) + "12\tr\tok\t\xE0\xB8\x81\n", error));
  EXPECT_FALSE(GenerateModuleTable(table, 1, CodePage::Cp936, out, error));
  EXPECT_EQ(error, "string 12 (zh) has a character outside the code page");
}

}  // namespace
}  // namespace evdo
