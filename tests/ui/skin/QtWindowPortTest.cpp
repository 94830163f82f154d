#include <gtest/gtest.h>

#include <QTest>
#include <QThread>

#include <atomic>
#include <thread>
#include <vector>

#include "tests/ui/skin/QtTestSupport.h"
#include "ui/event/QtWindowPort.h"

namespace evdo {
namespace {

struct Received {
  MessageId message;
  WParam wParam;
  LParam lParam;
};

class RecordingHandler : public WindowHandler {
public:
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override {
    if (QThread::currentThread() != test::App().thread()) wrongThread = true;
    messages.push_back({message, wParam, lParam});
  }
  void OnTimer(TimerId timerId) override {
    timers.push_back(timerId);
    if (onTimer) onTimer(timerId);
  }
  std::vector<Received> messages;
  std::vector<TimerId> timers;
  std::function<void(TimerId)> onTimer;
  bool wrongThread = false;
};

class QtWindowPortTest : public ::testing::Test {
protected:
  void SetUp() override { test::App(); }
  RecordingHandler handler;
};

TEST_F(QtWindowPortTest, PostedMessagesArriveInOrderOnlyFromTheEventLoop) {
  QtWindowPort port(handler);
  for (int i = 0; i < 50; ++i) port.PostMessage(WM_USER + 25, static_cast<WParam>(i), -i);
  EXPECT_TRUE(handler.messages.empty());  // queued, never delivered inside PostMessage
  QCoreApplication::processEvents();
  ASSERT_EQ(handler.messages.size(), 50u);
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(handler.messages[i].message, WM_USER + 25);
    EXPECT_EQ(handler.messages[i].wParam, static_cast<WParam>(i));
    EXPECT_EQ(handler.messages[i].lParam, -i);
  }
}

TEST_F(QtWindowPortTest, MessagesFromOtherThreadsKeepEachThreadsOrder) {
  QtWindowPort port(handler);
  constexpr int kThreads = 3;
  constexpr int kEach = 2000;
  std::vector<std::thread> threads;
  for (int t = 0; t < kThreads; ++t)
    threads.emplace_back([&port, t] {
      for (int i = 0; i < kEach; ++i) port.PostMessage(WM_USER + 1 + t, static_cast<WParam>(i));
    });
  port.PostMessage(WM_USER, 7);
  for (auto& thread : threads) thread.join();
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.messages.size() == kThreads * kEach + 1; }, 5000));
  EXPECT_FALSE(handler.wrongThread);
  std::vector<WParam> next(kThreads, 0);
  for (const auto& m : handler.messages) {
    if (m.message == WM_USER) continue;
    int t = static_cast<int>(m.message - WM_USER - 1);
    ASSERT_EQ(m.wParam, next[t]) << "thread " << t;
    ++next[t];
  }
}

TEST_F(QtWindowPortTest, PendingMessagesDieWithThePort) {
  {
    QtWindowPort port(handler);
    port.PostMessage(WM_USER + 1);
    port.PostMessage(WM_USER + 2);
  }
  QCoreApplication::processEvents();
  EXPECT_TRUE(handler.messages.empty());
}

TEST_F(QtWindowPortTest, TimerFiresUntilKilled) {
  QtWindowPort port(handler);
  port.SetTimer(6, 10);
  EXPECT_TRUE(port.IsTimerArmed(6));
  ASSERT_TRUE(QTest::qWaitFor([&] { return handler.timers.size() >= 3; }, 5000));
  for (TimerId id : handler.timers) EXPECT_EQ(id, 6u);
  port.KillTimer(6);
  EXPECT_FALSE(port.IsTimerArmed(6));
  std::size_t fired = handler.timers.size();
  QTest::qWait(60);
  EXPECT_EQ(handler.timers.size(), fired);
}

TEST_F(QtWindowPortTest, RearmingReplacesTheTimer) {
  QtWindowPort port(handler);
  port.SetTimer(25, 600000);
  port.SetTimer(25, 10);
  port.SetTimer(55, 600000);
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.timers.empty(); }, 5000));
  EXPECT_EQ(handler.timers.front(), 25u);
  // Re-armed from its own expiry to a long period: it does not fire again soon.
  handler.onTimer = [&](TimerId id) { port.SetTimer(id, 600000); };
  handler.timers.clear();
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.timers.empty(); }, 5000));
  QTest::qWait(60);
  EXPECT_EQ(handler.timers.size(), 1u);
  EXPECT_TRUE(port.IsTimerArmed(25));
  EXPECT_TRUE(port.IsTimerArmed(55));
}

TEST_F(QtWindowPortTest, TimerCanBeKilledFromItsOwnExpiry) {
  QtWindowPort port(handler);
  handler.onTimer = [&](TimerId id) { port.KillTimer(id); };
  port.SetTimer(64, 1);  // shorter than the shortest period: fires at the shortest
  ASSERT_TRUE(QTest::qWaitFor([&] { return !handler.timers.empty(); }, 5000));
  QTest::qWait(40);
  EXPECT_EQ(handler.timers.size(), 1u);
  EXPECT_FALSE(port.IsTimerArmed(64));
  port.KillTimer(99);  // never armed: nothing happens
}

}  // namespace
}  // namespace evdo
