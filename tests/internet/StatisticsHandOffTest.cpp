// A finished connection handed to the statistics stores: the usage totals,
// the connection log with its month, and the usage limit of each tick.
#include <gtest/gtest.h>

#include "internet/StatisticsHandOff.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

TEST(StatisticsHandOff, TotalsLogAndLimit) {
  test::TempDir dir(true);
  UsageLimit limit;
  limit.limitOn = 1;
  limit.limitType = kLimitByTime;
  limit.timeLimit = 65;
  ASSERT_TRUE(UsageLimitFile(kUsageLimitDataFile).Save(limit));
  CLogData log;
  CMonthLogData months;
  StatisticsHandOff handOff(&log, &months);
  EXPECT_EQ(handOff.CheckLimit(59, 0, 0), 0);
  EXPECT_EQ(handOff.CheckLimit(60, 0, 0), kMsgNearTimeLimit);  // 5 minutes left
  EXPECT_EQ(handOff.CheckLimit(60, 0, 0), 0);                  // once a connection
  handOff.NewConnection();
  EXPECT_EQ(handOff.CheckLimit(60, 0, 0), kMsgNearTimeLimit);

  handOff.AddTotals(40, 80, 45);
  handOff.AddTotals(1, 2, 3);
  EXPECT_EQ(handOff.Counters().daySent, 41);
  EXPECT_EQ(handOff.Counters().dayReceived, 82);
  EXPECT_EQ(handOff.Counters().totalMinutes, 48);
  TrafficCounters saved{};
  CounterFile(kStreamDataFile).LoadCounters(saved, LocalTime{});
  EXPECT_EQ(saved.totalMinutes, 48);

  LogRecord r;
  r.start = DateTime::Now();
  r.duration = 2711;
  r.sent = 40960;
  r.received = 81920;
  handOff.AppendLog(r);
  EXPECT_EQ(log.Count(), 1);
  EXPECT_EQ(months.Count(), 1);
  CLogData reread;
  reread.Load();
  EXPECT_EQ(reread.Count(), 1);
  EXPECT_TRUE(handOff.TakeProblem().empty());
  // Without the log stores (a page on its own) nothing is logged or broken.
  StatisticsHandOff none(nullptr, nullptr);
  none.AppendLog(r);
}

// The settings page writes the limit file while a connection is up: the
// next tick uses it, and switching the type lets the connection warn again.
TEST(StatisticsHandOff, LimitFileChangedDuringAConnection) {
  test::TempDir dir(true);
  CLogData log;
  CMonthLogData months;
  StatisticsHandOff handOff(&log, &months);
  EXPECT_EQ(handOff.CheckLimit(10000, 0, 0), 0);  // not watched
  UsageLimit limit;
  limit.limitOn = 1;
  limit.limitType = kLimitByTime;
  limit.timeLimit = 65;
  ASSERT_TRUE(UsageLimitFile(kUsageLimitDataFile).Save(limit));
  EXPECT_EQ(handOff.CheckLimit(61, 0, 0), kMsgNearTimeLimit);
  EXPECT_EQ(handOff.CheckLimit(62, 0, 0), 0);
  limit.limitType = kLimitByData;
  limit.dataLimit = 10;
  ASSERT_TRUE(UsageLimitFile(kUsageLimitDataFile).Save(limit));
  EXPECT_EQ(handOff.CheckLimit(62, 6u << 20, 0), kMsgNearDataLimit);
  EXPECT_EQ(handOff.CheckLimit(62, 7u << 20, 0), 0);
  EXPECT_EQ(handOff.CheckLimit(62, 7u << 20, 3u << 20), kMsgDataLimitPassed);
  // A reset on the statistics page counts at the next tick.
  handOff.AddTotals(0, 9 * 1024, 0);
  handOff.NewConnection();
  EXPECT_EQ(handOff.CheckLimit(0, 0, 0), kMsgNearDataLimit);
  TrafficCounters zero = FreshCounters(LocalTime{2024, 1, 1, 0, 0, 0});
  ASSERT_TRUE(CounterFile(kStreamDataFile).SaveCounters(zero));
  handOff.NewConnection();
  EXPECT_EQ(handOff.CheckLimit(0, 0, 0), 0);
}

}  // namespace
}  // namespace evdo
