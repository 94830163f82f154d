// The command contract helper: waiting on an event, on a window timer, and
// giving up.
#include <gtest/gtest.h>

#include "core/event/ManualEventLoop.h"
#include "tests/support/LinkFixture.h"

namespace evdo {
namespace {

using test::LinkFixture;

constexpr MessageId kAnswered = WM_USER + 1;
constexpr TimerId kGuardTimer = 9;
constexpr std::uint32_t kGuardMs = 5000;

// A window that sends one command guarded by a timer.
class CommandWindow : public WindowHandler {
public:
  CommandWindow(CCommandExchange& exchange, ManualEventLoop& loop)
      : exchange_(exchange), window_(loop.CreateWindow(*this)) {}

  bool Send(const char* command) {
    return exchange_.SendWithTimer(command, &OnAnswer, this, window_, kGuardTimer, kGuardMs, false);
  }
  void OnMessage(MessageId message, WParam, LParam) override {
    if (message != kAnswered) return;
    CCommandExchange::Finish(window_, kGuardTimer);
    ++answers;
  }
  void OnTimer(TimerId id) override {
    if (id != kGuardTimer) return;
    exchange_.GiveUp(window_, kGuardTimer);
    ++timeouts;
  }
  static void OnAnswer(void* context, const LineCell*, std::uint16_t) {
    auto* self = static_cast<CommandWindow*>(context);
    self->window_.PostMessage(kAnswered);
  }

  ManualEventLoop::Window& Window() { return window_; }
  int answers = 0;
  int timeouts = 0;

private:
  CCommandExchange& exchange_;
  ManualEventLoop::Window& window_;
};

class CommandExchangeTest : public LinkFixture {
protected:
  ManualEventLoop loop_;
};

TEST_F(CommandExchangeTest, WindowTimerIsStoppedWhenTheAnswerComes) {
  CommandWindow window(exchange_, loop_);
  ASSERT_TRUE(window.Send("AT\r"));
  EXPECT_TRUE(loop_.IsTimerArmed(window.Window(), kGuardTimer));
  ASSERT_TRUE(loop_.WaitForPost(10000));
  loop_.RunPending();
  EXPECT_EQ(window.answers, 1);
  EXPECT_FALSE(loop_.IsTimerArmed(window.Window(), kGuardTimer));
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
}

TEST_F(CommandExchangeTest, WindowTimerGivesUpOnSilence) {
  Control("fault silent");
  CommandWindow window(exchange_, loop_);
  ASSERT_TRUE(window.Send("AT\r"));
  EXPECT_EQ(port_.GetState(), CSerialPort::Busy);
  // Each write purges what the port has not sent yet: let the modem take
  // this command before the clock runs out for it.
  ASSERT_TRUE(modem_.WaitForCommands(1, 10000));
  loop_.Advance(kGuardMs);
  EXPECT_EQ(window.timeouts, 1);
  EXPECT_FALSE(loop_.IsTimerArmed(window.Window(), kGuardTimer));
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  // The next command goes through.
  ASSERT_TRUE(window.Send("AT\r"));
  ASSERT_TRUE(loop_.WaitForPost(10000));
  loop_.RunPending();
  EXPECT_EQ(window.answers, 1);
}

TEST_F(CommandExchangeTest, SecondCommandWhileOneIsOutstandingIsNotWritten) {
  CommandWindow window(exchange_, loop_);
  Control("fault silent");
  ASSERT_TRUE(window.Send("AT\r"));
  CommandReply reply;
  EXPECT_EQ(exchange_.Transact("AT\r", reply, 100, false), CommandOutcome::NotWritten);
  EXPECT_EQ(reply.lineCount, 0u);
  exchange_.GiveUp(window.Window(), kGuardTimer);
}

TEST_F(CommandExchangeTest, SendAndWaitReportsAnsweredAndTimedOut) {
  Event answered(Event::Mode::Auto);
  auto setEvent = [](void* context, const LineCell*, std::uint16_t) {
    static_cast<Event*>(context)->Set();
  };
  EXPECT_EQ(exchange_.SendAndWait("AT\r", setEvent, &answered, answered, 10000, false),
            CommandOutcome::Answered);
  Control("fault silent");
  EXPECT_EQ(exchange_.SendAndWait("AT\r", setEvent, &answered, answered, 200, false),
            CommandOutcome::TimedOut);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  // A stale signal from before is not taken for the next answer.
  answered.Set();
  Control("fault silent");
  EXPECT_EQ(exchange_.SendAndWait("AT\r", setEvent, &answered, answered, 200, false),
            CommandOutcome::TimedOut);
}

}  // namespace
}  // namespace evdo
