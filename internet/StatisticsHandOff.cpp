#include "internet/StatisticsHandOff.h"

#include <optional>

namespace evdo {
namespace {

LocalTime NowLocal() {
  std::optional<LocalTime> t = DateTime::Now().ToLocal();
  return t ? *t : LocalTime{};
}

}  // namespace

StatisticsHandOff::StatisticsHandOff(CLogData* log, CMonthLogData* months, std::string countersPath,
                                     std::string limitPath)
    : log_(log), months_(months), countersFile_(std::move(countersPath)), limitFile_(std::move(limitPath)) {
  LoadResult c = countersFile_.LoadCounters(counters_, NowLocal());
  if (!c.error.empty()) problem_ = c.error;
  LoadResult l = limitFile_.Load(limit_, UsageLimit{});
  if (!l.error.empty()) problem_ = l.error;
}

void StatisticsHandOff::Note(const FileResult& r) {
  if (!r) problem_ = r.error;
}

void StatisticsHandOff::AddTotals(std::int32_t sentKB, std::int32_t receivedKB, std::int32_t minutes) {
  // Another window (the statistics page) may have reset the counters since.
  countersFile_.LoadCounters(counters_, NowLocal());
  UpdateCounters(counters_, sentKB, receivedKB, minutes, NowLocal());
  Note(countersFile_.SaveCounters(counters_));
}

void StatisticsHandOff::AppendLog(const LogRecord& record) {
  if (log_ == nullptr || months_ == nullptr) return;
  const ChangeResult added = log_->AddConnection(record, *months_);
  if (!added) problem_ = added.Error();
}

int StatisticsHandOff::CheckLimit(std::int64_t connectionMinutes, std::uint64_t sentBytes,
                                  std::uint64_t receivedBytes) {
  // The settings page and the statistics page change these files while a
  // connection is up; both are small.
  const std::int32_t type = limit_.limitType;
  limitFile_.Load(limit_, UsageLimit{});
  if (limit_.limitType != type) watch_.Clear();
  countersFile_.LoadCounters(counters_, NowLocal());
  return watch_.Check(limit_, counters_, connectionMinutes, sentBytes, receivedBytes);
}

std::string StatisticsHandOff::TakeProblem() {
  std::string p;
  p.swap(problem_);
  return p;
}

}  // namespace evdo
