#pragma once
// Traffic by period from the connection log and the month totals: today,
// this month, this year, everything, and the series of the traffic chart
// (per day for the last days, per month for the last months).
#include <cstdint>
#include <string>
#include <vector>

#include "internet/LogData.h"
#include "internet/MonthLogData.h"

namespace evdo {

struct TrafficAmount {
  std::uint64_t received = 0;  // bytes
  std::uint64_t sent = 0;
  std::int64_t seconds = 0;
};

// One bar of the chart: a day ("2026-12-08") or a month ("2026-12").
struct TrafficPoint {
  std::string label;
  TrafficAmount amount;
};

// The last days days up to and including today, oldest first, from the
// connection log (each connection counts on the day it started).
std::vector<TrafficPoint> DailyTraffic(const CLogData& log, const LocalTime& today, int days);
// The last count months up to and including the month of today, oldest
// first, from the month totals.
std::vector<TrafficPoint> MonthlyTraffic(const CMonthLogData& months, const LocalTime& today,
                                         int count);

struct TrafficSummary {
  TrafficAmount today, month, year, total;
  std::vector<TrafficPoint> lastMonths;  // 12, oldest first
};
TrafficSummary SummariseTraffic(const CLogData& log, const CMonthLogData& months,
                                const LocalTime& today);

// The summary as lines of text (megabytes with two decimals and h:mm:ss).
std::string TrafficSummaryText(const TrafficSummary& s);

}  // namespace evdo
