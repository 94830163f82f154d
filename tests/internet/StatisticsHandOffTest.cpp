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

}  // namespace
}  // namespace evdo
