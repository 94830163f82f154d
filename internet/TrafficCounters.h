#pragma once
// The running counters of the statistics panel: kilobytes of today, this
// month and this year, and the connected minutes since the last reset, kept
// in "StreamData.dat" (one raw record of 156 bytes).
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/time/DateTime.h"
#include "internet/RawRecordFile.h"

namespace evdo {

constexpr const char* kStreamDataFile = "StreamData.dat";
constexpr std::size_t kCounterTextField = 32;
constexpr std::size_t kMonthKeyChars = 7;  // "2024- 8"
constexpr std::size_t kYearKeyChars = 4;   // "2024"

// The question asked before ResetCounters.
constexpr const char* kResetCountersQuestion = "You will reset surf data \rYes to reset \rNo to back! ";

struct TrafficCounters {
  char updated[kCounterTextField];   // "%d-%d-%d %d:%d:%d"
  char dayKey[kCounterTextField];    // "%4d-%2d-%2d"
  char monthKey[kCounterTextField];  // first 7 characters of a day key
  char yearKey[kCounterTextField];   // first 4 characters of a day key
  std::int32_t daySent;              // kilobytes
  std::int32_t dayReceived;
  std::int32_t monthSent;
  std::int32_t monthReceived;
  std::int32_t yearSent;
  std::int32_t yearReceived;
  std::int32_t totalMinutes;  // connected minutes since the last reset
};

static_assert(sizeof(TrafficCounters) == 156);
static_assert(offsetof(TrafficCounters, updated) == 0);
static_assert(offsetof(TrafficCounters, dayKey) == 32);
static_assert(offsetof(TrafficCounters, monthKey) == 64);
static_assert(offsetof(TrafficCounters, yearKey) == 96);
static_assert(offsetof(TrafficCounters, daySent) == 128);
static_assert(offsetof(TrafficCounters, dayReceived) == 132);
static_assert(offsetof(TrafficCounters, monthSent) == 136);
static_assert(offsetof(TrafficCounters, monthReceived) == 140);
static_assert(offsetof(TrafficCounters, yearSent) == 144);
static_assert(offsetof(TrafficCounters, yearReceived) == 148);
static_assert(offsetof(TrafficCounters, totalMinutes) == 152);

std::string CounterDayKey(const LocalTime& t);      // "%4d-%2d-%2d": "2024- 8- 5"
std::string CounterUpdatedText(const LocalTime& t);  // "%d-%d-%d %d:%d:%d"

// Zero counters, the keys of the day of now and updated = now.
TrafficCounters FreshCounters(const LocalTime& now);

// Adds one connection: the day, month and year counters start again when
// their key differs from the date of now, else they grow. Counters stop at
// the largest 32-bit value instead of wrapping.
void UpdateCounters(TrafficCounters& c, std::int32_t sentKB, std::int32_t receivedKB, std::int32_t minutes,
                    const LocalTime& now);
// All counters 0, keys of the day of now, updated = now.
void ResetCounters(TrafficCounters& c, const LocalTime& now);

// Fresh counters for created, then the file over them when it is sound.
class CounterFile {
public:
  explicit CounterFile(std::string path = kStreamDataFile) : file_(std::move(path)) {}
  LoadResult LoadCounters(TrafficCounters& c, const LocalTime& created);
  FileResult SaveCounters(const TrafficCounters& c) const { return file_.Save(c); }

private:
  RawRecordFile<TrafficCounters> file_;
};

// The panel's texts.
struct CounterTexts {
  std::string updated;
  std::string daySent, dayReceived;  // megabytes, "%.1f"
  std::string monthSent, monthReceived;
  std::string yearSent, yearReceived;
  std::string totalTime;  // "%d %d:%d": days, hours, minutes
};
CounterTexts ShowCounters(const TrafficCounters& c);

}  // namespace evdo
