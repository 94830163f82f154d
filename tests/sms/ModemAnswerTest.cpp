#include "sms/ModemAnswer.h"

#include <gtest/gtest.h>

#include "sms/SmsCodec.h"
#include "tests/sms/SmsTestSupport.h"

namespace evdo::sms {
namespace {

struct StampCase {
  const char* stamp;
  bool ok;
  int year, month, day, hour, minute, second;
};

class ModemTime : public testing::TestWithParam<StampCase> {};

TEST_P(ModemTime, Parses) {
  const StampCase& c = GetParam();
  DateTime t = DateTime::FromLocal(2001, 1, 1);
  const DateTime before = t;
  ASSERT_EQ(ParseModemTime(c.stamp, t), c.ok);
  if (c.ok)
    EXPECT_EQ(t, DateTime::FromLocal(c.year, c.month, c.day, c.hour, c.minute, c.second));
  else
    EXPECT_EQ(t, before);
}

INSTANTIATE_TEST_SUITE_P(
    Stamps, ModemTime,
    testing::Values(StampCase{"09/08/17,14:05:59+32", true, 2009, 8, 17, 14, 5, 59},
                    StampCase{"09/08/17,14:05:59", true, 2009, 8, 17, 14, 5, 59},
                    StampCase{"00/01/01,00:00:00-04", true, 2000, 1, 1, 0, 0, 0},
                    StampCase{"99/12/31,23:59:59", true, 2099, 12, 31, 23, 59, 59},
                    StampCase{"09/13/01,00:00:00", false}, StampCase{"09/08/17", false},
                    StampCase{"09/08/17,", false}, StampCase{"09/08+17,10:00:00", false},
                    StampCase{"+09/08/17,10:00:00", false}, StampCase{"09/00/17,10:00:00", false},
                    StampCase{"09/08/32,10:00:00", false}, StampCase{"09/08/00,10:00:00", false},
                    StampCase{"09/08/17,24:00:00", false}, StampCase{"09/08/17,10:60:00", false},
                    StampCase{"09/08/17,10:00:60", false}, StampCase{"09/08,10:00:00", false},
                    StampCase{"09/08/17/1,10:00:00", false}, StampCase{"09/08/17,10:00", false},
                    StampCase{"09/08/17,10:00:00:00", false}, StampCase{"09//17,10:00:00", false},
                    StampCase{"09/08/17,ab:cd:ef", false}, StampCase{"", false}, StampCase{",", false},
                    // the comma beyond the 30 characters that are read
                    StampCase{"0000000000000000000000009/08/17,10:00:00", false}));

TEST(ModemTime, ImpossibleDateIsAnInvalidTimeButSucceeds) {
  DateTime t;
  ASSERT_TRUE(ParseModemTime("09/02/30,10:00:00", t));
  EXPECT_EQ(t.GetStatus(), DateTime::Invalid);
  ASSERT_TRUE(ParseModemTime("99999999999/08/17,10:00:00", t));  // a year beyond 9999
  EXPECT_FALSE(t.IsValid());
}

TEST(PartInfo, ParsesReferencePartAndCount) {
  struct Case {
    const char* text;
    bool ok;
    unsigned reference, seq, total;
  } cases[] = {{"12/2/3", true, 12, 2, 3},     {"65535/5/5", true, 65535, 5, 5}, {"/1/1", true, 0, 1, 1},
               {"7/1/2/9", true, 7, 1, 2},     {"12/3/2", false},                {"12/0/3", false},
               {"12/1/0", false},              {"12/1", false},                  {"12//3", false},
               {"12/1/", false},               {"", false},                      {"65536/1/1", false},
               {"1/256/257", false},           {"1/x/3", false},                 {"99999999999999/1/2", false}};
  for (const auto& c : cases) {
    std::uint16_t reference = 9;
    std::uint8_t seq = 9, total = 9;
    EXPECT_EQ(ParsePartInfo(c.text, reference, seq, total), c.ok) << c.text;
    EXPECT_EQ(reference, c.reference) << c.text;
    EXPECT_EQ(seq, c.seq) << c.text;
    EXPECT_EQ(total, c.total) << c.text;
  }
}

using Lines = std::vector<std::string>;

TEST(QcmgrAnswer, ReceivedMessageWithAllFields) {
  const Lines lines = {"$QCMGR: \"REC READ\",\"+8613800138000\",\"09/08/17,14:05:59+32\",\"+8613800100500\",\"12/2/3\"",
                       "00480069", "OK"};
  SmsRecord r;
  ASSERT_TRUE(ParseQcmgrAnswer(lines, r, ReceivedOnly));
  EXPECT_EQ(r.status, RecRead);
  EXPECT_EQ(r.Number(), "+8613800138000");
  EXPECT_EQ(r.Time(), DateTime::FromLocal(2009, 8, 17, 14, 5, 59));
  EXPECT_EQ(r.ServiceCentre(), "+8613800100500");
  EXPECT_EQ(r.flags, kSmsFlagPartInfo);
  EXPECT_EQ(r.reference, 12);
  EXPECT_EQ(r.partIndex, 2);
  EXPECT_EQ(r.partCount, 3);
  EXPECT_EQ(r.Text(), "Hi");
}

TEST(QcmgrAnswer, StoredMessageGetsTheCurrentTimeAndShiftedFields) {
  const Lines lines = {"$QCMGR: \"STO SENT\",\"10086\",\"+8613800100500\",\"3/1/2\"", "0041", "OK"};
  SmsRecord r;
  const DateTime before = DateTime::Now();
  ASSERT_TRUE(ParseQcmgrAnswer(lines, r, StoredOnly));
  const DateTime after = DateTime::Now();
  EXPECT_EQ(r.status, StoSent);
  EXPECT_TRUE(r.Time() >= before && r.Time() <= after);
  EXPECT_EQ(r.ServiceCentre(), "+8613800100500");
  EXPECT_EQ(r.partIndex, 1);
  EXPECT_EQ(r.Text(), "A");
}

TEST(QcmgrAnswer, FilterAndStatus) {
  struct Case {
    const char* status;
    int filter;
    bool ok;
  } cases[] = {{"REC UNREAD", ReceivedOnly, true}, {"STO UNSENT", ReceivedOnly, false},
               {"STO UNSENT", StoredOnly, true},   {"REC READ", StoredOnly, false},
               {"REC READ", AnyStatus, true},      {"STO SENT", AnyStatus, true},
               {"REC  READ", AnyStatus, false},    {"REC READ", 7, false}};
  for (const auto& c : cases) {
    const Lines lines = {std::string("$QCMGR: \"") + c.status + "\",\"1\"", "OK"};
    SmsRecord r;
    EXPECT_EQ(ParseQcmgrAnswer(lines, r, c.filter), c.ok) << c.status << " " << c.filter;
  }
}

TEST(QcmgrAnswer, TwoLinesGiveAnEmptyTextAndBadFieldsFallBack) {
  const Lines lines = {"$QCMGR: \"REC UNREAD\",\"10086\",\"not a time\",\"\",\"1/0/2\"", "OK"};
  SmsRecord r;
  const DateTime before = DateTime::Now();
  ASSERT_TRUE(ParseQcmgrAnswer(lines, r, ReceivedOnly));
  EXPECT_EQ(r.Text(), "");
  EXPECT_TRUE(r.Time() >= before);
  EXPECT_EQ(r.ServiceCentre(), "");
  EXPECT_EQ(r.flags, 0);
  EXPECT_EQ(r.partIndex, 0);
}

TEST(QcmgrAnswer, MalformedHeaders) {
  struct Case {
    const char* header;
    bool ok;
    const char* number;
  } cases[] = {
      {"+CMGR: \"REC READ\",\"1\"", false, ""},
      {"$QCMGR: ", false, ""},
      {"$QCMGR: REC READ,1", false, ""},                        // fields without quotes are not taken
      {"$QCMGR: \"REC READ,\"1\"", false, ""},                  // unbalanced: the comma is quoted
      {"$QCMGR: \"REC READ\",\"12,34\"", true, "12,34"},        // a quoted comma stays
      {"$QCMGR: \"REC READ\",\"123", true, "123"},              // no closing quote
      {"$QCMGR: \"REC READ\",\"1\",\"\",\"\",\"\",\"6\",\"7\"", true, "1"},  // more than five
      {"$QCMGR: 5,\"REC READ\",x\"9\"", true, "9"},
      {"$QCMGR: \"REC READ\"\"2\"", false, ""},                 // no comma: the fields overlap
  };
  for (const auto& c : cases) {
    SmsRecord r;
    EXPECT_EQ(ParseQcmgrAnswer(Lines{c.header, "OK"}, r, AnyStatus), c.ok) << c.header;
    EXPECT_EQ(r.Number(), c.number) << c.header;
  }
  SmsRecord r;
  EXPECT_FALSE(ParseQcmgrAnswer(Lines{}, r, AnyStatus));
}

TEST(QcmgrAnswer, OverlongFieldsAndTextAreBounded) {
  const std::string number(60, '5');
  const std::string centre(70, '6');
  std::string hex;
  for (int i = 0; i < 200; ++i) hex += "4E2D";  // 200 double-byte characters: 400 bytes
  const Lines lines = {"$QCMGR: \"REC READ\",\"" + number + "\",\"" + std::string(100, '9') + "\",\"" + centre +
                           "\",\"" + std::string(500, '1') + "/1/2\"",
                       hex, "OK"};
  SmsRecord r;
  ASSERT_TRUE(ParseQcmgrAnswer(lines, r, ReceivedOnly));
  EXPECT_EQ(r.Number(), std::string(40, '5'));
  EXPECT_EQ(r.ServiceCentre(), std::string(70, '6').substr(0, 40));
  EXPECT_EQ(r.Text().size(), 320u);
  EXPECT_EQ(CountChars(r.Text()), 160);
  EXPECT_EQ(r.flags, 0);  // the reference does not fit 16 bits
}

TEST(QcmgrAnswer, Utf8KeepsOneHundredSixtyCharacters) {
  test::CodePageScope utf8(CodePage::Utf8);
  std::string hex;
  for (int i = 0; i < 160; ++i) hex += "20AC";  // euro signs, three bytes each
  SmsRecord r;
  ASSERT_TRUE(ParseQcmgrAnswer(Lines{"$QCMGR: \"REC READ\",\"1\"", hex, "OK"}, r, ReceivedOnly));
  EXPECT_EQ(CountChars(r.Text()), 160);
}

}  // namespace
}  // namespace evdo::sms
