#include "sms/SmsCodec.h"

#include <gtest/gtest.h>

#include "tests/sms/SmsTestSupport.h"

namespace evdo::sms {
namespace {

using test::CodePageScope;

TEST(SmsStatus, NamesAndIndexes) {
  const char* names[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};
  for (int i = 0; i < 4; ++i) {
    EXPECT_EQ(StatusIndex(names[i]), i);
    EXPECT_STREQ(StatusName(i), names[i]);
  }
  for (const char* other : {"rec read", "REC READ ", "", "ALL", "REC"}) EXPECT_EQ(StatusIndex(other), 4) << other;
  EXPECT_STREQ(StatusName(4), "");
  EXPECT_STREQ(StatusName(-1), "");
}

TEST(Gsm7, CharactersOfBothTablesAndNoOthers) {
  for (char16_t u : {u'@', u'£', u'$', u'¥', u'è', u'\n', u'\r', u'Δ', u'Ξ', u' ', u'¤', u'¡', u'Ä', u'§', u'¿',
                     u'à', u'{', u'}', u'[', u']', u'~', u'\\', u'^', u'|', u'€', u'A', u'z', u'0'})
    EXPECT_TRUE(IsGsm7Char(u)) << static_cast<int>(u);
  for (char16_t u : {u'`', u'\f', u'\x1B', u'\t', u'ş', u'中', char16_t{0x20AD}, char16_t{0}, char16_t{0xD800}})
    EXPECT_FALSE(IsGsm7Char(u)) << static_cast<int>(u);
}

struct TextCase {
  const char* text;  // code page 936
  bool gsm7;
  std::uint16_t chars;
  const char* hex;
};

class TextRules : public testing::TestWithParam<TextCase> {};

TEST_P(TextRules, Gsm7CountAndHex) {
  const TextCase& c = GetParam();
  EXPECT_EQ(IsGsm7Text(c.text), c.gsm7);
  EXPECT_EQ(CountChars(c.text), c.chars);
  EXPECT_EQ(EncodeUcs2Hex(c.text), c.hex);
  EXPECT_EQ(DecodeUcs2Hex(c.hex), c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cp936, TextRules,
    testing::Values(TextCase{"", true, 0, ""}, TextCase{"Hi", true, 2, "00480069"},
                    TextCase{"a{b}", true, 4, "0061007B0062007D"},
                    TextCase{"\x80 5", true, 3, "20AC00200035"},  // the euro sign of code page 936
                    TextCase{"\xD6\xD0\xCE\xC4", false, 2, "4E2D6587"},
                    TextCase{"x\xD6\xD0", false, 2, "00784E2D"}, TextCase{"tab\t", false, 4, "0074006100620009"}));

TEST(TextRules, Utf8CountsCharactersOnce) {
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(CountChars("\xE4\xB8\xAD\xE6\x96\x87"), 2);
  EXPECT_EQ(EncodeUcs2Hex("\xE4\xB8\xAD\xE2\x82\xAC"), "4E2D20AC");
  EXPECT_TRUE(IsGsm7Text("\xE2\x82\xAC{"));
  EXPECT_FALSE(IsGsm7Text("\xE4\xB8\xAD"));
  EXPECT_EQ(DecodeUcs2Hex("4E2D20AC"), "\xE4\xB8\xAD\xE2\x82\xAC");
}

TEST(TextRules, CountSaturatesInsteadOfWrapping) {
  EXPECT_EQ(CountChars(std::string(65536 + 10, 'a')), 65535);
}

struct DecodeCase {
  const char* hex;
  const char* text;
};

class DecodeBadHex : public testing::TestWithParam<DecodeCase> {};

TEST_P(DecodeBadHex, IsReadAsPercentX) { EXPECT_EQ(DecodeUcs2Hex(GetParam().hex), GetParam().text); }

INSTANTIATE_TEST_SUITE_P(
    Cp936, DecodeBadHex,
    testing::Values(DecodeCase{"0048006", "H"},        // trailing digits ignored
                    DecodeCase{"004", ""}, DecodeCase{"00480069006", "Hi"},
                    DecodeCase{"4e2d", "\xD6\xD0"},    // lower case
                    DecodeCase{"zzzz0041", "A"},        // a group without digits is skipped
                    DecodeCase{"    0041", "A"}, DecodeCase{"0041 42G", "AB"},  // leading blank, stop at G
                    DecodeCase{"0x410042", "AB"},       // "0x" prefix
                    DecodeCase{"00000041", "?A"},       // U+0000 keeps the rest
                    DecodeCase{"D800", "?"},            // lone surrogate
                    DecodeCase{"FFFF", "?"},            // no mapping in code page 936
                    DecodeCase{"-001", "?"}));          // sign: 0xFFFF

TEST(PartLabels, LabelAndHeaderRefuseTheSameNumbers) {
  std::string out = "kept";
  for (auto [seq, total] : {std::pair{0u, 3u}, {1u, 0u}, {4u, 3u}}) {
    EXPECT_FALSE(FormatPartLabel(seq, total, out));
    EXPECT_FALSE(FormatConcatHeader(5, seq, total, out));
    EXPECT_EQ(out, "kept");
  }
  ASSERT_TRUE(FormatPartLabel(2, 3, out));
  EXPECT_EQ(out, "(2/3)");
  ASSERT_TRUE(FormatConcatHeader(5, 2, 3, out));
  EXPECT_EQ(out, "050003050302");
  ASSERT_TRUE(FormatConcatHeader(300, 1, 2, out));
  EXPECT_EQ(out, "060804012C0201");
  ASSERT_TRUE(FormatConcatHeader(255, 5, 5, out));
  EXPECT_EQ(out, "050003FF0505");
  ASSERT_TRUE(FormatConcatHeader(256, 1, 1, out));
  EXPECT_EQ(out, "06080401000101");
}

TEST(PartLabels, CheckPartInfoKeepsOnlyConsistentInformation) {
  struct Case {
    std::uint8_t flags, index, count;
    bool kept;
  } cases[] = {{2, 2, 3, true}, {3, 3, 3, true}, {0, 2, 3, false}, {2, 0, 3, false}, {2, 1, 0, false},
               {6, 4, 3, false}};
  for (const auto& c : cases) {
    SmsRecord r = ZeroSmsRecord();
    r.flags = c.flags;
    r.reference = 77;
    r.partIndex = c.index;
    r.partCount = c.count;
    EXPECT_EQ(CheckPartInfo(r), c.kept);
    if (c.kept) {
      EXPECT_EQ(r.reference, 77);
      EXPECT_EQ(r.flags, c.flags);
    } else {
      EXPECT_EQ(r.flags, c.flags & ~2);
      EXPECT_EQ(r.reference + r.partIndex + r.partCount, 0);
    }
  }
}

std::vector<std::string> Numbers(std::string_view text) {
  NumberList list;
  const int n = ExtractNumbers(text, list);
  EXPECT_EQ(n, list.count);
  std::vector<std::string> out;
  for (int i = 0; i < n; ++i) out.emplace_back(list.Number(i));
  return out;
}

using Strings = std::vector<std::string>;

TEST(ExtractNumbers, TakesRunsOfFiveToFortyDigits) {
  EXPECT_EQ(Numbers("call 13800138000 or 1234"), Strings{"13800138000"});
  EXPECT_EQ(Numbers("12345"), Strings{"12345"});
  EXPECT_EQ(Numbers(std::string(40, '9')), Strings{std::string(40, '9')});
  EXPECT_EQ(Numbers(std::string(41, '9') + " 55555"), Strings{"55555"});
  EXPECT_EQ(Numbers("+86-10-12345678x99999"), Strings({"12345678", "99999"}));
  EXPECT_EQ(Numbers(""), Strings{});
}

TEST(ExtractNumbers, DoubleByteCharactersEndARun) {
  // "10086" then a double-byte character, digits, a lone lead byte at the end
  EXPECT_EQ(Numbers("10086\xB5\xE7""12345\xB5"), Strings({"10086", "12345"}));
  EXPECT_EQ(Numbers("1234\xB5\xE7""5678"), Strings{});
  CodePageScope utf8(CodePage::Utf8);
  EXPECT_EQ(Numbers("\xE7\x94\xB5""95588\xE8\xAF\x9D"), Strings{"95588"});
}

TEST(ExtractNumbers, StopsAtTen) {
  std::string text;
  for (int i = 0; i < 12; ++i) text += std::to_string(10000 + i) + ",";
  const Strings found = Numbers(text);
  ASSERT_EQ(found.size(), 10u);
  EXPECT_EQ(found[9], "10009");
}

}  // namespace
}  // namespace evdo::sms
