#include "internet/TrafficSummary.h"

#include <cmath>
#include <cstdio>

namespace evdo {
namespace {

std::int64_t DayNumber(const DateTime& t) {
  return static_cast<std::int64_t>(std::floor(t.Value()));
}

int MonthNumber(int year, int month) { return year * 12 + (month - 1); }

void Add(TrafficAmount& a, std::uint64_t received, std::uint64_t sent, std::int64_t seconds) {
  a.received += received;
  a.sent += sent;
  a.seconds += seconds;
}

std::string Line(const char* name, const TrafficAmount& a) {
  char text[160];
  std::snprintf(
      text, sizeof text, "%-10s received %12.2f MB  sent %12.2f MB  time %lld:%02lld:%02lld\n",
      name, static_cast<double>(a.received) / 1048576.0, static_cast<double>(a.sent) / 1048576.0,
      static_cast<long long>(a.seconds / 3600), static_cast<long long>(a.seconds / 60 % 60),
      static_cast<long long>(a.seconds % 60));
  return text;
}

}  // namespace

std::vector<TrafficPoint> DailyTraffic(const CLogData& log, const LocalTime& today, int days) {
  if (days <= 0) return {};
  LocalTime midnight = today;
  midnight.hour = midnight.minute = midnight.second = 0;
  const DateTime todayValue = DateTime::FromLocal(midnight);
  const std::int64_t last = DayNumber(todayValue);
  const std::int64_t first = last - days + 1;
  std::vector<TrafficPoint> points(static_cast<std::size_t>(days));
  for (int i = 0; i < days; ++i)
    points[static_cast<std::size_t>(i)].label =
        todayValue.AddSeconds(std::int64_t{i - days + 1} * 86400).Format("%Y-%m-%d");
  for (int i = 0; i < log.Count(); ++i) {
    const LogRecord& r = log.At(i);
    if (!r.start.IsValid()) continue;
    const std::int64_t day = DayNumber(r.start);
    if (day < first || day > last) continue;
    Add(points[static_cast<std::size_t>(day - first)].amount, r.received, r.sent, r.duration);
  }
  return points;
}

std::vector<TrafficPoint> MonthlyTraffic(const CMonthLogData& months, const LocalTime& today,
                                         int count) {
  if (count <= 0) return {};
  const int last = MonthNumber(today.year, today.month);
  const int first = last - count + 1;
  std::vector<TrafficPoint> points(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) {
    const int m = first + i;
    char label[16];
    std::snprintf(label, sizeof label, "%04d-%02d", m / 12, m % 12 + 1);
    points[static_cast<std::size_t>(i)].label = label;
  }
  for (int i = 0; i < months.Count(); ++i) {
    const MonthRecord& r = months.At(i);
    const std::optional<LocalTime> t = r.month.ToLocal();
    if (!t) continue;
    const int m = MonthNumber(t->year, t->month);
    if (m < first || m > last) continue;
    Add(points[static_cast<std::size_t>(m - first)].amount, r.received, r.sent, r.duration);
  }
  return points;
}

TrafficSummary SummariseTraffic(const CLogData& log, const CMonthLogData& months,
                                const LocalTime& today) {
  TrafficSummary s;
  const std::vector<TrafficPoint> day = DailyTraffic(log, today, 1);
  s.today = day.front().amount;
  const int thisMonth = MonthNumber(today.year, today.month);
  for (int i = 0; i < months.Count(); ++i) {
    const MonthRecord& r = months.At(i);
    Add(s.total, r.received, r.sent, r.duration);
    const std::optional<LocalTime> t = r.month.ToLocal();
    if (!t) continue;
    if (t->year == today.year) Add(s.year, r.received, r.sent, r.duration);
    if (MonthNumber(t->year, t->month) == thisMonth) Add(s.month, r.received, r.sent, r.duration);
  }
  s.lastMonths = MonthlyTraffic(months, today, 12);
  return s;
}

std::string TrafficSummaryText(const TrafficSummary& s) {
  std::string text = Line("today", s.today) + Line("month", s.month) + Line("year", s.year) +
                     Line("total", s.total);
  text += "last 12 months:\n";
  for (const TrafficPoint& p : s.lastMonths) text += Line(p.label.c_str(), p.amount);
  return text;
}

}  // namespace evdo
