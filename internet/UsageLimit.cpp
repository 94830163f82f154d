#include "internet/UsageLimit.h"

namespace evdo {

bool NearTimeLimit(const UsageLimit& limit, std::int64_t connectionMinutes, std::int32_t totalMinutes) {
  return std::int64_t{limit.timeLimit} - (connectionMinutes + totalMinutes) == 5;
}

bool NearDataLimit(const UsageLimit& limit, std::uint32_t sentBytes, std::uint32_t receivedBytes,
                   std::int32_t monthReceivedKB, std::int32_t monthSentKB) {
  const std::int64_t used = std::int64_t{sentBytes >> 20} + (std::int64_t{monthReceivedKB} + monthSentKB) / 1024 +
                            std::int64_t{receivedBytes >> 20};
  return used >= std::int64_t{limit.dataLimit} - 5;
}

int UsageLimitWatch::Check(const UsageLimit& limit, const TrafficCounters& counters, std::int64_t connectionMinutes,
                           std::uint32_t sentBytes, std::uint32_t receivedBytes) {
  if (limit.limitOn != 1 || shown_) return 0;
  int message = 0;
  if (limit.limitType == kLimitByTime && NearTimeLimit(limit, connectionMinutes, counters.totalMinutes))
    message = kMsgNearTimeLimit;
  else if (limit.limitType == kLimitByData &&
           NearDataLimit(limit, sentBytes, receivedBytes, counters.monthReceived, counters.monthSent))
    message = kMsgNearDataLimit;
  if (message) shown_ = true;
  return message;
}

}  // namespace evdo
