#include "app/LoopStretches.h"

namespace evdo {

void LoopStretches::Awake(std::int64_t nowNs) {
  End(nowNs);
  startNs_ = nowNs;
}

void LoopStretches::AboutToBlock(std::int64_t nowNs) { End(nowNs); }

void LoopStretches::End(std::int64_t nowNs) {
  if (startNs_ < 0) return;
  // A clock that went back (it should not) gives no stretch rather than a
  // huge one.
  const std::int64_t duration = nowNs >= startNs_ ? nowNs - startNs_ : 0;
  const std::int64_t start = startNs_;
  startNs_ = -1;
  ++count_;
  if (duration > longestNs_) longestNs_ = duration;
  if (duration >= thresholdNs_ && sink_) sink_(start, duration);
}

}  // namespace evdo
