#include <gtest/gtest.h>

#include "core/text/CodePage.h"

namespace evdo {
namespace {

const std::string kZhong = "\xD6\xD0";  // 中 in code page 936
const std::string kWen = "\xCE\xC4";    // 文

TEST(CodePage936, ConvertsAsWindowsDoes) {
  EXPECT_EQ(ToUtf8("\x80", CodePage::Cp936), "\u20AC");
  EXPECT_EQ(FromUtf8("\u20AC", CodePage::Cp936), "\x80");
  EXPECT_EQ(ToUtf8(kZhong + kWen + "A", CodePage::Cp936), "中文A");
  EXPECT_EQ(FromUtf8("中文A", CodePage::Cp936), kZhong + kWen + "A");
  EXPECT_EQ(ToUtf16("\xA1\xA4", CodePage::Cp936), u"\u00B7");
  EXPECT_EQ(ToUtf16("\xA1\xAA", CodePage::Cp936), u"\u2014");
}

TEST(CodePage936, UnmappedBecomesTheDefaultCharacter) {
  EXPECT_EQ(ToUtf8("a\xFFz", CodePage::Cp936), "a?z");
  EXPECT_EQ(FromUtf8("\u0E01\U0001F600x", CodePage::Cp936), "??x");  // no mapping, one "?" each
  EXPECT_EQ(ToUtf8("\xA1\x40", CodePage::Cp936), "?");  // user-defined area, unmapped
  EXPECT_EQ(ToUtf8("ab\xD6", CodePage::Cp936), "ab?");  // lead byte cut off at the end
}

TEST(CodePage936, LeadBytesAndCounting) {
  EXPECT_FALSE(IsLeadByte(0x80, CodePage::Cp936));
  EXPECT_TRUE(IsLeadByte(0x81, CodePage::Cp936));
  EXPECT_TRUE(IsLeadByte(0xFE, CodePage::Cp936));
  EXPECT_FALSE(IsLeadByte(0xFF, CodePage::Cp936));
  EXPECT_EQ(CountChars(kZhong + "ab" + kWen, CodePage::Cp936), 4u);
  EXPECT_EQ(CountChars("\x80" "a", CodePage::Cp936), 2u);
  EXPECT_EQ(CountChars("a\xD6", CodePage::Cp936), 2u);
}

TEST(CodePage936, CutNeverSplitsADoubleByteCharacter) {
  std::string s = "a" + kZhong + kWen;
  EXPECT_EQ(CutToBytes(s, 2, CodePage::Cp936), "a");
  EXPECT_EQ(CutToBytes(s, 3, CodePage::Cp936), "a" + kZhong);
  EXPECT_EQ(CutToBytes(s, 100, CodePage::Cp936), s);
  EXPECT_EQ(CutToBytes(s, 0, CodePage::Cp936), "");
}

TEST(CodePageUtf8, CountsMultiByteCharactersOnce) {
  EXPECT_EQ(CountChars("中文a€", CodePage::Utf8), 4u);
  EXPECT_EQ(CutToBytes("a中", 3, CodePage::Utf8), "a");
  EXPECT_EQ(ToUtf16("a中", CodePage::Utf8), u"a中");
  EXPECT_EQ(ToUtf16("a\xFFz", CodePage::Utf8), u"a?z");
  EXPECT_EQ(CountChars("\xC0\x80", CodePage::Utf8), 2u);  // overlong: two broken bytes
  EXPECT_EQ(FromUtf16(u"\U0001F600", CodePage::Utf8), "\U0001F600");
}

TEST(CodePage, SystemCodePageIsSelectable) {
  EXPECT_EQ(SystemCodePage(), CodePage::Cp936);
  SelectSystemCodePage(CodePage::Utf8);
  EXPECT_EQ(CountChars("中文"), 2u);
  SelectSystemCodePage(CodePage::Cp936);
  EXPECT_EQ(CountChars(kZhong), 1u);
}

TEST(CodePage, RoundTripsEveryMappedDoubleByteCode) {
  int mapped = 0;
  for (int lead = 0x81; lead <= 0xFE; ++lead) {
    for (int trail = 0x40; trail <= 0xFE; ++trail) {
      if (trail == 0x7F) continue;
      std::string s{static_cast<char>(lead), static_cast<char>(trail)};
      std::u16string u = ToUtf16(s, CodePage::Cp936);
      ASSERT_EQ(u.size(), 1u);
      if (u[0] == u'?') continue;
      ++mapped;
      ASSERT_EQ(FromUtf16(u, CodePage::Cp936), s) << std::hex << lead << trail;
    }
  }
  EXPECT_EQ(mapped, 21791);
}

}  // namespace
}  // namespace evdo

namespace evdo {
namespace {

TEST(CodePage, NamesSelectTheCodePage) {
  CodePage cp = CodePage::Cp936;
  EXPECT_TRUE(ParseCodePageName("UTF-8", cp));
  EXPECT_EQ(cp, CodePage::Utf8);
  EXPECT_TRUE(ParseCodePageName("gbk", cp));
  EXPECT_EQ(cp, CodePage::Cp936);
  EXPECT_FALSE(ParseCodePageName("latin1", cp));
  EXPECT_EQ(cp, CodePage::Cp936);
}

// Text decoded from a modem's UCS-2 goes through UTF-16: in the UTF-8 code
// page, what cannot be held (an unpaired surrogate, broken bytes) becomes
// the default character, as in code page 936, and a U+FFFD of the text is
// kept, so that a text converts back to itself.
TEST(CodePageUtf8, UnpairedSurrogatesAndBrokenBytesBecomeTheDefaultCharacter) {
  const std::u16string units = {0xDDDD, u'A', 0xD800, 0xD83D, 0xDE00, 0xFFFD};
  const std::string text = FromUtf16(units, CodePage::Utf8);
  EXPECT_EQ(text, "?A?\xF0\x9F\x98\x80\xEF\xBF\xBD");
  EXPECT_EQ(FromUtf16(ToUtf16(text, CodePage::Utf8), CodePage::Utf8), text);
  EXPECT_EQ(ToUtf16("\xEF\xBF\xBD\xFF", CodePage::Utf8), std::u16string({0xFFFD, u'?'}));
  EXPECT_EQ(FromUtf8("\xEF\xBF\xBD\xC0", CodePage::Utf8), "\xEF\xBF\xBD?");
  // The plain UTF-8 conversions keep marking broken sequences with U+FFFD.
  EXPECT_EQ(Utf16ToUtf8(std::u16string(1, char16_t(0xDDDD))), "\xEF\xBF\xBD");
}

}  // namespace
}  // namespace evdo
