#pragma once
// The monthly totals of the connection log, "MonthLogData.dat" (archive
// stream: 32-bit count, then per month the date-time value, received, sent,
// seconds and total: 28 bytes).
#include <string>

#include "internet/ArchiveLog.h"

namespace evdo {

constexpr const char* kMonthLogDataFile = "MonthLogData.dat";

class CMonthLogData : public ArchiveLog<MonthRecord, kMonthRecordBytes> {
public:
  explicit CMonthLogData(std::string path = kMonthLogDataFile) : ArchiveLog(std::move(path)) {}

  // Adds a finished connection to the last month when it started in the
  // same year and month, else appends a new month (the oldest dropped at
  // 1000). Byte counts stop at the largest 32-bit value instead of wrapping.
  // Refused, changing nothing, when the month's seconds would not fit 32 bits.
  // Saves.
  ChangeResult AddToMonth(const LogRecord& r);
};

}  // namespace evdo
