// Traffic by period: the chart's series and the summary of evdo-data.
#include <gtest/gtest.h>

#include "internet/TrafficSummary.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

LocalTime At(int y, int mo, int d, int h = 12) {
  LocalTime t;
  t.year = y;
  t.month = mo;
  t.day = d;
  t.hour = h;
  return t;
}

LogRecord Connection(const LocalTime& start, std::uint32_t received, std::uint32_t sent,
                     std::int64_t seconds = 60) {
  LogRecord r;
  r.start = DateTime::FromLocal(start);
  r.received = received;
  r.sent = sent;
  r.duration = seconds;
  return r;
}

class TrafficSummaryTest : public ::testing::Test {
 protected:
  test::TempDir dir;
  CLogData log{dir.File("LogData.dat")};
  CMonthLogData months{dir.File("MonthLogData.dat")};
};

TEST_F(TrafficSummaryTest, EmptyLogsGiveZeroSeriesWithTheirLabels) {
  const auto days = DailyTraffic(log, At(2026, 3, 1), 30);
  ASSERT_EQ(days.size(), 30u);
  EXPECT_EQ(days.front().label, "2026-01-31");
  EXPECT_EQ(days.back().label, "2026-03-01");
  for (const auto& d : days) EXPECT_EQ(d.amount.received + d.amount.sent, 0u);
  const auto m = MonthlyTraffic(months, At(2026, 3, 1), 12);
  ASSERT_EQ(m.size(), 12u);
  EXPECT_EQ(m.front().label, "2025-04");
  EXPECT_EQ(m.back().label, "2026-03");
  const TrafficSummary s = SummariseTraffic(log, months, At(2026, 3, 1));
  EXPECT_EQ(s.total.received, 0u);
  EXPECT_EQ(s.lastMonths.size(), 12u);
}

TEST_F(TrafficSummaryTest, OneDayAcrossMidnightCountsOnTheDayItStarted) {
  ASSERT_TRUE(log.AddConnection(Connection(At(2026, 3, 1, 8), 1000, 100), months));
  ASSERT_TRUE(log.AddConnection(Connection(At(2026, 3, 1, 23), 2000, 200, 7200),
                                months));  // ends on the 2nd
  const auto days = DailyTraffic(log, At(2026, 3, 2), 30);
  EXPECT_EQ(days[28].label, "2026-03-01");
  EXPECT_EQ(days[28].amount.received, 3000u);
  EXPECT_EQ(days[28].amount.sent, 300u);
  EXPECT_EQ(days[28].amount.seconds, 7260);
  EXPECT_EQ(days[29].amount.received, 0u);
  const TrafficSummary s = SummariseTraffic(log, months, At(2026, 3, 1));
  EXPECT_EQ(s.today.received, 3000u);
  EXPECT_EQ(s.month.sent, 300u);
  EXPECT_EQ(s.year.received, 3000u);
  EXPECT_EQ(s.total.received, 3000u);
}

TEST_F(TrafficSummaryTest, ThirteenMonthsKeepTheLastTwelveForTheChart) {
  for (int i = 0; i < 13; ++i)
    ASSERT_TRUE(log.AddConnection(
        Connection(At(2025 + (i + 1) / 12, (i + 1) % 12 + 1, 15), 1u << 20, 1000u * (i + 1)),
        months));
  // Months 2025-02 .. 2026-02.
  ASSERT_EQ(months.Count(), 13);
  const TrafficSummary s = SummariseTraffic(log, months, At(2026, 2, 20));
  ASSERT_EQ(s.lastMonths.size(), 12u);
  EXPECT_EQ(s.lastMonths.front().label, "2025-03");
  EXPECT_EQ(s.lastMonths.front().amount.sent, 2000u);
  EXPECT_EQ(s.lastMonths.back().label, "2026-02");
  EXPECT_EQ(s.lastMonths.back().amount.sent, 13000u);
  EXPECT_EQ(s.total.received, 13u << 20);
  EXPECT_EQ(s.year.received, 2u << 20);  // January and February 2026
  EXPECT_EQ(s.month.sent, 13000u);
  const std::string text = TrafficSummaryText(s);
  EXPECT_NE(text.find("total      received        13.00 MB"), std::string::npos) << text;
  EXPECT_NE(text.find("2026-02"), std::string::npos);
  EXPECT_EQ(text.find("2025-02"), std::string::npos);
}

}  // namespace
}  // namespace evdo
