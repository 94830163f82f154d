#include "internet/UsageLimit.h"

namespace evdo {
namespace {

std::int64_t MegabytesUsed(std::uint64_t sentBytes, std::uint64_t receivedBytes, std::int32_t monthReceivedKB,
                           std::int32_t monthSentKB) {
  return static_cast<std::int64_t>(sentBytes >> 20) + (std::int64_t{monthReceivedKB} + monthSentKB) / 1024 +
         static_cast<std::int64_t>(receivedBytes >> 20);
}

}  // namespace

bool NearTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes) {
  return std::int64_t{limit.timeLimit} - (connectionMinutes + totalMinutes) <= kLimitWarningMargin;
}

bool PastTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes) {
  return connectionMinutes + totalMinutes >= std::int64_t{limit.timeLimit};
}

bool PastDataLimit(const UsageLimit& limit, std::uint64_t sentBytes, std::uint64_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB) {
  return MegabytesUsed(sentBytes, receivedBytes, monthReceivedKB, monthSentKB) >= std::int64_t{limit.dataLimit};
}

std::int64_t LimitLeft(const UsageLimit& limit, const TrafficCounters& counters) {
  if (limit.limitType == kLimitByTime) return std::int64_t{limit.timeLimit} - counters.totalMinutes;
  return std::int64_t{limit.dataLimit} - MegabytesUsed(0, 0, counters.monthReceived, counters.monthSent);
}

bool NearDataLimit(const UsageLimit& limit, std::uint64_t sentBytes, std::uint64_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB) {
  return MegabytesUsed(sentBytes, receivedBytes, monthReceivedKB, monthSentKB) >=
         std::int64_t{limit.dataLimit} - kLimitWarningMargin;
}

int UsageLimitWatch::Check(const UsageLimit& limit, const TrafficCounters& counters, std::int64_t connectionMinutes,
                           std::uint64_t sentBytes, std::uint64_t receivedBytes) {
  if (limit.limitOn != 1 || passedShown_) return 0;
  const bool byTime = limit.limitType == kLimitByTime;
  if (!byTime && limit.limitType != kLimitByData) return 0;
  const bool passed = byTime ? PastTimeLimit(limit, connectionMinutes, counters.totalMinutes)
                             : PastDataLimit(limit, sentBytes, receivedBytes, counters.monthReceived,
                                             counters.monthSent);
  if (passed) {
    shown_ = passedShown_ = true;
    return byTime ? kMsgTimeLimitPassed : kMsgDataLimitPassed;
  }
  if (shown_) return 0;
  const bool near = byTime ? NearTimeLimit(limit, connectionMinutes, counters.totalMinutes)
                           : NearDataLimit(limit, sentBytes, receivedBytes, counters.monthReceived,
                                           counters.monthSent);
  if (!near) return 0;
  shown_ = true;
  return byTime ? kMsgNearTimeLimit : kMsgNearDataLimit;
}

}  // namespace evdo
