#pragma once
// Where a finished connection goes: its kilobytes and minutes to the usage
// totals ("StreamData.dat"), its log record to the connection log and the
// month totals, and the usage limit check of every statistics tick.
#include <cstdint>
#include <string>

#include "internet/LogData.h"
#include "internet/LogRecord.h"
#include "internet/MonthLogData.h"
#include "internet/TrafficCounters.h"
#include "internet/UsageLimit.h"

namespace evdo {

class ConnectionRecords {
public:
  virtual ~ConnectionRecords() = default;
  // Adds a connection's kilobytes and minutes to the usage totals.
  virtual void AddTotals(std::int32_t sentKB, std::int32_t receivedKB, std::int32_t minutes) = 0;
  // Appends a connected session to the connection log (which saves it).
  virtual void AppendLog(const LogRecord& record) = 0;
  // The usage limit check of one tick: 404, 405, or 0.
  virtual int CheckLimit(std::int64_t connectionMinutes, std::uint64_t sentBytes, std::uint64_t receivedBytes) = 0;
  // The new connection may warn once again.
  virtual void NewConnection() = 0;
  // The last save problem, for the page's status (empty when none).
  virtual std::string TakeProblem() = 0;
};

// The stores of the statistics: the connection log and month totals (owned
// by the application), the counters and the usage limit files.
class StatisticsHandOff final : public ConnectionRecords {
public:
  StatisticsHandOff(CLogData* log, CMonthLogData* months, std::string countersPath = kStreamDataFile,
                    std::string limitPath = kUsageLimitDataFile);

  void AddTotals(std::int32_t sentKB, std::int32_t receivedKB, std::int32_t minutes) override;
  void AppendLog(const LogRecord& record) override;
  int CheckLimit(std::int64_t connectionMinutes, std::uint64_t sentBytes, std::uint64_t receivedBytes) override;
  void NewConnection() override { watch_.Clear(); }
  std::string TakeProblem() override;

  const TrafficCounters& Counters() const { return counters_; }

private:
  void Note(const FileResult& r);

  CLogData* log_;
  CMonthLogData* months_;
  CounterFile countersFile_;
  UsageLimitFile limitFile_;
  TrafficCounters counters_{};
  UsageLimit limit_{};
  UsageLimitWatch watch_;
  std::string problem_;
};

}  // namespace evdo
