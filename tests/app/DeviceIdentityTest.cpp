#include <gtest/gtest.h>

#include "app/DeviceIdentity.h"

namespace evdo {
namespace {

TEST(DeviceIdentity, LuhnDigitOfKnownNumbers) {
  EXPECT_EQ(LuhnCheckDigit("7992739871"), 3);       // the textbook example
  EXPECT_EQ(LuhnCheckDigit("49015420323751"), 8);   // a 14-digit identity
  EXPECT_EQ(LuhnCheckDigit("35209900176148"), 1);
  EXPECT_EQ(LuhnCheckDigit("00000000000000"), 0);
  EXPECT_EQ(LuhnCheckDigit("12A4"), -1);
  EXPECT_EQ(LuhnCheckDigit(""), -1);
}

struct IdentityCase {
  const char* given;
  const char* shown;
};

class IdentityCompletion : public ::testing::TestWithParam<IdentityCase> {};

TEST_P(IdentityCompletion, FourteenDigitsGainTheirCheckDigit) {
  EXPECT_EQ(CompleteIdentity(GetParam().given), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(Cases, IdentityCompletion, ::testing::Values(
    IdentityCase{"49015420323751", "490154203237518"},
    // Longer identities are cut to 14 first, so a wrong 15th digit is mended.
    IdentityCase{"490154203237519", "490154203237518"},
    IdentityCase{"4901542032375100", "490154203237518"},
    // Not 14 decimal digits: shown as given.
    IdentityCase{"4901542032375", "4901542032375"},
    IdentityCase{"A1000009296F21", "A1000009296F21"},
    IdentityCase{"0x8099D5AF", "0x8099D5AF"},
    IdentityCase{"", ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(DeviceIdentity, AnswerValueDropsPrefixBlanksAndQuotes) {
  EXPECT_EQ(AnswerValue("+GSN: 49015420323751", "+GSN:"), "49015420323751");
  EXPECT_EQ(AnswerValue("49015420323751", "+GSN:"), "49015420323751");
  EXPECT_EQ(AnswerValue("+GMR: \"V1.0.2 build 7\" ", "+GMR:"), "V1.0.2 build 7");
  EXPECT_EQ(AnswerValue("+GMR:", "+GMR:"), "");
  EXPECT_EQ(AnswerValue("   ", "+GMR:"), "");
}

// The dispatcher keeps a stray LF (or CR) inside a line; the About window
// shows a device text on one line.
TEST(DeviceIdentity, AnswerValueIsOneLine) {
  EXPECT_EQ(AnswerValue("+GMR: V1.0\nbuild 7", "+GMR:"), "V1.0 build 7");
  EXPECT_EQ(AnswerValue("V1.0\r\r\nx\n", "+GMR:"), "V1.0   x");
  EXPECT_EQ(AnswerValue("\n\"80A1B2C3\"\r", "+GSN:"), "80A1B2C3");
}

}  // namespace
}  // namespace evdo
