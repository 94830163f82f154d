#pragma once
// The usage limit: a monthly data volume or a connected time, watched while
// a connection is up; "UsageLimitData.dat" holds the five values of the
// settings page (one raw record of 20 bytes).
#include <cstddef>
#include <cstdint>

#include "internet/RawRecordFile.h"
#include "internet/TrafficCounters.h"

namespace evdo {

constexpr const char* kUsageLimitDataFile = "UsageLimitData.dat";
constexpr std::int32_t kLimitByData = 0;
constexpr std::int32_t kLimitByTime = 1;
constexpr int kMsgNearTimeLimit = 404;
constexpr int kMsgNearDataLimit = 405;

struct UsageLimit {
  std::int32_t limitOn = 0;  // 1: the limit is watched
  std::int32_t option = 0;   // only enables one further control of the page
  std::int32_t limitType = kLimitByData;
  std::int32_t dataLimit = 1000;  // megabytes per month
  std::int32_t timeLimit = 6000;  // minutes
};

static_assert(sizeof(UsageLimit) == 20);
static_assert(offsetof(UsageLimit, limitOn) == 0);
static_assert(offsetof(UsageLimit, option) == 4);
static_assert(offsetof(UsageLimit, limitType) == 8);
static_assert(offsetof(UsageLimit, dataLimit) == 12);
static_assert(offsetof(UsageLimit, timeLimit) == 16);

// Loaded with the defaults of UsageLimit{}.
using UsageLimitFile = RawRecordFile<UsageLimit>;

// True when exactly 5 minutes of the time limit are left.
bool NearTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes);
// True when the month's megabytes and this connection's come within 5 of
// the data limit; the connection's byte counts count in whole megabytes.
bool NearDataLimit(const UsageLimit& limit, std::uint32_t sentBytes, std::uint32_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB);

// The one warning of a connection window: Check gives the message to show
// (404 time, 405 data) the first time a watched limit is near, then 0 until
// Clear (at start-up and when the limit type changes).
class UsageLimitWatch {
public:
  int Check(const UsageLimit& limit, const TrafficCounters& counters, std::int64_t connectionMinutes,
            std::uint32_t sentBytes, std::uint32_t receivedBytes);
  void Clear() { shown_ = false; }
  bool Shown() const { return shown_; }

private:
  bool shown_ = false;
};

}  // namespace evdo
