#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "core/event/Event.h"
#include "core/event/ManualEventLoop.h"

namespace evdo {
namespace {

struct Recorder : WindowHandler {
  std::vector<std::string> log;
  ManualEventLoop* loop = nullptr;
  void OnMessage(MessageId m, WParam w, LParam l) override {
    log.push_back("msg " + std::to_string(m) + "," + std::to_string(w) + "," + std::to_string(l));
  }
  void OnTimer(TimerId id) override {
    log.push_back("timer " + std::to_string(id) + "@" + std::to_string(loop ? loop->Now() : 0));
  }
};

TEST(ManualEventLoop, DeliversPostedMessagesInOrderWithTheirParameters) {
  ManualEventLoop loop;
  Recorder r;
  auto& w = loop.CreateWindow(r);
  w.PostMessage(WM_USER + 25, 3, -1);
  w.PostMessage(WM_USER + 1, 0, 7);
  EXPECT_EQ(loop.PendingMessages(), 2u);
  EXPECT_EQ(loop.RunPending(), 2u);
  EXPECT_EQ(r.log, (std::vector<std::string>{"msg 1049,3,-1", "msg 1025,0,7"}));
}

TEST(ManualEventLoop, TimersRepeatUntilKilledAndRearmingRestartsThePeriod) {
  ManualEventLoop loop;
  Recorder r;
  r.loop = &loop;
  auto& w = loop.CreateWindow(r);
  w.SetTimer(25, 1000);
  loop.Advance(999);
  EXPECT_TRUE(r.log.empty());
  loop.Advance(1);
  loop.Advance(2500);
  EXPECT_EQ(r.log, (std::vector<std::string>{"timer 25@1000", "timer 25@2000", "timer 25@3000"}));
  w.SetTimer(25, 300);  // re-arm from now (3500)
  loop.Advance(300);
  EXPECT_EQ(r.log.back(), "timer 25@3800");
  w.KillTimer(25);
  EXPECT_FALSE(loop.IsTimerArmed(w, 25));
  loop.Advance(10000);
  EXPECT_EQ(r.log.size(), 4u);
}

TEST(ManualEventLoop, InterleavesTimersByDueTimeAcrossWindows) {
  ManualEventLoop loop;
  Recorder a, b;
  a.loop = b.loop = &loop;
  auto& wa = loop.CreateWindow(a);
  auto& wb = loop.CreateWindow(b);
  std::vector<std::string> order;
  struct Chain : WindowHandler {
    std::vector<std::string>* order;
    std::string name;
    void OnMessage(MessageId, WParam, LParam) override {}
    void OnTimer(TimerId id) override { order->push_back(name + std::to_string(id)); }
  } ca, cb;
  ca.order = cb.order = &order;
  ca.name = "a";
  cb.name = "b";
  auto& xa = loop.CreateWindow(ca);
  auto& xb = loop.CreateWindow(cb);
  xa.SetTimer(1, 300);
  xb.SetTimer(2, 200);
  loop.Advance(600);
  // At 600 both are due: the one armed earlier goes first.
  EXPECT_EQ(order, (std::vector<std::string>{"b2", "a1", "b2", "a1", "b2"}));
  (void)wa;
  (void)wb;
}

TEST(ManualEventLoop, MessagesPostedFromHandlersAndOtherThreadsAreDelivered) {
  ManualEventLoop loop;
  struct Poster : WindowHandler {
    WindowPort* self = nullptr;
    int count = 0;
    void OnMessage(MessageId m, WParam, LParam) override {
      ++count;
      if (m == 1) self->PostMessage(2);
    }
    void OnTimer(TimerId) override {}
  } p;
  auto& w = loop.CreateWindow(p);
  p.self = &w;
  std::thread t([&] { w.PostMessage(1); });
  EXPECT_TRUE(loop.WaitForPost(5000));
  t.join();
  loop.RunPending();
  EXPECT_EQ(p.count, 2);
}

TEST(Event, ManualResetStaysSetAutoResetReleasesOneWait) {
  Event manual(Event::Mode::Manual);
  EXPECT_FALSE(manual.Wait(0));
  manual.Set();
  EXPECT_TRUE(manual.Wait(0));
  EXPECT_TRUE(manual.Wait(0));
  manual.Reset();
  EXPECT_FALSE(manual.IsSet());

  Event automatic(Event::Mode::Auto, true);
  EXPECT_TRUE(automatic.Wait(0));
  EXPECT_FALSE(automatic.Wait(0));
}

TEST(Event, InfiniteWaitEndsWhenAnotherThreadSets) {
  Event e(Event::Mode::Auto);
  std::thread t([&] { e.Set(); });
  EXPECT_TRUE(e.Wait(Event::kInfinite));
  t.join();
}

TEST(Event, TimedWaitReturnsFalseWhenNeverSet) {
  Event e(Event::Mode::Manual);
  EXPECT_FALSE(e.Wait(20));
}

}  // namespace
}  // namespace evdo
