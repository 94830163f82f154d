#include "app/LoopStretches.h"

#include <gtest/gtest.h>

#include <utility>
#include <vector>

namespace evdo {
namespace {

using Stretch = std::pair<std::int64_t, std::int64_t>;  // start, duration

struct Recorder {
  std::vector<Stretch> seen;
  LoopStretches stretches{2000, [this](std::int64_t start, std::int64_t duration) { seen.emplace_back(start, duration); }};
};

TEST(LoopStretches, AStretchRunsFromWakingToWaitingAndOnlyLongOnesAreReported) {
  Recorder r;
  r.stretches.Awake(1000);
  r.stretches.AboutToBlock(2500);  // 1500: below the threshold
  r.stretches.Awake(10000);
  r.stretches.AboutToBlock(13000);  // 3000
  EXPECT_EQ(r.seen, (std::vector<Stretch>{{10000, 3000}}));
  EXPECT_EQ(r.stretches.LongestNs(), 3000);
  EXPECT_EQ(r.stretches.Count(), 2);
}

// A loop that has events waiting starts its next round without waiting: each
// round is a stretch of its own, because the loop was returned to between them.
TEST(LoopStretches, ARoundBegunWithoutWaitingEndsThePreviousOne) {
  Recorder r;
  r.stretches.Awake(0);
  r.stretches.Awake(2000);
  r.stretches.Awake(7000);
  r.stretches.AboutToBlock(8000);
  EXPECT_EQ(r.seen, (std::vector<Stretch>{{0, 2000}, {2000, 5000}}));
  EXPECT_EQ(r.stretches.LongestNs(), 5000);
}

// Waiting twice (a nested loop that waits, then its outer loop) or a clock
// that went back does not make up a stretch.
TEST(LoopStretches, WaitingWithoutWakingOrAClockGoingBackReportsNothing) {
  Recorder r;
  r.stretches.AboutToBlock(5000);
  r.stretches.Awake(9000);
  r.stretches.AboutToBlock(9500);
  r.stretches.AboutToBlock(20000);
  r.stretches.Awake(30000);
  r.stretches.AboutToBlock(1000);
  EXPECT_TRUE(r.seen.empty());
  EXPECT_EQ(r.stretches.LongestNs(), 500);
}

}  // namespace
}  // namespace evdo
