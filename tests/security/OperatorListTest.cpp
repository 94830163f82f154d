#include <gtest/gtest.h>

#include <string>

#include "security/NetworkSelection.h"
#include "security/OperatorList.h"

namespace evdo {
namespace {

TEST(OperatorList, SeveralOperatorsAndTheTrailingModeListsIgnored) {
  OperatorList list = ParseSearchAnswer(
      "+COPS: (2,\"China Telecom\",\"CTC\",\"46003\",2),(1,\"Other Mobile\",\"OTHER\",\"46001\",0),"
      ",(0,1,2,3,4),(0,1,2)");
  ASSERT_EQ(list.count, 2u);
  EXPECT_EQ(list.skipped, 0u);
  EXPECT_EQ(list.entries[0].operatorState, 2);
  EXPECT_STREQ(list.entries[0].longName, "China Telecom");
  EXPECT_STREQ(list.entries[0].shortName, "CTC");
  EXPECT_EQ(list.entries[0].numericCode, 46003);
  EXPECT_EQ(list.entries[0].accessTechnology, 2);
  EXPECT_STREQ(list.entries[1].shortName, "OTHER");
  EXPECT_EQ(list.entries[1].operatorState, 1);
}

TEST(OperatorList, OddSpacingIsRead) {
  OperatorList list = ParseSearchAnswer(
      "+COPS: ( 2 , \"Demo Telecom\" , \"DEMO\" , \"46003\" , 0 ) ,(3,\"Barred\",\"BAR\",46099,1),,(0,1)");
  ASSERT_EQ(list.count, 2u);
  EXPECT_STREQ(list.entries[0].longName, "Demo Telecom");
  EXPECT_EQ(list.entries[0].accessTechnology, 0);
  EXPECT_EQ(list.entries[1].numericCode, 46099);
  EXPECT_EQ(list.entries[1].operatorState, 3);
}

TEST(OperatorList, NamesLongerThanTheirFieldsAreSkipped) {
  // 16 and 18 characters fit; 17 and 19 do not.
  OperatorList list = ParseSearchAnswer(
      "+COPS: (1,\"ABCDEFGHIJKLMNOP\",\"ABCDEFGHIJKLMNOPQR\",\"1\",0),"
      "(1,\"ABCDEFGHIJKLMNOPQ\",\"S\",\"2\",0),(1,\"L\",\"ABCDEFGHIJKLMNOPQRS\",\"3\",0),,");
  ASSERT_EQ(list.count, 1u);
  EXPECT_EQ(list.skipped, 2u);
  EXPECT_STREQ(list.entries[0].shortName, "ABCDEFGHIJKLMNOPQR");
}

TEST(OperatorList, BrokenEntriesAreSkippedTheRestKept) {
  OperatorList list = ParseSearchAnswer(
      "+COPS: (9,\"Bad state\",\"B\",\"1\",0),(1,\"No quotes\",NQ,\"2\",0),(1,\"Open quote,\"OQ\",\"3\",0),"
      "(1,\"Good\",\"GOOD\",\"46000\",0),(x),(),(1,\"Empty short\",\"\",\"4\",0),,(0,1)");
  ASSERT_EQ(list.count, 1u);
  EXPECT_STREQ(list.entries[0].shortName, "GOOD");
  EXPECT_GE(list.skipped, 5u);
}

TEST(OperatorList, QuotesAndControlCharactersNeverReachAName) {
  // A double-comma inside a name does not end the list; a control character
  // inside a quoted name is dropped.
  OperatorList list = ParseSearchAnswer(
      "+COPS: (1,\"A,,B\",\"AB\",\"1\",0),(1,\"Ctl\",\"C\x01X\",\"2\",0),,(0,1)");
  ASSERT_EQ(list.count, 2u);
  EXPECT_STREQ(list.entries[0].longName, "A,,B");
  EXPECT_STREQ(list.entries[1].shortName, "CX");
}

TEST(OperatorList, WithoutBracketOrDoubleCommaThereAreNoRows) {
  EXPECT_EQ(ParseSearchAnswer("+COPS: ").count, 0u);
  EXPECT_EQ(ParseSearchAnswer("+COPS: (1,\"A\",\"B\",\"1\",0)").count, 0u);
  EXPECT_EQ(ParseSearchAnswer("OK").count, 0u);
  EXPECT_TRUE(IsSearchError("+cme error: 30"));
  EXPECT_FALSE(IsSearchError("+COPS: (1)"));
}

TEST(OperatorList, NoMoreEntriesThanTheTableHolds) {
  std::string line = "+COPS: ";
  for (int i = 0; i < 40; ++i) line += "(1,\"Op\",\"O" + std::to_string(i) + "\",\"1\",0),";
  line += ",(0)";
  OperatorList list = ParseSearchAnswer(line);
  EXPECT_EQ(list.count, kMaxOperators);
  EXPECT_EQ(list.skipped, 40u - kMaxOperators);
}

TEST(OperatorList, ManualRegistrationTakesOnlySafeShortNames) {
  EXPECT_EQ(ManualRegistrationCommand("CTC"), "AT+COPS=1,1,\"CTC\"\r");
  EXPECT_EQ(ManualRegistrationCommand("ABCDEFGHIJKLMNOPQR"), "AT+COPS=1,1,\"ABCDEFGHIJKLMNOPQR\"\r");
  EXPECT_EQ(ManualRegistrationCommand("ABCDEFGHIJKLMNOPQRS"), "");
  EXPECT_EQ(ManualRegistrationCommand(""), "");
  EXPECT_EQ(ManualRegistrationCommand("X\"\rAT+CFUN=4\r"), "");
  EXPECT_EQ(ManualRegistrationCommand("A\rB"), "");
  EXPECT_EQ(ManualRegistrationCommand("A\x7F"), "");
  // A name in the system code page (two bytes a character) is fine.
  EXPECT_EQ(ManualRegistrationCommand("\xD6\xD0\xB9\xFA"), "AT+COPS=1,1,\"\xD6\xD0\xB9\xFA\"\r");
}

TEST(OperatorList, PreferenceCommandOnlyForItsFourChoices) {
  EXPECT_EQ(PreferenceCommand(0), "AT+PHPREF=1\r");
  EXPECT_EQ(PreferenceCommand(3), "AT+PHPREF=4\r");
  EXPECT_EQ(PreferenceCommand(4), "");
  EXPECT_EQ(PreferenceCommand(-1), "");
}

TEST(OperatorList, ProgressShowsTheLastSixCharactersOneByOne) {
  // "Searching for networks......": 28 characters.
  EXPECT_EQ(ProgressVisibleChars(28, 0), 22u);
  EXPECT_EQ(ProgressVisibleChars(28, 6), 28u);
  EXPECT_EQ(ProgressVisibleChars(4, 3), 4u);
}

}  // namespace
}  // namespace evdo
