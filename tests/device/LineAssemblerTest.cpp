#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "device/LineAssembler.h"

namespace evdo {
namespace {

struct Block {
  int lineClass;
  std::vector<std::string> lines;
  bool operator==(const Block&) const = default;
};

void PrintTo(const Block& block, std::ostream* os) {
  *os << "{class " << block.lineClass;
  for (const auto& line : block.lines) *os << ", \"" << line << "\"";
  *os << "}";
}

// Feeds bytes and collects every completed block.
std::vector<Block> Feed(CLineAssembler& assembler, const std::string& bytes) {
  std::vector<Block> blocks;
  for (char c : bytes) {
    if (!assembler.Feed(static_cast<std::uint8_t>(c))) continue;
    Block block{assembler.LastClass(), {}};
    for (int i = 0; i < assembler.LineCount(); ++i) block.lines.emplace_back(assembler.Lines()[i]);
    blocks.push_back(block);
    assembler.Reset();
  }
  return blocks;
}

struct StreamCase {
  const char* name;
  std::string bytes;
  std::vector<Block> expected;
};

void PrintTo(const StreamCase& c, std::ostream* os) { *os << c.name; }


class LineStreamTest : public ::testing::TestWithParam<StreamCase> {};

TEST_P(LineStreamTest, DeliversExpectedBlocks) {
  CLineAssembler assembler;
  EXPECT_EQ(Feed(assembler, GetParam().bytes), GetParam().expected);
}

const std::string kCmtHeader = "+CMT: \"13800138000\",,\"24/01/02,10:11:12+32\"";

INSTANTIATE_TEST_SUITE_P(
    Streams, LineStreamTest,
    ::testing::Values(
        StreamCase{"FinalOk", "\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"InformationThenOk", "\r\n+CSQ: 20,99\r\n\r\nOK\r\n", {{kLineOk, {"+CSQ: 20,99", "OK"}}}},
        StreamCase{"InformationWithoutBlankLine", "\r\nfirst\r\nsecond\r\nOK\r\n",
                   {{kLineOk, {"first", "second", "OK"}}}},
        StreamCase{"EchoIgnored", "AT+CSQ?\r\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"Prompt", "AT+CMGS=1\r\r\n> ", {{kLineOk, {"> "}}}},
        StreamCase{"PromptWithRepeatedMark", "\r\n>> ", {{kLineOk, {"> "}}}},
        StreamCase{"PromptOnlyAtLineStart", "\r\nab> \r\n\r\nOK\r\n", {{kLineOk, {"ab> ", "OK"}}}},
        StreamCase{"BrokenPromptDropped", "\r\n>x\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"CmtTakesBodyWhateverItHolds", "\r\n" + kCmtHeader + "\r\nOK\r\n",
                   {{kLineCmt, {kCmtHeader, "OK"}}}},
        StreamCase{"CmtEmptyBody", "\r\n" + kCmtHeader + "\r\n\r\n", {{kLineCmt, {kCmtHeader}}}},
        StreamCase{"CmtBodyWithBrokenEndDropped", "\r\n" + kCmtHeader + "\r\nbody\rX\r\nOK\r\n",
                   {{kLineOk, {kCmtHeader, "OK"}}}},
        StreamCase{"Rssi", "\r\n+RSSI: 3,1\r\n", {{kLineRssi, {"+RSSI: 3,1"}}}},
        StreamCase{"OkWithTrailingCharacterIsInformation", "\r\nOKx\r\n", {}},
        StreamCase{"OkWithTrailingCharacterThenFinal", "\r\nOKx\r\n\r\nOK\r\n", {{kLineOk, {"OKx", "OK"}}}},
        StreamCase{"BrokenLineEndDropsLine", "\r\nOK\rX", {}},
        StreamCase{"BrokenLineEndThenRecovers", "\r\nOK\rX\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"BrokenInformationEndDropsIt", "\r\ninfo\rX\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"RepeatedCarriageReturns", "\r\r\r\nOK\r\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"NotificationTakesEarlierInformation",
                   "\r\ninfo1\r\n\r\n+RSSI: 1,0\r\n\r\ninfo2\r\n\r\nOK\r\n",
                   {{kLineRssi, {"info1", "+RSSI: 1,0"}}, {kLineOk, {"info2", "OK"}}}},
        StreamCase{"CmeError", "\r\n+CME ERROR: 10\r\n", {{kLineCmeError, {"+CME ERROR: 10"}}}},
        StreamCase{"CmsError", "\r\n+CMS ERROR: 500\r\n", {{kLineCmsError, {"+CMS ERROR: 500"}}}},
        StreamCase{"GarbageBeforeFirstLineEnd", "\x01\xff\x7fjunk\r\nOK\r\n", {{kLineOk, {"OK"}}}},
        StreamCase{"TwoBlocksBackToBack", "\r\nOK\r\n\r\nERROR\r\n",
                   {{kLineOk, {"OK"}}, {kLineError, {"ERROR"}}}}),
    [](const auto& info) { return std::string(info.param.name); });

struct ClassCase {
  const char* line;
  int lineClass;
};

void PrintTo(const ClassCase& c, std::ostream* os) { *os << '"' << c.line << '"'; }


class ClassifyTest : public ::testing::TestWithParam<ClassCase> {};

TEST_P(ClassifyTest, GivesClass) { EXPECT_EQ(ClassifyLine(GetParam().line), GetParam().lineClass); }

INSTANTIATE_TEST_SUITE_P(
    Lines, ClassifyTest,
    ::testing::Values(ClassCase{"OK", kLineOk}, ClassCase{"OK ", kLineInformation},
                      ClassCase{"ERROR", kLineError}, ClassCase{"ERROR: 3", kLineInformation},
                      ClassCase{"RING", kLineRing}, ClassCase{"NO CARRIER", kLineNoCarrier},
                      ClassCase{"NO DIALTONE", kLineNoDialtone},
                      ClassCase{"+CME ERROR: 11", kLineCmeError}, ClassCase{"+CME ERROR:", kLineCmeError},
                      ClassCase{"+CMS ERROR: 330", kLineCmsError},
                      ClassCase{"+CMTI: \"SM\",3", kLineCmti}, ClassCase{"+CMTI:\"SM\",3", kLineInformation},
                      ClassCase{"+CMT: \"1\"", kLineCmt}, ClassCase{"+RSSI: 2", kLineRssi},
                      ClassCase{"+CSMSS:1", kLineCsmss}, ClassCase{"+CPBSS:0", kLineCpbss},
                      ClassCase{"+CLIP: \"1\",129", kLineClip},
                      ClassCase{"Network status: 2", kLineNetworkStatus},
                      ClassCase{"Network Service: 1", kLineNetworkService},
                      ClassCase{"network service: 1", kLineInformation},
                      ClassCase{"Roaming status: 0", kLineRoamingStatus},
                      ClassCase{"HANDSET_NOTIFY: 1", kLineHandsetNotify},
                      ClassCase{"SIM_READY: 1", kLineSimReady},
                      ClassCase{"Current PLMN: \"X\"", kLineCurrentPlmn},
                      ClassCase{"Srv status: 1", kLineSrvStatus}, ClassCase{"+CDS: 6", kLineCds},
                      ClassCase{"", kLineInformation}));

TEST(LineClassTest, EveryClassHasItsSlot) {
  const int expected[kLineClassCount] = {17, 17, 0, 3, 4, 17, 17, 1, 2, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
  for (int cls = 0; cls < kLineClassCount; ++cls) EXPECT_EQ(SlotOfClass(cls), expected[cls]) << cls;
  EXPECT_EQ(SlotOfClass(kLineInformation), -1);
}

std::string Lines(const std::string& prefix, int count) {
  std::string out;
  for (int i = 0; i < count; ++i) out += "\r\n" + prefix + std::to_string(i) + "\r\n";
  return out;
}

TEST(LineAssemblerLimitsTest, OverlongLineKeepsItsFirst799Bytes) {
  CLineAssembler assembler;
  std::string longLine(1000, 'x');
  auto blocks = Feed(assembler, "\r\n" + longLine + "\r\n\r\nOK\r\n");
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].lines, (std::vector<std::string>{std::string(799, 'x'), "OK"}));
  EXPECT_EQ(assembler.TruncatedLines(), 1u);
}

TEST(LineAssemblerLimitsTest, OverlongFinalResultStillEndsTheAnswer) {
  CLineAssembler assembler;
  auto blocks = Feed(assembler, "\r\n+CME ERROR: " + std::string(900, '9') + "\r\n\r\nOK\r\n");
  ASSERT_EQ(blocks.size(), 2u);
  EXPECT_EQ(blocks[0].lineClass, kLineCmeError);
  EXPECT_EQ(blocks[0].lines[0].size(), 799u);
  EXPECT_EQ(blocks[1], (Block{kLineOk, {"OK"}}));
}

TEST(LineAssemblerLimitsTest, MoreThan30LinesKeepFirst29AndTheFinalResult) {
  CLineAssembler assembler;
  auto blocks = Feed(assembler, Lines("+CPBR: ", 40) + "\r\nOK\r\n" + "\r\nOK\r\n");
  ASSERT_EQ(blocks.size(), 2u);
  ASSERT_EQ(blocks[0].lines.size(), 30u);
  EXPECT_EQ(blocks[0].lines[28], "+CPBR: 28");
  EXPECT_EQ(blocks[0].lines[29], "OK");
  EXPECT_EQ(assembler.DroppedLines(), 11u);
  EXPECT_EQ(blocks[1], (Block{kLineOk, {"OK"}}));
}

TEST(LineAssemblerLimitsTest, FullBlockKeepsRoomForTwoLineNotification) {
  CLineAssembler assembler;
  auto blocks = Feed(assembler, Lines("info", 29) + "\r\n" + kCmtHeader + "\r\nbody\r\n");
  ASSERT_EQ(blocks.size(), 1u);
  ASSERT_EQ(blocks[0].lines.size(), 30u);
  EXPECT_EQ(blocks[0].lineClass, kLineCmt);
  EXPECT_EQ(blocks[0].lines[27], "info27");
  EXPECT_EQ(blocks[0].lines[28], kCmtHeader);
  EXPECT_EQ(blocks[0].lines[29], "body");
}

TEST(LineAssemblerLimitsTest, FullBlockStillTakesPrompt) {
  CLineAssembler assembler;
  auto blocks = Feed(assembler, Lines("info", 35) + "\r\n> ");
  ASSERT_EQ(blocks.size(), 1u);
  ASSERT_EQ(blocks[0].lines.size(), 30u);
  EXPECT_EQ(blocks[0].lines[29], "> ");
}

TEST(LineAssemblerLimitsTest, BlockIsZeroedAfterReset) {
  CLineAssembler assembler;
  Feed(assembler, Lines("a long information line ", 5) + "\r\nOK\r\n");
  auto blocks = Feed(assembler, "\r\nOK\r\n");
  ASSERT_EQ(blocks.size(), 1u);
  // Feed resets after the block; the cells must hold nothing but zeros now.
  const char* bytes = assembler.Lines()[0];
  for (std::size_t i = 0; i < kLineCells * kLineCellSize; ++i) ASSERT_EQ(bytes[i], 0) << i;
}

TEST(LineAssemblerLimitsTest, EmbeddedZeroByteLeavesNoResidue) {
  CLineAssembler assembler;
  std::string withZero("\r\nA\0BCDEF\r\n\r\nOK\r\n", 17);
  Feed(assembler, withZero);
  auto blocks = Feed(assembler, "\r\nXY\r\n\r\nOK\r\n");
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].lines[0], "XY");
}

}  // namespace
}  // namespace evdo
