#pragma once
// The stretches of work of the UI thread: from the moment its event loop
// wakes up (or starts another round without waiting) to the moment it is
// about to wait again. A long stretch is a window that does not answer its
// user; the stall probe reports those at or above a threshold.
#include <cstdint>
#include <functional>

namespace evdo {

class LoopStretches {
public:
  // A stretch at or above the threshold: when it began and how long it took
  // (steady clock, nanoseconds).
  using Sink = std::function<void(std::int64_t startNs, std::int64_t durationNs)>;

  LoopStretches(std::int64_t thresholdNs, Sink sink) : thresholdNs_(thresholdNs), sink_(std::move(sink)) {}

  // The loop woke up, or began another round while still busy: the round
  // before it ends here.
  void Awake(std::int64_t nowNs);
  // The loop is about to wait for events: the stretch ends.
  void AboutToBlock(std::int64_t nowNs);

  std::int64_t LongestNs() const { return longestNs_; }
  std::int64_t Count() const { return count_; }

private:
  void End(std::int64_t nowNs);

  std::int64_t thresholdNs_;
  Sink sink_;
  std::int64_t startNs_ = -1;  // -1: waiting
  std::int64_t longestNs_ = 0;
  std::int64_t count_ = 0;
};

}  // namespace evdo
