#pragma once
// The connection log, "LogData.dat" (archive stream: 32-bit count, then per
// connection the date-time value, seconds, received and sent: 24 bytes).
#include <string>
#include <vector>

#include "internet/ArchiveLog.h"
#include "internet/MonthLogData.h"

namespace evdo {

constexpr const char* kLogDataFile = "LogData.dat";
constexpr int kMsgNoLogSelection = 151;  // also: a row that is no longer in the log

class CLogData : public ArchiveLog<LogRecord, kLogRecordBytes> {
public:
  explicit CLogData(std::string path = kLogDataFile) : ArchiveLog(std::move(path)) {}

  // Logs a finished connection (the oldest dropped at 1000), saves, then adds
  // it to its month. A duration that does not fit 32-bit seconds is refused
  // and nothing changes.
  ChangeResult AddConnection(const LogRecord& r, CMonthLogData& months);
  // Index of the first connection that started exactly at start, or -1.
  int FindConnection(const DateTime& start) const;
  ChangeResult DeleteConnection(int index);
};

// Deletes the connections that started at the given times, in order. Stops
// at the first one not found (message 151) or not saved.
struct LogDeleteResult {
  FileResult saved;
  int message = 0;  // kMsgNoLogSelection when a connection was not found
  int deleted = 0;
};
LogDeleteResult DeleteConnections(CLogData& log, const std::vector<DateTime>& starts);

}  // namespace evdo
