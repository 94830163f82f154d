// The rules around the message commands: numbers that may reach a command
// line, the recipients field, the text counters, the parameters lines and
// the message notifications.
#include <gtest/gtest.h>

#include <string>

#include "core/text/CodePage.h"
#include "sms/SmsCommands.h"

namespace evdo::sms {
namespace {

TEST(SmsCommands, ParametersLinesFollowLengthAlphabetReportAndValidity) {
  EXPECT_EQ(SendParametersLine(false, true, true, 167), "AT$QCSMP=49,167,0,0\r");
  EXPECT_EQ(SendParametersLine(false, false, false, 167), "AT$QCSMP=17,167,0,8\r");
  EXPECT_EQ(SendParametersLine(true, true, false, 11), "AT$QCSMP=81,11,0,0\r");
  EXPECT_EQ(SendParametersLine(true, false, true, 244), "AT$QCSMP=113,244,0,8\r");
  EXPECT_EQ(WriteParametersLine(StoSent, true, true), "AT$QCSMP=113,167,0,0\r");
  EXPECT_EQ(WriteParametersLine(StoUnsent, false, false), "AT$QCSMP=17,167,0,8\r");
  EXPECT_EQ(WriteParametersLine(RecRead, false, true), "AT$QCSMP=0,,0,0\r");
  EXPECT_EQ(WriteParametersLine(RecUnread, true, false), "AT$QCSMP=68,,0,8\r");
}

TEST(SmsCommands, OnlyDialCharactersReachACommandLine) {
  EXPECT_TRUE(IsSendableNumber("+8613800138000"));
  EXPECT_TRUE(IsSendableNumber("*123#"));
  EXPECT_FALSE(IsSendableNumber(""));
  EXPECT_FALSE(IsSendableNumber("123\"\r\nAT+CFUN=0"));
  EXPECT_FALSE(IsSendableNumber("12 34"));
  EXPECT_FALSE(IsSendableNumber(std::string("12\b3")));
  EXPECT_FALSE(IsSendableNumber(std::string(41, '1')));
  EXPECT_TRUE(IsSendableNumber(std::string(40, '1')));
  EXPECT_STREQ(NumberType("+8613800138000"), "145");
  EXPECT_STREQ(NumberType("13800138000"), "129");
}

TEST(SmsCommands, RecipientsFieldTakesTenNumbersAndStopsAtATooLongOne) {
  Recipients r = ParseRecipients(";;111;;222;");
  ASSERT_EQ(r.numbers.size(), 2u);
  EXPECT_EQ(r.numbers[1], "222");
  std::string eleven;
  for (int i = 0; i < 11; ++i) eleven += std::to_string(100 + i) + ";";
  r = ParseRecipients(eleven);
  EXPECT_EQ(r.numbers.size(), 10u);
  EXPECT_TRUE(r.tooMany);
  r = ParseRecipients("111;" + std::string(41, '2') + ";333");
  EXPECT_EQ(r.numbers.size(), 1u);
  EXPECT_TRUE(r.tooLong);
  EXPECT_EQ(CheckRecipientsField("111;+222"), kFieldAccepted);
  EXPECT_EQ(CheckRecipientsField("111;2a2"), kRefuseBeep);
  EXPECT_EQ(CheckRecipientsField("111#"), kRefuseBeep);
  EXPECT_EQ(CheckRecipientsField(std::string(41, '1')), kRefuseBeep);
  EXPECT_EQ(CheckRecipientsField(eleven), kRefuseTooMany);
}

TEST(SmsCommands, CountersShowTotalPartAndWhatIsLeft) {
  TextCounters c = CountText(std::string(150, 'a'));
  EXPECT_EQ(c.count, "(150 / 765)");
  EXPECT_EQ(c.left, "(10)");
  EXPECT_EQ(c.part, "");
  c = CountText(std::string(161, 'a'));
  EXPECT_EQ(c.left, "(145)");
  EXPECT_EQ(c.part, "2/5");
  c = CountText(std::string(306, 'a'));
  EXPECT_EQ(c.left, "(0)");
  EXPECT_EQ(c.part, "2/5");
  // A text outside the GSM alphabet: 335 in all, 70 in one message.
  c = CountText(FromUtf8("\xe4\xbd\xa0\xe5\xa5\xbd"));
  EXPECT_EQ(c.count, "(2 / 335)");
  EXPECT_EQ(c.left, "(68)");
  EXPECT_TRUE(IsTextWithinLimit(std::string(765, 'a')));
  EXPECT_FALSE(IsTextWithinLimit(std::string(766, 'a')));
}

TEST(SmsCommands, StoredNoticeKeepsTheNameAsReceived) {
  StoredNotice n;
  ASSERT_TRUE(ParseStoredNotice("+CMTI: \"SM\",-1", n));
  EXPECT_EQ(n.kind, StoredNotice::Sm);
  EXPECT_EQ(n.index, -1);
  ASSERT_TRUE(ParseStoredNotice("+CMTI: \"ME\",12\r", n));
  EXPECT_EQ(n.name, "\"ME\"");
  EXPECT_EQ(n.index, 12);
  ASSERT_TRUE(ParseStoredNotice("+CMTI: \"ALL\",3", n));
  EXPECT_EQ(n.kind, StoredNotice::All);
  EXPECT_FALSE(ParseStoredNotice("+CMTI: \"XX\",3", n));
  ASSERT_TRUE(ParseStoredNotice("+CMTI: \"MEMORY\",3", n));  // the name is cut to 4 characters
  EXPECT_EQ(n.name, "\"MEM");
  EXPECT_FALSE(ParseStoredNotice("+CMTI: \"ME\",", n));
  EXPECT_FALSE(ParseStoredNotice("+CMTI: \"M;\",1", n));
}

TEST(SmsCommands, DeliveryReportGivesNumberAndStatus) {
  DeliveryReport r;
  ASSERT_TRUE(ParseDeliveryReport("+CDS: 6,4,\"13800138000\",129,\"09/08/17,14:05:59+32\",\"09/08/17,14:06:01+32\",0", r));
  EXPECT_EQ(r.number, "13800138000");
  EXPECT_TRUE(r.Delivered());
  ASSERT_TRUE(ParseDeliveryReport("+CDS: 6,4,\"" + std::string(50, '1') + "\",129,70", r));
  EXPECT_EQ(r.number.size(), 39u);
  EXPECT_EQ(r.status, "70");
  EXPECT_FALSE(r.Delivered());
  EXPECT_FALSE(ParseDeliveryReport("+CDS: 6,4", r));
  EXPECT_FALSE(ParseDeliveryReport("+CDS: \"123", r));
}

}  // namespace
}  // namespace evdo::sms
