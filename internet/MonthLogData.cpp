#include "internet/MonthLogData.h"

#include <limits>

namespace evdo {
namespace {

std::uint32_t SaturatingAdd(std::uint32_t a, std::uint64_t b) {
  const std::uint64_t sum = a + b;
  return sum > std::numeric_limits<std::uint32_t>::max() ? std::numeric_limits<std::uint32_t>::max()
                                                         : static_cast<std::uint32_t>(sum);
}

bool SameMonth(const DateTime& a, const DateTime& b) {
  auto x = a.ToLocal(), y = b.ToLocal();
  return x && y && x->year == y->year && x->month == y->month;
}

}  // namespace

ChangeResult CMonthLogData::AddToMonth(const LogRecord& r) {
  if (!FitsArchiveSeconds(r.duration)) return DurationRefused(Path(), r.duration);
  if (Count() > 0 && SameMonth(Last().month, r.start)) {
    MonthRecord& m = Last();
    if (!FitsArchiveSeconds(m.duration + r.duration)) return DurationRefused(Path(), m.duration + r.duration);
    m.received = SaturatingAdd(m.received, r.received);
    m.sent = SaturatingAdd(m.sent, r.sent);
    m.duration += r.duration;
    m.total = SaturatingAdd(m.total, std::uint64_t{r.received} + r.sent);
  } else {
    MonthRecord m;
    m.month = r.start;
    m.received = r.received;
    m.sent = r.sent;
    m.duration = r.duration;
    m.total = SaturatingAdd(r.received, r.sent);
    Append(m);
  }
  SetDirty();
  return ChangeResult::Saved(Save());
}

}  // namespace evdo
