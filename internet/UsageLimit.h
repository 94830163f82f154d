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
constexpr int kMsgTimeLimitPassed = 6331;
constexpr int kMsgDataLimitPassed = 6332;
constexpr std::int64_t kLimitWarningMargin = 5;  // minutes or megabytes

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

// True when 5 minutes of the time limit or fewer are left (a tick that
// skips the fifth minute before the limit still warns).
bool NearTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes);
// True when the time limit is used up.
bool PastTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes);
// True when the month's megabytes and this connection's come within 5 of
// the data limit; the connection's byte counts count in whole megabytes.
bool NearDataLimit(const UsageLimit& limit, std::uint64_t sentBytes, std::uint64_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB);
// True when the month's megabytes and this connection's reach the limit.
bool PastDataLimit(const UsageLimit& limit, std::uint64_t sentBytes, std::uint64_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB);
// Minutes or megabytes left of the limit of its type (negative when passed).
std::int64_t LimitLeft(const UsageLimit& limit, const TrafficCounters& counters);

// The warnings of a connection window: Check gives the message to show
// (404 time, 405 data) the first time a watched limit is near, and once
// more (6331 time, 6332 data) when it is passed, then 0 until Clear (at
// start-up, for a new connection and when the limit type changes).
class UsageLimitWatch {
public:
  int Check(const UsageLimit& limit, const TrafficCounters& counters, std::int64_t connectionMinutes,
            std::uint64_t sentBytes, std::uint64_t receivedBytes);
  void Clear() { shown_ = passedShown_ = false; }
  bool Shown() const { return shown_; }

private:
  bool shown_ = false;
  bool passedShown_ = false;
};

}  // namespace evdo
