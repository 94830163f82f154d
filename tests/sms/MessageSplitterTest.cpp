#include "sms/MessageSplitter.h"

#include <gtest/gtest.h>

#include "core/text/CodePage.h"
#include "sms/SmsCodec.h"
#include "tests/sms/SmsTestSupport.h"

namespace evdo::sms {
namespace {

using test::CodePageScope;

constexpr const char* kHan936 = "\xD6\xD0";            // one Chinese character in code page 936
constexpr const char* kHanUtf8 = "\xE4\xB8\xAD";       // the same in UTF-8
constexpr const char* kEuroUtf8 = "\xE2\x82\xAC";

std::string Repeat(std::string_view unit, std::size_t n) {
  std::string s;
  for (std::size_t i = 0; i < n; ++i) s += unit;
  return s;
}

std::vector<std::size_t> PartChars(const MessageSplitter& s) {
  std::vector<std::size_t> out;
  for (int i = 0; i < s.partCount; ++i) out.push_back(evdo::CountChars(s.Part(i)));
  return out;
}

using Sizes = std::vector<std::size_t>;

struct SplitCase {
  const char* name;
  std::string text;
  bool ok;
  bool isGsm7;
  Sizes parts;  // empty: one message, parts left empty
};

class Split : public testing::TestWithParam<SplitCase> {};

TEST_P(Split, Limits) {
  const SplitCase& c = GetParam();
  MessageSplitter s;
  ASSERT_EQ(SplitMessage(s, c.text), c.ok);
  if (!c.ok) return;
  EXPECT_EQ(s.isGsm7, c.isGsm7 ? 1 : 0);
  EXPECT_EQ(s.isLong, c.parts.empty() ? 0 : 1);
  EXPECT_EQ(PartChars(s), c.parts);
  EXPECT_EQ(s.currentPart, 0);
  std::string joined;
  for (int i = 0; i < s.partCount; ++i) joined += s.Part(i);
  EXPECT_EQ(joined, c.parts.empty() ? "" : c.text);
}

INSTANTIATE_TEST_SUITE_P(
    Cp936, Split,
    testing::Values(
        SplitCase{"Gsm160", std::string(160, 'a'), true, true, {}},
        SplitCase{"Gsm161", std::string(161, 'a'), true, true, {153, 8}},
        SplitCase{"Gsm765", std::string(765, 'a'), true, true, {153, 153, 153, 153, 153}},
        SplitCase{"Gsm766", std::string(766, 'a'), false, true, {}},
        SplitCase{"Empty", "", false, true, {}},
        SplitCase{"CurlyAndEuroStayGsm", "{\x80" + std::string(159, 'a'), true, true, {153, 8}},
        SplitCase{"Ucs2Of70", Repeat(kHan936, 70), true, false, {}},
        SplitCase{"Ucs2Of71", Repeat(kHan936, 71), true, false, {67, 4}},
        SplitCase{"Ucs2Of335", Repeat(kHan936, 335), true, false, {67, 67, 67, 67, 67}},
        SplitCase{"Ucs2Of336IsRefused", Repeat(kHan936, 336), false, false, {}},
        SplitCase{"OneChineseMakesAsciiUcs2", kHan936 + std::string(100, 'a'), true, false, {67, 34}},
        SplitCase{"MixedNeverSplitsACharacter", "a" + Repeat(kHan936, 80), true, false, {67, 14}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(Split, TextEndsAtItsFirstNul) {
  MessageSplitter s;
  ASSERT_TRUE(SplitMessage(s, std::string(150, 'a') + '\0' + std::string(100, 'b')));
  EXPECT_EQ(s.isLong, 0);
}

TEST(Split, ReferenceStartsAtZeroAndWraps) {
  MessageSplitter s;
  const std::string longText(200, 'x');
  ASSERT_TRUE(SplitMessage(s, "short"));
  EXPECT_EQ(s.reference, 255);  // a short text takes no reference
  ASSERT_TRUE(SplitMessage(s, longText));
  EXPECT_EQ(s.reference, 0);
  for (int i = 2; i <= 256; ++i) ASSERT_TRUE(SplitMessage(s, longText));
  EXPECT_EQ(s.reference, 255);
  ASSERT_TRUE(SplitMessage(s, longText));  // the 257th
  EXPECT_EQ(s.reference, 0);
  EXPECT_FALSE(SplitMessage(s, std::string(800, 'x')));
  EXPECT_EQ(s.reference, 0);
}

TEST(Split, Utf8LimitsStayInCharacters) {
  CodePageScope utf8(CodePage::Utf8);
  MessageSplitter s;
  ASSERT_TRUE(SplitMessage(s, Repeat(kEuroUtf8, 160)));
  EXPECT_EQ(s.isGsm7, 1);
  EXPECT_EQ(s.isLong, 0);
  ASSERT_TRUE(SplitMessage(s, Repeat(kEuroUtf8, 765)));
  EXPECT_EQ(PartChars(s), (Sizes{153, 153, 153, 153, 153}));
  EXPECT_EQ(s.Part(4), Repeat(kEuroUtf8, 153));
  EXPECT_FALSE(SplitMessage(s, Repeat(kEuroUtf8, 766)));
  ASSERT_TRUE(SplitMessage(s, Repeat(kHanUtf8, 70)));
  EXPECT_EQ(s.isLong, 0);
  ASSERT_TRUE(SplitMessage(s, Repeat(kHanUtf8, 71)));
  EXPECT_EQ(PartChars(s), (Sizes{67, 4}));
  ASSERT_TRUE(SplitMessage(s, "a" + Repeat(kHanUtf8, 334)));
  EXPECT_EQ(PartChars(s), (Sizes{67, 67, 67, 67, 67}));
  EXPECT_FALSE(SplitMessage(s, Repeat(kHanUtf8, 336)));
}

TEST(DataBlock, ShortTextAndEachPartOfALongOne) {
  MessageSplitter s;
  std::string block;
  ASSERT_TRUE(SplitMessage(s, "Hi"));
  ASSERT_TRUE(PartDataBlock(s, "Hi", kSendBlockLimit, block));
  EXPECT_EQ(block, "00480069\x1A");

  const std::string text = std::string(153, 'a') + "bc" + std::string(7, 'd');
  ASSERT_TRUE(SplitMessage(s, text));
  ASSERT_TRUE(PartDataBlock(s, text, kSendBlockLimit, block));
  EXPECT_EQ(block.substr(0, 12), "050003000201");
  EXPECT_EQ(block.size(), 12 + 153 * 4 + 1u);
  EXPECT_EQ(block.back(), kCtrlZ);
  s.currentPart = 1;
  ASSERT_TRUE(PartDataBlock(s, text, kWriteBlockLimit, block));
  EXPECT_EQ(block, "050003000202" "00620063" "0064006400640064006400640064\x1A");
  s.currentPart = 2;
  EXPECT_FALSE(PartDataBlock(s, text, kWriteBlockLimit, block));
  s.currentPart = 0;
  EXPECT_FALSE(PartDataBlock(s, text, 600, block));
}

TEST(DataBlock, ReferenceOf255KeepsTheEightBitHeader) {
  MessageSplitter s;
  s.reference = 254;
  std::string block;
  ASSERT_TRUE(SplitMessage(s, std::string(161, 'a')));
  ASSERT_TRUE(PartDataBlock(s, "", kSendBlockLimit, block));
  EXPECT_EQ(block.substr(0, 12), "050003FF0201");
}

}  // namespace
}  // namespace evdo::sms
