#pragma once
// The records of the connection log and of the monthly totals.
#include <cstddef>
#include <cstdint>

#include "core/time/DateTime.h"

namespace evdo {

// One finished connection.
struct LogRecord {
  DateTime start;             // local time the connection was established
  std::int64_t duration = 0;  // connected seconds
  std::uint32_t received = 0;  // bytes
  std::uint32_t sent = 0;      // bytes
};

// The totals of one calendar month.
struct MonthRecord {
  DateTime month;  // start of the first connection counted; only year and month matter
  std::uint32_t received = 0;
  std::uint32_t sent = 0;
  std::int64_t duration = 0;
  std::uint32_t total = 0;  // received + sent
};

// Bytes a record takes in the archive stream.
constexpr std::size_t kLogRecordBytes = 24;    // status, days, seconds, received, sent
constexpr std::size_t kMonthRecordBytes = 28;  // status, days, received, sent, seconds, total

}  // namespace evdo
