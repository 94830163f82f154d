#include <gtest/gtest.h>

#include <atomic>
#include <thread>

#include "core/event/Event.h"

namespace evdo {
namespace {

TEST(EventWaitAnyTest, ReturnsFirstSetEventAndResetsAutoEvents) {
  Event manual(Event::Mode::Manual), autoReset(Event::Mode::Auto);
  autoReset.Set();
  manual.Set();
  EXPECT_EQ(Event::WaitAny({&autoReset, &manual}, 0), 0);
  EXPECT_FALSE(autoReset.IsSet());
  EXPECT_EQ(Event::WaitAny({&autoReset, &manual}, 0), 1);
  EXPECT_TRUE(manual.IsSet());
}

TEST(EventWaitAnyTest, TimesOutWhenNothingIsSet) {
  Event a(Event::Mode::Auto), b(Event::Mode::Manual);
  EXPECT_EQ(Event::WaitAny({&a, &b}, 20), Event::kTimedOut);
}

TEST(EventWaitAnyTest, WakesWhenAnotherThreadSetsOne) {
  Event a(Event::Mode::Auto), b(Event::Mode::Auto);
  std::thread setter([&] { b.Set(); });
  EXPECT_EQ(Event::WaitAny({&a, &b}, Event::kInfinite), 1);
  setter.join();
  EXPECT_FALSE(b.IsSet());
}

TEST(EventWaitAnyTest, AutoEventWakesOnlyOneOfTwoWaiters) {
  Event shared(Event::Mode::Auto), stop(Event::Mode::Manual);
  std::atomic<int> woken{0};
  Event oneWoke(Event::Mode::Manual);
  auto waiter = [&] {
    if (Event::WaitAny({&shared, &stop}, Event::kInfinite) == 0) {
      ++woken;
      oneWoke.Set();
    }
  };
  std::thread first(waiter), second(waiter);
  shared.Set();
  ASSERT_TRUE(oneWoke.Wait(10000));
  stop.Set();
  first.join();
  second.join();
  EXPECT_EQ(woken.load(), 1);
}

}  // namespace
}  // namespace evdo
