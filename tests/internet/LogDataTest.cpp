#include "internet/LogData.h"

#include <gtest/gtest.h>

#include "internet/LogTexts.h"
#include "tests/calls/DataFileTesting.h"

namespace evdo {
namespace {

using namespace evdo::test;

// LogData.dat from the layout: count, then status, days, seconds, received, sent.
void PutLogRecord(Bytes& b, std::int32_t status, double days, std::int32_t seconds, std::uint32_t received,
                  std::uint32_t sent) {
  PutLe(b, static_cast<std::uint32_t>(status), 4);
  PutDouble(b, days);
  PutLe(b, static_cast<std::uint32_t>(seconds), 4);
  PutLe(b, received, 4);
  PutLe(b, sent, 4);
}

Bytes Count(std::int32_t n) {
  Bytes b;
  PutLe(b, static_cast<std::uint32_t>(n), 4);
  return b;
}

LogRecord Connection(const DateTime& start, std::int64_t seconds, std::uint32_t received, std::uint32_t sent) {
  LogRecord r;
  r.start = start;
  r.duration = seconds;
  r.received = received;
  r.sent = sent;
  return r;
}

class LogDataTest : public ::testing::Test {
protected:
  void SetUp() override {
    log->LoadOrCreate();
    months->LoadOrCreate();
  }
  TempDir dir;
  std::string logPath = dir.File("LogData.dat");
  std::string monthPath = dir.File("MonthLogData.dat");
  std::unique_ptr<CLogData> log = std::make_unique<CLogData>(logPath);
  std::unique_ptr<CMonthLogData> months = std::make_unique<CMonthLogData>(monthPath);
};

TEST_F(LogDataTest, LoadsAHandBuiltFileAndWritesItBackUnchanged) {
  Bytes file = Count(2);
  PutLogRecord(file, 0, 45292.5, 3723, 1048576, 2048);
  PutLogRecord(file, 2, 0.0, -5, 0xFFFFFFFF, 0);
  WriteBytes(logPath, file);
  CLogData loaded(logPath);
  ASSERT_EQ(loaded.Load().status, LoadStatus::Loaded);
  ASSERT_EQ(loaded.Count(), 2);
  EXPECT_EQ(loaded.At(0).start, DateTime(45292.5, 0));
  EXPECT_EQ(loaded.At(0).duration, 3723);
  EXPECT_EQ(loaded.At(0).received, 1048576u);
  EXPECT_EQ(loaded.At(0).sent, 2048u);
  EXPECT_EQ(loaded.At(1).start.GetStatus(), DateTime::Null);
  EXPECT_EQ(loaded.At(1).duration, -5);  // sign-extended
  EXPECT_EQ(loaded.At(1).received, 0xFFFFFFFFu);
  Bytes out;
  ASSERT_TRUE(loaded.Serialize(out));
  EXPECT_EQ(out, file);
  EXPECT_FALSE(loaded.IsDirty());
}

TEST_F(LogDataTest, LoadsAHandBuiltMonthFile) {
  Bytes file = Count(1);
  PutLe(file, 0, 4);
  PutDouble(file, 45292.25);
  PutLe(file, 100, 4);    // received
  PutLe(file, 200, 4);    // sent
  PutLe(file, 7200, 4);   // seconds
  PutLe(file, 300, 4);    // total
  ASSERT_EQ(file.size(), 4u + 28);
  WriteBytes(monthPath, file);
  CMonthLogData loaded(monthPath);
  ASSERT_EQ(loaded.Load().status, LoadStatus::Loaded);
  EXPECT_EQ(loaded.At(0).received, 100u);
  EXPECT_EQ(loaded.At(0).sent, 200u);
  EXPECT_EQ(loaded.At(0).duration, 7200);
  EXPECT_EQ(loaded.At(0).total, 300u);
  Bytes out;
  ASSERT_TRUE(loaded.Serialize(out));
  EXPECT_EQ(out, file);
}

TEST_F(LogDataTest, MissingFilesAreCreatedHoldingCountZero) {
  EXPECT_EQ(ReadBytes(logPath), Count(0));
  EXPECT_EQ(ReadBytes(monthPath), Count(0));
}

TEST_F(LogDataTest, The1001stConnectionDropsTheOldestAndTheMonthKeepsItsTotals) {
  const DateTime start = DateTime::FromLocal(2024, 3, 1, 8);
  Bytes file = Count(1000);
  for (int i = 0; i < 1000; ++i) PutLogRecord(file, 0, start.AddSeconds(i * 60).Value(), 30, 1000, 10);
  WriteBytes(logPath, file);
  Bytes month = Count(1);
  PutLe(month, 0, 4);
  PutDouble(month, start.Value());
  for (std::uint32_t v : {1000000u, 10000u, 30000u, 1010000u}) PutLe(month, v, 4);
  WriteBytes(monthPath, month);
  ASSERT_EQ(log->Load().status, LoadStatus::Loaded);
  ASSERT_EQ(months->Load().status, LoadStatus::Loaded);

  ASSERT_TRUE(log->AddConnection(Connection(start.AddSeconds(1000 * 60), 30, 1000, 10), *months));
  EXPECT_EQ(log->Count(), 1000);
  EXPECT_EQ(log->At(0).start, start.AddSeconds(60));
  EXPECT_EQ(log->At(999).start, start.AddSeconds(1000 * 60));
  const Bytes saved = ReadBytes(logPath);
  ASSERT_EQ(saved.size(), 4u + 1000 * 24);
  EXPECT_EQ(Bytes(saved.begin() + 4, saved.end() - 24), Bytes(file.begin() + 4 + 24, file.end()));
  ASSERT_EQ(months->Count(), 1);
  EXPECT_EQ(months->At(0).received, 1001000u);
  EXPECT_EQ(months->At(0).sent, 10010u);
  EXPECT_EQ(months->At(0).total, 1011010u);
  EXPECT_EQ(months->At(0).duration, 30030);
}

TEST_F(LogDataTest, MonthsFollowTheLastRecordOnly) {
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 5), 10, 1, 2), *months));
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 20), 20, 3, 4), *months));
  ASSERT_EQ(months->Count(), 1);
  EXPECT_EQ(months->At(0).total, 10u);
  EXPECT_EQ(months->At(0).month, DateTime::FromLocal(2024, 1, 5));
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2025, 1, 5), 1, 0, 0), *months));
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 25), 1, 0, 0), *months));
  EXPECT_EQ(months->Count(), 3);
  CMonthLogData reread(monthPath);
  ASSERT_EQ(reread.Load().status, LoadStatus::Loaded);
  EXPECT_EQ(reread.Count(), 3);
  EXPECT_EQ(reread.At(0).duration, 30);
}

TEST_F(LogDataTest, ByteCountsOfAMonthStopAtTheLargest32BitValue) {
  const DateTime start = DateTime::FromLocal(2024, 6, 1);
  ASSERT_TRUE(log->AddConnection(Connection(start, 1, 0xF0000000u, 0x10000000u), *months));
  ASSERT_TRUE(log->AddConnection(Connection(start, 1, 0x20000000u, 1), *months));
  EXPECT_EQ(months->At(0).received, 0xFFFFFFFFu);
  EXPECT_EQ(months->At(0).total, 0xFFFFFFFFu);
  EXPECT_EQ(months->At(0).sent, 0x10000001u);
}

TEST_F(LogDataTest, ADurationBeyond32BitSecondsIsRefusedAndNothingChanges) {
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 5), 10, 1, 2), *months));
  const Bytes logBefore = ReadBytes(logPath), monthBefore = ReadBytes(monthPath);
  ChangeResult r = log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 6), 2147483648LL, 1, 2), *months);
  EXPECT_FALSE(r);
  EXPECT_NE(r.Error().find("2147483648"), std::string::npos) << r.Error();
  EXPECT_EQ(log->Count(), 1);
  EXPECT_EQ(months->At(0).duration, 10);
  EXPECT_EQ(ReadBytes(logPath), logBefore);
  EXPECT_EQ(ReadBytes(monthPath), monthBefore);
  // A month that would pass 32-bit seconds is refused too; the log keeps the connection.
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 7), 2147483600LL, 0, 0), *months));
  EXPECT_EQ(months->At(0).duration, 2147483610LL);
  r = log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 8), 100, 0, 0), *months);
  EXPECT_FALSE(r);
  EXPECT_EQ(log->Count(), 3);
  EXPECT_EQ(months->At(0).duration, 2147483610LL);
  EXPECT_FALSE(months->IsDirty());
}

TEST_F(LogDataTest, SaveWritesOnlyWhenSomethingChanged) {
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 5), 10, 1, 2), *months));
  EXPECT_FALSE(log->IsDirty());
  WriteBytes(logPath, Bytes{1, 2, 3});
  ASSERT_TRUE(log->Save());
  EXPECT_EQ(ReadBytes(logPath), (Bytes{1, 2, 3}));
}

TEST_F(LogDataTest, AFailedSaveKeepsTheChangeForTheNextSave) {
  {
    FailingSaves failing;
    ChangeResult r = log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 5), 10, 1, 2), *months);
    EXPECT_FALSE(r);
    EXPECT_NE(r.Error().find("LogData.dat"), std::string::npos);
    EXPECT_NE(r.Error().find("MonthLogData.dat"), std::string::npos);
  }
  EXPECT_EQ(ReadBytes(logPath), Count(0));
  EXPECT_TRUE(log->IsDirty());
  ASSERT_TRUE(log->Save());
  ASSERT_TRUE(months->Save());
  EXPECT_EQ(ReadBytes(logPath).size(), 28u);
  EXPECT_EQ(ReadBytes(monthPath).size(), 32u);
}

TEST_F(LogDataTest, DeletingStopsAtAConnectionThatIsNotFound) {
  const DateTime t1 = DateTime::FromLocal(2024, 1, 5), t2 = DateTime::FromLocal(2024, 1, 6),
                 t3 = DateTime::FromLocal(2024, 1, 7);
  for (const DateTime& t : {t1, t2, t3}) ASSERT_TRUE(log->AddConnection(Connection(t, 1, 1, 1), *months));
  EXPECT_EQ(log->FindConnection(t2), 1);
  EXPECT_EQ(log->FindConnection(t2.AddSeconds(1)), -1);
  LogDeleteResult r = DeleteConnections(*log, {t3, DateTime::FromLocal(2020, 1, 1), t1});
  EXPECT_EQ(r.message, kMsgNoLogSelection);
  EXPECT_EQ(r.deleted, 1);
  ASSERT_EQ(log->Count(), 2);
  EXPECT_EQ(log->At(1).start, t2);
  EXPECT_EQ(ReadBytes(logPath).size(), 4u + 2 * 24);
  EXPECT_EQ(months->Count(), 1);  // deleting does not touch the months
  EXPECT_FALSE(log->DeleteConnection(2));
}


class BadLogFileTest : public LogDataTest, public ::testing::WithParamInterface<BadFile> {};

Bytes Records(std::int32_t count, int records, int extra = 0) {
  Bytes b = Count(count);
  for (int i = 0; i < records; ++i) PutLogRecord(b, 0, 45000 + i, 60, 1, 1);
  b.insert(b.end(), extra, 0);
  return b;
}

TEST_P(BadLogFileTest, IsSetAsideAndTheLogStartsEmpty) {
  const Bytes bad = GetParam().content;
  WriteBytes(logPath, bad);
  CLogData loaded(logPath);
  ExpectSetAside(loaded.LoadOrCreate(), logPath, bad);
  EXPECT_EQ(loaded.Count(), 0);
  EXPECT_EQ(ReadBytes(logPath), Count(0));
}

INSTANTIATE_TEST_SUITE_P(Files, BadLogFileTest,
                         ::testing::Values(BadFile{"count1001", Records(1001, 1001)},
                                           BadFile{"negative", Records(-1, 0)},
                                           BadFile{"short", Records(2, 1)},
                                           BadFile{"long", Records(1, 1, 3)},
                                           BadFile{"countCut", Bytes{0, 0}},
                                           BadFile{"empty", Bytes{}}),
                         BadFileName);

TEST_F(LogDataTest, BadMonthFileIsSetAsideToo) {
  Bytes bad = Count(1);
  bad.insert(bad.end(), 24, 0);  // a log record's size, not a month's
  WriteBytes(monthPath, bad);
  CMonthLogData loaded(monthPath);
  ExpectSetAside(loaded.LoadOrCreate(), monthPath, bad);
  EXPECT_EQ(ReadBytes(monthPath), Count(0));
}

TEST(LogTextsTest, ConnectionAndMonthRows) {
  LogRecord r = Connection(DateTime::FromLocal(2024, 8, 5, 9, 7, 3), 1 * 86400 + 2 * 3600 + 3 * 60 + 4, 1536, 3000000000u);
  LogRowTexts row = LogRowTextsOf(r);
  EXPECT_EQ(row.start, "2024-08-05 09:07:03");
  EXPECT_EQ(row.duration, "1:02:03:04");
  EXPECT_EQ(row.received, "1.50");
  EXPECT_EQ(row.sent, "2929687.50");
  auto fields = LogExportFields(r);
  EXPECT_EQ(fields[1], "1:02:03:04");
  EXPECT_EQ(fields[2], "1536");
  EXPECT_EQ(fields[3], "3000000000");

  MonthRecord m;
  m.month = DateTime::FromLocal(2024, 8, 5);
  m.received = 2048;
  m.sent = 512;
  m.duration = 59;
  m.total = 1048575;
  MonthRowTexts mt = MonthRowTextsOf(m);
  EXPECT_EQ(mt.month, "2024-8");
  EXPECT_EQ(mt.received, "2.00 Kbytes");
  EXPECT_EQ(mt.sent, "0.50 Kbytes");
  EXPECT_EQ(mt.duration, "0:00:00:59");
  EXPECT_EQ(mt.total, "1024.00 Kbytes");
  m.total = 1048576 * 3 / 2;
  EXPECT_EQ(MonthRowTextsOf(m).total, "1.50 Mbytes");
}

TEST(LogTextsTest, TotalsBelowTheConnectionList) {
  TempDir dir;
  CMonthLogData months(dir.File("MonthLogData.dat"));
  auto log = std::make_unique<CLogData>(dir.File("LogData.dat"));
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 1), 1, 4000000000u, 1024), months));
  ASSERT_TRUE(log->AddConnection(Connection(DateTime::FromLocal(2024, 1, 2), 1, 4000000000u, 512), months));
  LogTotalTexts t = LogTotalTextsOf(*log);
  EXPECT_EQ(t.received, "7812500.00");  // beyond 32 bits, not wrapped
  EXPECT_EQ(t.sent, "1.50");
}

TEST(LogTextsTest, FiguresReadBackFromTheConnectionWindow) {
  struct Case {
    const char* text;
    std::int32_t minutes;
  };
  const Case cases[] = {{"01:02:03", 62},     {"01:02:03: 4", 1563}, {"00:00:59: 9", 59},
                        {"", 0},              {"1:02:03", 0},        {"100:02:03:04", 0},
                        {"ab:02:03", 2},      {"99:59:59:59", 99 * 1440 + 59 * 60 + 59}};
  for (const Case& c : cases) EXPECT_EQ(MinutesFromDurationText(c.text), c.minutes) << c.text;
  EXPECT_EQ(KilobytesFromText("1234.99"), 1234);
  EXPECT_EQ(KilobytesFromText(""), 0);
  EXPECT_EQ(DurationFromMilliseconds(93784999u), 93784);
  EXPECT_EQ(DurationFromMilliseconds(0xFFFFFFFFu), 4294967);
}

}  // namespace
}  // namespace evdo
