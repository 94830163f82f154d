#include <gtest/gtest.h>

#include <climits>
#include <string>

#include "device/status/DeviceStatus.h"
#include "device/status/StatusAnswers.h"

namespace evdo {
namespace {

TEST(ReadNumber, SkipsBlanksReadsDigitsAndStopsAtTheFirstOtherCharacter) {
  EXPECT_EQ(ReadNumber("  42,7"), 42);
  EXPECT_EQ(ReadNumber("7abc"), 7);
  EXPECT_EQ(ReadNumber(""), 0);
  EXPECT_EQ(ReadNumber("abc"), 0);
  EXPECT_EQ(ReadNumber(" -3"), -3);
  EXPECT_EQ(ReadNumber("99999999999999999999"), INT_MAX);
  EXPECT_EQ(ReadNumber("-99999999999999999999"), INT_MIN);
}

TEST(NumberAfter, NeedsThePrefixAndReadsToTheCommaWhenAsked) {
  EXPECT_EQ(NumberAfter("$CSMSS: 3", kCsmssAnswerPrefix), 3);
  EXPECT_EQ(NumberAfter("+CSMSS:1", kCsmssNotificationPrefix), 1);
  EXPECT_EQ(NumberAfter("$ROAM: x", kRoamingAnswerPrefix), 0);
  EXPECT_FALSE(NumberAfter("$ROAM 1", kRoamingAnswerPrefix).has_value());
  EXPECT_EQ(NumberAfterUpToComma("$NWRAT: 2,1", kNetworkTypeAnswerPrefix), 2);
  EXPECT_EQ(NumberAfterUpToComma("$NWRAT: 12", kNetworkTypeAnswerPrefix), 12);
  EXPECT_FALSE(NumberAfterUpToComma("NWRAT: 2,1", kNetworkTypeAnswerPrefix).has_value());
}

struct ServiceCase {
  const char* line;
  int simState;  // -1: no hit
  int pinLock;   // -1: not decided
};

class ServiceAnswerTest : public ::testing::TestWithParam<ServiceCase> {};

TEST_P(ServiceAnswerTest, TestsTheTextsInOrderAnywhereInTheLine) {
  const ServiceCase& c = GetParam();
  std::optional<ServiceAnswer> a = ReadServiceAnswer(c.line);
  if (c.simState < 0) {
    EXPECT_FALSE(a.has_value());
    return;
  }
  ASSERT_TRUE(a.has_value());
  EXPECT_EQ(a->simState, c.simState);
  EXPECT_EQ(a->pinLock.value_or(-1), c.pinLock);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ServiceAnswerTest,
    ::testing::Values(ServiceCase{"+CAD: 1", 22, 0}, ServiceCase{"+CAD: 0", 14, -1},
                      ServiceCase{"+CAD: 5", 13, -1}, ServiceCase{"+CPIN: SIM PIN", 20, 1},
                      ServiceCase{"+CPIN: SIM PUK", 21, -1},
                      // "SIM PIN" wins over the digit in the same line.
                      ServiceCase{"SIM PIN 1", 20, 1},
                      // An error carrying the code 10 reads as ready.
                      ServiceCase{"+CME ERROR: 10", 22, 0}, ServiceCase{"+CAD: 50", 14, -1},
                      ServiceCase{"OK", -1, -1}, ServiceCase{"", -1, -1}));

struct SignalCase {
  const char* line;
  int level;
};

class SignalAnswerTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(SignalAnswerTest, GivesTheLevel) {
  EXPECT_EQ(SignalLevelFromAnswer(GetParam().line), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, SignalAnswerTest,
    ::testing::Values(SignalCase{"20, 99", 3}, SignalCase{"99, 99", 6}, SignalCase{"31,99", 5},
                      SignalCase{"0,99", 0}, SignalCase{"99", 6},
                      // Malformed: no comma reads the whole line; a field over
                      // four characters, or without a digit, means no signal.
                      SignalCase{"17", 2}, SignalCase{"12345,99", 6}, SignalCase{"OK", 6},
                      SignalCase{"", 6}, SignalCase{",99", 6}, SignalCase{"9999,1", 6}));

class RssiTest : public ::testing::TestWithParam<SignalCase> {};

TEST_P(RssiTest, ReadsTheFieldAfterTheFirstBlank) {
  EXPECT_EQ(SignalLevelFromRssi(GetParam().line), GetParam().level);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, RssiTest,
    ::testing::Values(SignalCase{"+RSSI: 3,0", 3}, SignalCase{"+RSSI: 6", 6}, SignalCase{"+RSSI: 0", 0},
                      SignalCase{"+RSSI: 4", 4}, SignalCase{"+RSSI: 12345,1", 6},
                      SignalCase{"+RSSI: 9", 6}, SignalCase{"+RSSI: ", 6}, SignalCase{"+RSSI:", 6},
                      SignalCase{"+RSSI: -1", 6}));

TEST(ShownNetworkType, KeepsTheTypesWithAPictureAndShowsNoneForOthers) {
  EXPECT_EQ(ShownNetworkType(0), 0);
  EXPECT_EQ(ShownNetworkType(1), 1);
  EXPECT_EQ(ShownNetworkType(2), 2);
  EXPECT_EQ(ShownNetworkType(3), 0);
  EXPECT_EQ(ShownNetworkType(258), 0);
  EXPECT_EQ(ShownNetworkType(-1), 0);
}

TEST(QuotedText, TakesTheTextBetweenTheFirstTwoQuotes) {
  EXPECT_EQ(QuotedTextAfter("-GMI: \"Demo Telecom\"", kOperatorAnswerPrefix), "Demo Telecom");
  EXPECT_EQ(QuotedTextAfter("-GMI: \"\"", kOperatorAnswerPrefix), "");
  EXPECT_EQ(QuotedTextAfter("-GMI: name", kOperatorAnswerPrefix), "");
  EXPECT_EQ(QuotedTextAfter("-GMI: \"open", kOperatorAnswerPrefix), "open");
  EXPECT_EQ(QuotedTextAfter("GMI: \"x\"", kOperatorAnswerPrefix), "");
}

TEST(PlmnName, RemovesOnlyTheEnclosingQuotes) {
  EXPECT_EQ(PlmnName("Current PLMN: \"CTC\""), "CTC");
  EXPECT_EQ(PlmnName("Current PLMN: \"\""), "");
  EXPECT_EQ(PlmnName("Current PLMN: \""), "");
  EXPECT_EQ(PlmnName("Current PLMN: "), "");
  EXPECT_EQ(PlmnName("Current PLMN: CTC"), "CTC");
}

TEST(ServiceCentreNumber, TakesTheQuotedNumber) {
  EXPECT_EQ(ServiceCentreNumber("+CSCA: \"+8613800100500\",145"), "+8613800100500");
  EXPECT_EQ(ServiceCentreNumber("+CSCA: \"\",129"), "");
  EXPECT_EQ(ServiceCentreNumber("+CSCA: 123"), "");
  EXPECT_EQ(ServiceCentreNumber("OK"), "");
}

TEST(DeviceStatus, ResetGivesTheStartValues) {
  CDeviceStatus s;
  s.networkStatus = 4;
  s.serviceStatus = 0;
  s.csmssValue = 9;
  s.SetOperatorText("CTC");
  s.Reset();
  EXPECT_EQ(s.networkStatus.load(), 0);
  EXPECT_EQ(s.roaming.load(), 0);
  EXPECT_EQ(s.serviceStatus.load(), 2);
  EXPECT_EQ(s.csmssValue.load(), 0);
  EXPECT_FALSE(s.HasOperatorText());
  EXPECT_EQ(s.Pin().simState.load(), kSimStateUnset);
}

TEST(DeviceStatus, OperatorTextKeepsAtMost127BytesAndNeverSplitsACharacter) {
  CDeviceStatus s;
  s.SetOperatorText(std::string(200, 'a'));
  EXPECT_EQ(s.OperatorText(), std::string(127, 'a'));
  // 126 single bytes then a two-byte character: the character does not fit.
  s.SetOperatorText(std::string(126, 'a') + "\xd6\xd0");
  EXPECT_EQ(s.OperatorText(), std::string(126, 'a'));
}

TEST(ServiceCentreText, KeepsAtMostFortyCharacters) {
  SetServiceCentreText(std::string(50, '1'));
  EXPECT_EQ(ServiceCentreText(), std::string(40, '1'));
  SetServiceCentreText("+8613800100500");
  EXPECT_EQ(ServiceCentreText(), "+8613800100500");
  SetServiceCentreText("");
}

}  // namespace
}  // namespace evdo
