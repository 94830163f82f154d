#include <gtest/gtest.h>

#include <cmath>

#include "core/time/DateTime.h"

namespace evdo {
namespace {

TEST(DateTime, DayCountsMatchTheKnownValues) {
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(1899, 12, 30).Value(), 0.0);
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(1900, 1, 1).Value(), 2.0);
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(2000, 1, 1).Value(), 36526.0);
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(2000, 1, 1, 12).Value(), 36526.5);
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(1899, 12, 29, 6).Value(), -1.25);
  EXPECT_DOUBLE_EQ(DateTime::FromLocal(1899, 12, 29, 18).Value(), -1.75);
}

TEST(DateTime, ConvertsBackToBrokenDownTime) {
  for (auto t : {LocalTime{2026, 12, 8, 23, 59, 59}, LocalTime{1899, 12, 29, 6, 0, 0},
                 LocalTime{2024, 2, 29, 0, 0, 1}, LocalTime{100, 1, 1, 0, 0, 0},
                 LocalTime{9999, 12, 31, 23, 59, 59}}) {
    auto back = DateTime::FromLocal(t).ToLocal();
    ASSERT_TRUE(back) << t.year;
    EXPECT_EQ(back->year, t.year);
    EXPECT_EQ(back->month, t.month);
    EXPECT_EQ(back->day, t.day);
    EXPECT_EQ(back->hour, t.hour);
    EXPECT_EQ(back->minute, t.minute);
    EXPECT_EQ(back->second, t.second);
  }
  EXPECT_EQ(DateTime::FromLocal(2026, 12, 8).ToLocal()->dayOfWeek, 2);  // a Tuesday
}

TEST(DateTime, ImpossibleDatesAreInvalid) {
  EXPECT_EQ(DateTime::FromLocal(2026, 2, 30).GetStatus(), DateTime::Invalid);
  EXPECT_EQ(DateTime::FromLocal(2023, 2, 29).GetStatus(), DateTime::Invalid);
  EXPECT_EQ(DateTime::FromLocal(2026, 13, 1).GetStatus(), DateTime::Invalid);
  EXPECT_EQ(DateTime::FromLocal(2026, 1, 1, 24).GetStatus(), DateTime::Invalid);
  EXPECT_EQ(DateTime::FromLocal(2026, 1, 1, 0, 60).GetStatus(), DateTime::Invalid);
  EXPECT_EQ(DateTime::FromLocal(99, 1, 1).GetStatus(), DateTime::Invalid);
  EXPECT_FALSE(DateTime::MakeNull().ToLocal());
  EXPECT_EQ(DateTime(1e300, DateTime::Valid).ToLocal(), std::nullopt);
  EXPECT_EQ(DateTime(std::nan(""), DateTime::Valid).Format("%Y"), "");
}

TEST(DateTime, FormatsTheSystemStamps) {
  auto t = DateTime::FromLocal(2026, 3, 7, 9, 5, 4);
  EXPECT_EQ(t.Format("%y/%m/%d,%H:%M:%S+00"), "26/03/07,09:05:04+00");
  EXPECT_EQ(t.Format("%Y-%m-%d %H:%M:%S"), "2026-03-07 09:05:04");
}

TEST(DateTime, ComparesAndMeasuresAcrossTheEpoch) {
  auto before = DateTime::FromLocal(1899, 12, 29, 18);
  auto after = DateTime::FromLocal(1899, 12, 30, 6);
  EXPECT_LT(before, after);
  EXPECT_EQ(DateTime::SecondsBetween(before, after), 12 * 3600);
  EXPECT_EQ(before.AddSeconds(12 * 3600), after);
  EXPECT_EQ(DateTime::FromLocal(2026, 1, 1).AddSeconds(-1).Format("%Y-%m-%d %H:%M:%S"), "2025-12-31 23:59:59");
  EXPECT_NE(DateTime::MakeNull(), DateTime());
}

TEST(DateTime, NowAndTimeTAgree) {
  std::time_t t = 1700000000;
  auto d = DateTime::FromTimeT(t);
  ASSERT_TRUE(d.IsValid());
  EXPECT_EQ(d.ToTimeT(), t);
  EXPECT_TRUE(DateTime::Now().IsValid());
}

TEST(TimeSpan, FormatsHoursAndDays) {
  TimeSpan s(2 * 86400 + 3 * 3600 + 4 * 60 + 5);
  EXPECT_EQ(s.Format("%H:%M:%S"), "03:04:05");
  EXPECT_EQ(s.Format("%D:%H:%M:%S"), "2:03:04:05");
  EXPECT_EQ(TimeSpan(0).Format("%D:%H:%M:%S"), "0:00:00:00");
  EXPECT_EQ(TimeSpan(59).Format("100%%"), "100%");
}

}  // namespace
}  // namespace evdo
