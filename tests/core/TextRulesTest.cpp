#include "core/text/TextRules.h"

#include <gtest/gtest.h>

namespace evdo {
namespace {

struct CharCase {
  char c;
  bool space, spaceOrTab, digit, dial;
  int hex;
};

// Every class of character, with the bytes of a double-byte character (never
// a blank, digit or letter).
constexpr CharCase kChars[] = {
    {' ', true, true, false, false, -1},   {'\t', true, true, false, false, -1},
    {'\r', true, false, false, false, -1}, {'\n', true, false, false, false, -1},
    {'\v', true, false, false, false, -1}, {'\f', true, false, false, false, -1},
    {'0', false, false, true, true, 0},    {'9', false, false, true, true, 9},
    {'a', false, false, false, false, 10}, {'F', false, false, false, false, 15},
    {'g', false, false, false, false, -1}, {'*', false, false, false, true, -1},
    {'#', false, false, false, true, -1},  {'+', false, false, false, true, -1},
    {'-', false, false, false, false, -1}, {'\0', false, false, false, false, -1},
    {'\b', false, false, false, false, -1}, {'\xA0', false, false, false, false, -1},
    {'\xD6', false, false, false, false, -1},
};

TEST(TextRules, ClassifiesEveryKindOfCharacter) {
  for (const CharCase& t : kChars) {
    SCOPED_TRACE(static_cast<int>(static_cast<unsigned char>(t.c)));
    EXPECT_EQ(IsAsciiSpace(t.c), t.space);
    EXPECT_EQ(IsSpaceOrTab(t.c), t.spaceOrTab);
    EXPECT_EQ(IsDecimalDigit(t.c), t.digit);
    EXPECT_EQ(IsDialCharacter(t.c), t.dial);
    EXPECT_EQ(HexDigitValue(t.c), t.hex);
  }
}

TEST(TextRules, TrimsAndTellsBlankTexts) {
  struct {
    std::string_view in, trimmed;
    bool blank;
  } cases[] = {{"", "", true},          {" \t\r\n", "", true},         {" a b ", "a b", false},
               {"x", "x", false},        {"\xD6\xD0 ", "\xD6\xD0", false}, {"\xA0", "\xA0", false},
               {"\va\f", "a", false}};
  for (const auto& c : cases) {
    EXPECT_EQ(TrimAsciiSpace(c.in), c.trimmed) << c.in;
    EXPECT_EQ(IsEmptyOrAsciiSpace(c.in), c.blank) << c.in;
  }
}

TEST(TextRules, ComparesIgnoringOnlyAsciiCase) {
  struct {
    std::string_view a, b;
    bool equal;
  } cases[] = {{"Main", "MAIN", true},  {"main", "mai", false}, {"", "", true},
               {"a1_", "A1_", true},    {"\xC1", "\xE1", false}, {"[Main]", "[main]", true}};
  for (const auto& c : cases) EXPECT_EQ(EqualIgnoringAsciiCase(c.a, c.b), c.equal) << c.a << " / " << c.b;
  EXPECT_TRUE(StartsWithIgnoringAsciiCase("at+CSQ", "AT"));
  EXPECT_FALSE(StartsWithIgnoringAsciiCase("A", "AT"));
  EXPECT_EQ(ToLowerAscii("AbC\xC1"), "abc\xC1");
  EXPECT_EQ(ToUpperAscii("at$qcmgr"), "AT$QCMGR");
}

TEST(TextRules, DigitsHexAndDialStrings) {
  EXPECT_TRUE(AllDecimalDigits("0123456789"));
  EXPECT_FALSE(AllDecimalDigits(""));
  EXPECT_FALSE(AllDecimalDigits("12a"));
  EXPECT_FALSE(AllDecimalDigits("-1"));
  EXPECT_TRUE(IsDialString("+8613900000000"));
  EXPECT_TRUE(IsDialString("*#06#"));
  EXPECT_FALSE(IsDialString(""));
  EXPECT_FALSE(IsDialString("139 0000"));
  EXPECT_FALSE(IsDialString("139;1"));
  const std::uint8_t bytes[] = {0x00, 0x0F, 0xA5, 0xFF};
  EXPECT_EQ(LowerHex(bytes, 4), "000fa5ff");
  EXPECT_EQ(UpperHexDigit(10), 'A');
  EXPECT_EQ(LowerHexDigit(15), 'f');
}

}  // namespace
}  // namespace evdo
