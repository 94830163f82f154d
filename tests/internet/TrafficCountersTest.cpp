#include "internet/TrafficCounters.h"

#include <gtest/gtest.h>

#include "core/text/FixedText.h"
#include "internet/UsageLimit.h"
#include "tests/calls/DataFileTesting.h"

namespace evdo {
namespace {

using namespace evdo::test;

LocalTime At(int y, int mo, int d, int h = 0, int mi = 0, int s = 0) {
  LocalTime t;
  t.year = y;
  t.month = mo;
  t.day = d;
  t.hour = h;
  t.minute = mi;
  t.second = s;
  return t;
}

TEST(TrafficCountersTest, KeyAndUpdateFormats) {
  EXPECT_EQ(CounterDayKey(At(2024, 8, 5)), "2024- 8- 5");
  EXPECT_EQ(CounterDayKey(At(2024, 12, 25)), "2024-12-25");
  EXPECT_EQ(CounterUpdatedText(At(2024, 8, 5, 9, 7, 3)), "2024-8-5 9:7:3");
  TrafficCounters c = FreshCounters(At(2024, 8, 5, 9, 7, 3));
  EXPECT_EQ(FieldText(c.dayKey), "2024- 8- 5");
  EXPECT_EQ(FieldText(c.monthKey), "2024- 8");
  EXPECT_EQ(FieldText(c.yearKey), "2024");
  EXPECT_EQ(FieldText(c.updated), "2024-8-5 9:7:3");
  EXPECT_EQ(c.totalMinutes, 0);
}

TEST(TrafficCountersTest, CountersStartAgainWhenTheirPeriodChanges) {
  TrafficCounters c = FreshCounters(At(2024, 12, 30));
  struct Step {
    LocalTime when;
    std::int32_t day, month, year;  // sent kilobytes after the step
  };
  const Step steps[] = {
      {At(2024, 12, 30, 10), 10, 10, 10},
      {At(2024, 12, 30, 23), 20, 20, 20},
      {At(2024, 12, 31, 1), 10, 30, 30},
      {At(2025, 1, 1), 10, 10, 10},
      {At(2025, 2, 1), 10, 10, 20},
  };
  for (const Step& s : steps) {
    UpdateCounters(c, 10, 5, 7, s.when);
    EXPECT_EQ(c.daySent, s.day) << CounterDayKey(s.when);
    EXPECT_EQ(c.monthSent, s.month) << CounterDayKey(s.when);
    EXPECT_EQ(c.yearSent, s.year) << CounterDayKey(s.when);
    EXPECT_EQ(c.dayReceived * 2, c.daySent);
    EXPECT_EQ(FieldText(c.updated), CounterUpdatedText(s.when));
  }
  EXPECT_EQ(c.totalMinutes, 35);
  EXPECT_EQ(FieldText(c.monthKey), "2025- 2");
}

TEST(TrafficCountersTest, CountersStopAtTheLargest32BitValue) {
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  c.yearReceived = INT32_MAX - 1;
  c.totalMinutes = INT32_MAX;
  UpdateCounters(c, 0, 5, 5, At(2024, 1, 1));
  EXPECT_EQ(c.yearReceived, INT32_MAX);
  EXPECT_EQ(c.totalMinutes, INT32_MAX);
}

TEST(TrafficCountersTest, ResetAndShow) {
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  UpdateCounters(c, 1536, 10240, 1563, At(2024, 1, 1, 12));
  CounterTexts t = ShowCounters(c);
  EXPECT_EQ(t.updated, "2024-1-1 12:0:0");
  EXPECT_EQ(t.daySent, "1.5");
  EXPECT_EQ(t.dayReceived, "10.0");
  EXPECT_EQ(t.yearSent, "1.5");
  EXPECT_EQ(t.totalTime, "1 2:3");
  ResetCounters(c, At(2024, 3, 9, 1, 2, 3));
  EXPECT_EQ(c.daySent, 0);
  EXPECT_EQ(c.yearReceived, 0);
  EXPECT_EQ(c.totalMinutes, 0);
  EXPECT_EQ(FieldText(c.dayKey), "2024- 3- 9");
  EXPECT_EQ(ShowCounters(c).totalTime, "0 0:0");
}

TEST(TrafficCountersTest, CounterFile) {
  TempDir dir;
  const std::string path = dir.File("StreamData.dat");
  CounterFile file(path);
  TrafficCounters c;
  EXPECT_EQ(file.LoadCounters(c, At(2024, 5, 6, 7, 8, 9)).status, LoadStatus::Missing);
  EXPECT_EQ(FieldText(c.updated), "2024-5-6 7:8:9");
  UpdateCounters(c, 100, 200, 30, At(2024, 5, 6, 8));
  ASSERT_TRUE(file.SaveCounters(c));
  const Bytes saved = ReadBytes(path);
  ASSERT_EQ(saved.size(), 156u);
  EXPECT_EQ(std::string(saved.begin() + 32, saved.begin() + 43), std::string("2024- 5- 6\0", 11));
  EXPECT_EQ(saved[128], 100);  // daySent
  EXPECT_EQ(saved[132], 200);  // dayReceived
  EXPECT_EQ(saved[152], 30);   // totalMinutes

  CounterFile again(path);
  TrafficCounters read;
  EXPECT_EQ(again.LoadCounters(read, At(2030, 1, 1)).status, LoadStatus::Loaded);
  EXPECT_EQ(read.monthReceived, 200);
  EXPECT_EQ(FieldText(read.yearKey), "2024");

  WriteBytes(path, Bytes(155, 0));
  CounterFile bad(path);
  ExpectSetAside(bad.LoadCounters(read, At(2030, 1, 1)), path, Bytes(155, 0));
  EXPECT_EQ(FieldText(read.dayKey), "2030- 1- 1");
  EXPECT_EQ(read.monthReceived, 0);
}

TEST(TrafficCountersTest, AKeyFillingItsWholeFieldIsComparedWithinTheField) {
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  std::memset(c.dayKey, '9', sizeof c.dayKey);
  c.daySent = 50;
  UpdateCounters(c, 1, 1, 0, At(2024, 1, 1));
  EXPECT_EQ(c.daySent, 1);
  EXPECT_EQ(FieldText(c.dayKey), "2024- 1- 1");
}

TEST(UsageLimitTest, TimeWarningFromFiveMinutesBeforeTheLimitOnOnce) {
  UsageLimit limit;
  limit.limitOn = 1;
  limit.limitType = kLimitByTime;
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  c.totalMinutes = 5900;
  {
    UsageLimitWatch watch;
    EXPECT_EQ(watch.Check(limit, c, 94, 0, 0), 0);  // 6 minutes left
  }
  {
    // A tick that skipped the fifth minute before the limit still warns.
    UsageLimitWatch watch;
    EXPECT_EQ(watch.Check(limit, c, 96, 0, 0), kMsgNearTimeLimit);
    EXPECT_EQ(watch.Check(limit, c, 97, 0, 0), 0);
  }
  UsageLimitWatch watch;
  EXPECT_EQ(watch.Check(limit, c, 95, 0, 0), kMsgNearTimeLimit);
  EXPECT_EQ(watch.Check(limit, c, 95, 0, 0), 0);  // once
  EXPECT_EQ(watch.Check(limit, c, 99, 0, 0), 0);
  EXPECT_EQ(watch.Check(limit, c, 100, 0, 0), kMsgTimeLimitPassed);  // once more when passed
  EXPECT_EQ(watch.Check(limit, c, 101, 0, 0), 0);
  watch.Clear();
  EXPECT_EQ(watch.Check(limit, c, 95, 0, 0), kMsgNearTimeLimit);
  limit.limitOn = 0;
  watch.Clear();
  EXPECT_EQ(watch.Check(limit, c, 95, 0, 0), 0);
}

TEST(UsageLimitTest, PassedWithoutNearGivesOnlyThePassedWarning) {
  UsageLimit limit;
  limit.limitOn = 1;
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  c.monthReceived = 1000 * 1024;
  UsageLimitWatch watch;
  EXPECT_EQ(watch.Check(limit, c, 0, 0, 0), kMsgDataLimitPassed);
  EXPECT_EQ(watch.Check(limit, c, 0, 0, 0), 0);
  EXPECT_EQ(LimitLeft(limit, c), 0);
  limit.limitType = kLimitByTime;
  c.totalMinutes = 100;
  EXPECT_EQ(LimitLeft(limit, c), 5900);
}

TEST(UsageLimitTest, DataWarningWithinFiveMegabytesOfTheLimit) {
  UsageLimit limit;
  limit.limitOn = 1;
  EXPECT_EQ(limit.dataLimit, 1000);
  EXPECT_EQ(limit.timeLimit, 6000);
  TrafficCounters c = FreshCounters(At(2024, 1, 1));
  c.monthReceived = 990 * 1024;
  c.monthSent = 5 * 1024;
  UsageLimitWatch watch;
  EXPECT_EQ(watch.Check(limit, c, 0, 0, 0), kMsgNearDataLimit);

  c.monthSent = 4 * 1024;
  EXPECT_FALSE(NearDataLimit(limit, (1u << 20) - 1, (1u << 20) - 1, c.monthReceived, c.monthSent));
  EXPECT_TRUE(NearDataLimit(limit, 1u << 20, 0, c.monthReceived, c.monthSent));
  EXPECT_TRUE(NearDataLimit(limit, 0, 1u << 20, c.monthReceived, c.monthSent));
  limit.dataLimit = INT32_MIN;
  EXPECT_TRUE(NearDataLimit(limit, 0, 0, 0, 0));
}

TEST(UsageLimitTest, FileHoldsTheFiveValues) {
  TempDir dir;
  const std::string path = dir.File("UsageLimitData.dat");
  UsageLimitFile file(path);
  UsageLimit l;
  EXPECT_EQ(file.Load(l, UsageLimit{}).status, LoadStatus::Missing);
  l.limitOn = 1;
  l.limitType = kLimitByTime;
  l.timeLimit = 120;
  ASSERT_TRUE(file.Save(l));
  EXPECT_EQ(ReadBytes(path), (Bytes{1, 0, 0, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0xE8, 3, 0, 0, 120, 0, 0, 0}));
  UsageLimit read;
  EXPECT_EQ(UsageLimitFile(path).Load(read, UsageLimit{}).status, LoadStatus::Loaded);
  EXPECT_EQ(read.timeLimit, 120);
  WriteBytes(path, Bytes(21, 0));
  UsageLimit fallback;
  ExpectSetAside(UsageLimitFile(path).Load(fallback, UsageLimit{}), path, Bytes(21, 0));
  EXPECT_EQ(fallback.dataLimit, 1000);
}

}  // namespace
}  // namespace evdo
