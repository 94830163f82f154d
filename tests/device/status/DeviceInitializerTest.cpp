// The initialisation sequence against a scripted modem: each status command
// is answered (after a short latency), times out after its wait, or is
// refused, as the test says. Time is the event loop's manual clock.
#include <gtest/gtest.h>

#include <algorithm>
#include <deque>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "device/status/DeviceInitializer.h"
#include "tests/device/status/StatusTestSupport.h"

namespace evdo {
namespace {

using test::TestBlock;

constexpr std::uint32_t kLatencyMs = 20;
constexpr TimerId kAnswerTimer = 1;

struct Reply {
  CommandOutcome outcome = CommandOutcome::Answered;
  std::vector<std::string> lines{"OK"};
};

Reply Answer(std::initializer_list<std::string> lines) { return {CommandOutcome::Answered, lines}; }
const Reply kTimeout{CommandOutcome::TimedOut, {}};
const Reply kRefused{CommandOutcome::NotWritten, {}};

// Answers status commands from per-command scripts; a command without a
// script left answers "OK" (the service query "+CAD: 1").
class ScriptedModem : public StatusCommandSender, public WindowHandler {
public:
  ScriptedModem(ManualEventLoop& loop, CDeviceStatus& status)
      : window_(loop.CreateWindow(*this)), status_(status) {}

  void Script(StatusCommand c, std::vector<Reply> replies) {
    for (Reply& r : replies) scripts_[c].push_back(std::move(r));
  }
  void Always(StatusCommand c, Reply r) { always_[c] = std::move(r); }

  void Send(StatusCommand command, Done done) override {
    sent.push_back(command);
    Reply reply = Next(command);
    if (reply.outcome == CommandOutcome::NotWritten) {
      done(CommandOutcome::NotWritten);
      return;
    }
    pending_ = {command, reply, std::move(done)};
    window_.SetTimer(kAnswerTimer, reply.outcome == CommandOutcome::TimedOut
                                       ? SpecOf(command).waitMs
                                       : kLatencyMs);
  }
  void EmptyCommandSlot() override { ++slotEmptied; }
  void Cancel() override {
    window_.KillTimer(kAnswerTimer);
    pending_ = {};
    ++cancelled;
  }

  void OnMessage(MessageId, WParam, LParam) override {}
  void OnTimer(TimerId) override {
    window_.KillTimer(kAnswerTimer);
    Pending p = std::move(pending_);
    if (p.reply.outcome == CommandOutcome::Answered) Apply(p.command, p.reply.lines);
    p.done(p.reply.outcome);
  }

  int Count(StatusCommand c) const { return static_cast<int>(std::count(sent.begin(), sent.end(), c)); }

  std::vector<StatusCommand> sent;
  int slotEmptied = 0;
  int cancelled = 0;

private:
  struct Pending {
    StatusCommand command;
    Reply reply;
    Done done;
  };

  Reply Next(StatusCommand c) {
    auto& queue = scripts_[c];
    if (!queue.empty()) {
      Reply r = queue.front();
      queue.pop_front();
      return r;
    }
    if (always_.count(c)) return always_[c];
    if (c == StatusCommand::Service) return Answer({"+CAD: 1", "OK"});
    return Reply{};
  }

  void Apply(StatusCommand c, const std::vector<std::string>& lines) {
    if (auto apply = SpecOf(c).apply) apply(status_, TestBlock(lines).Lines());
  }

  ManualEventLoop::Window& window_;
  CDeviceStatus& status_;
  std::map<StatusCommand, std::deque<Reply>> scripts_;
  std::map<StatusCommand, Reply> always_;
  Pending pending_;
};

using S = StatusCommand;

class DeviceInitializerTest : public ::testing::Test {
protected:
  DeviceInitializerTest()
      : window_(loop_.CreateWindow(recorder_)),
        modem_(loop_, status_),
        self_(loop_.CreateWindow(proxy_)),
        init_(status_, modem_, gate_, self_, setup_) {
    proxy_.target = &init_;
    status_.AttachWindow(window_);
    hooks_.openPicture = [this] { log.push_back("open"); };
    hooks_.showProgress = [this](std::string_view p) { progress.emplace_back(p); };
    hooks_.closePicture = [this] { log.push_back("close"); };
    hooks_.restoreMainWindow = [this] { log.push_back("restore"); };
    hooks_.startPinEntry = [this](std::int16_t s) { log.push_back("pin " + std::to_string(s)); };
    hooks_.quitApplication = [this] { log.push_back("quit"); };
    hooks_.failAndExit = [this](int id) { log.push_back("fail " + std::to_string(id)); };
    hooks_.finished = [this] { log.push_back("finished"); };
    init_.SetHooks(hooks_);
  }

  // Runs until the sequence has ended or limitMs have passed.
  bool RunToEnd(std::uint64_t limitMs = 600000) {
    return loop_.AdvanceUntil([this] { return !init_.IsRunning(); }, limitMs, 10);
  }

  struct Proxy : WindowHandler {
    CDeviceInitializer* target = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { target->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { target->OnTimer(id); }
  };

  const std::vector<S> kSteps{S::Operator, S::NetworkType, S::Roaming,
                              S::Signal,   S::MessageFormat, S::ServiceCentre};

  ManualEventLoop loop_;
  test::StatusRecorder recorder_;
  ManualEventLoop::Window& window_;
  CDeviceStatus status_;
  ScriptedModem modem_;
  Proxy proxy_;
  ManualEventLoop::Window& self_;
  Event gate_{Event::Mode::Manual, true};
  CSetupData setup_;
  CDeviceInitializer init_;
  DeviceInitHooks hooks_;
  std::vector<std::string> log;
  std::vector<std::string> progress;
};

TEST_F(DeviceInitializerTest, ReadyCardRunsEchoServiceCsmssAndTheSixStepsWithTheirDots) {
  modem_.Always(S::Operator, Answer({"-GMI: \"CTC\"", "OK"}));
  modem_.Always(S::Signal, Answer({"20, 99", "OK"}));
  ASSERT_TRUE(init_.InitializeDevice());
  EXPECT_TRUE(status_.IsInitialising());
  EXPECT_FALSE(gate_.IsSet());
  EXPECT_FALSE(init_.InitializeDevice());
  ASSERT_TRUE(RunToEnd());

  std::vector<S> expected{S::EchoOff, S::Service, S::Csmss};
  expected.insert(expected.end(), kSteps.begin(), kSteps.end());
  EXPECT_EQ(modem_.sent, expected);
  EXPECT_EQ(progress, (std::vector<std::string>{".", "..", "...", "...."}));
  EXPECT_EQ(log, (std::vector<std::string>{"open", "close", "finished"}));
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(status_.OperatorText(), "CTC");
  EXPECT_TRUE(gate_.IsSet());
  EXPECT_FALSE(status_.IsInitialising());
  EXPECT_TRUE(status_.initialisedOnce);
  // 200 before echo off, 300 after the check, 50 before each of the seven
  // steps, 500 after the refused one, and the modem's latency per command.
  EXPECT_EQ(loop_.Now(), 200u + 300u + 7u * 50u + 500u + 9u * kLatencyMs);
  loop_.RunPending();
  EXPECT_NE(std::find(recorder_.statuses.begin(), recorder_.statuses.end(), std::pair{0, 3}),
            recorder_.statuses.end());
}

TEST_F(DeviceInitializerTest, SecondRunWaitsFourSecondsAndRestoresTheWindow) {
  status_.initialisedOnce = true;
  init_.InitializeDevice();
  loop_.Advance(3999);
  EXPECT_TRUE(progress.empty());
  loop_.Advance(1);
  EXPECT_EQ(progress, (std::vector<std::string>{"."}));
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(log, (std::vector<std::string>{"open", "close", "restore", "finished"}));
}

TEST_F(DeviceInitializerTest, EchoOffIsTriedTenTimesThenTheSequenceGoesOn) {
  modem_.Always(S::EchoOff, kTimeout);
  init_.InitializeDevice();
  // While the echo-off waits run, the window keeps receiving its messages.
  loop_.Advance(30000);
  window_.PostMessage(WM_USER + 1);
  EXPECT_EQ(loop_.RunPending(), 1u);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::EchoOff), 10);
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
  EXPECT_GE(loop_.Now(), 10u * kEchoOffWaitMs);
}

TEST_F(DeviceInitializerTest, EchoOffStopsAtTheFirstAnswer) {
  modem_.Script(S::EchoOff, {kRefused, kTimeout, Reply{}});
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::EchoOff), 3);
}

TEST_F(DeviceInitializerTest, NoServiceRepeatsEvery500MsUntilTheCardIsReady) {
  for (int i = 0; i < 5; ++i) modem_.Script(S::Service, {Answer({"+CAD: 0", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return modem_.Count(S::Service) == 2; }, 100000, 1));
  std::uint64_t second = loop_.Now();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return modem_.Count(S::Service) == 3; }, 100000, 1));
  EXPECT_EQ(loop_.Now() - second, kServiceRepeatMs + kLatencyMs);
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::Service), 6);
  EXPECT_EQ(modem_.slotEmptied, 5);
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
}

TEST_F(DeviceInitializerTest, EverySixtiethRepetitionAsksWhetherToQuit) {
  modem_.Always(S::Service, Answer({"+CAD: 0", "OK"}));
  std::vector<std::function<void(bool)>> questions;
  hooks_.askQuit = [&](int id, std::function<void(bool)> answer) {
    EXPECT_EQ(id, kMsgNoServiceQuit);
    questions.push_back(std::move(answer));
  };
  init_.SetHooks(hooks_);
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return !questions.empty(); }, 100000));
  EXPECT_EQ(modem_.Count(S::Service), 61);  // the first query and 60 repetitions
  // While the question is open nothing more is sent.
  loop_.Advance(10000);
  EXPECT_EQ(modem_.Count(S::Service), 61);
  questions.back()(false);
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return questions.size() == 2; }, 100000));
  EXPECT_EQ(modem_.Count(S::Service), 121);
  questions.back()(true);
  EXPECT_FALSE(init_.IsRunning());
  EXPECT_EQ(log.back(), "quit");
  loop_.Advance(10000);
  EXPECT_EQ(modem_.Count(S::Service), 121);
}

TEST_F(DeviceInitializerTest, PinRequiredStartsTheEntryAndWaitsResponsivelyForTheReadyState) {
  modem_.Script(S::Service, {Answer({"+CPIN: SIM PIN", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return !log.empty() && log.back() == "pin 20"; }, 10000));
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOn);
  loop_.Advance(3600000);
  window_.PostMessage(WM_USER + 1);
  EXPECT_EQ(loop_.RunPending(), 1u);
  EXPECT_TRUE(init_.IsRunning());
  EXPECT_EQ(modem_.Count(S::Csmss), 0);
  status_.Pin().simState = kSimStateReady;  // PIN management accepted the PIN
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::Csmss), 1);
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
  EXPECT_EQ(progress.back(), "....");
}

TEST_F(DeviceInitializerTest, PukRequiredWaitsUntilTheCardIsDestroyedThenFails) {
  setup_.Main_nCall = 1;
  modem_.Script(S::Service, {Answer({"+CPIN: SIM PUK", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return !log.empty() && log.back() == "pin 21"; }, 10000));
  status_.Pin().simState = kSimStateDestroyed;
  ASSERT_TRUE(RunToEnd());
  // The check failed but the service query itself was answered: the steps
  // still run, after the failed check's dot and 2000 ms.
  EXPECT_EQ(modem_.Count(S::Csmss), 0);
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
  EXPECT_EQ(progress, (std::vector<std::string>{".", "..", "...", "...."}));
}

TEST_F(DeviceInitializerTest, GivingUpThePinEntryFailsTheCheck) {
  setup_.Main_nCall = 0;
  modem_.Script(S::Service, {Answer({"SIM PIN", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return !log.empty() && log.back() == "pin 20"; }, 10000));
  init_.PinEntryEnded();
  loop_.Advance(1999);
  EXPECT_TRUE(init_.IsRunning());
  loop_.Advance(1);
  EXPECT_FALSE(init_.IsRunning());
  EXPECT_EQ(log.back(), "fail 380");
}

TEST_F(DeviceInitializerTest, UnansweredServiceQueryEndsTheApplicationWhenCallsAreOff) {
  setup_.Main_nCall = 0;
  modem_.Always(S::Service, kTimeout);
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(log.back(), "fail 380");
  EXPECT_EQ(modem_.Count(S::Operator), 0);
}

// Suspend at any point of the sequence (a command outstanding, a wait
// armed, the card awaited): it stops without deciding anything and without
// calling any hook but the picture's close, and starts afresh afterwards.
class DeviceInitializerAbortTest : public DeviceInitializerTest,
                                   public ::testing::WithParamInterface<std::uint64_t> {};

TEST_P(DeviceInitializerAbortTest, AbortStopsTheSequenceAndItCanStartAgain) {
  setup_.Main_nCall = 0;
  modem_.Always(S::Service, Answer({"+CAD: 0", "OK"}));
  ASSERT_TRUE(init_.InitializeDevice());
  loop_.Advance(GetParam());
  ASSERT_TRUE(init_.IsRunning());
  const std::size_t sent = modem_.sent.size();
  log.clear();
  init_.Abort();
  EXPECT_FALSE(init_.IsRunning());
  EXPECT_FALSE(status_.IsInitialising());
  EXPECT_TRUE(gate_.IsSet());
  EXPECT_EQ(log, (std::vector<std::string>{"close"}));
  loop_.Advance(600000);
  EXPECT_EQ(modem_.sent.size(), sent);
  EXPECT_EQ(log, (std::vector<std::string>{"close"}));
  // Resume: the sequence runs again from its start.
  modem_.Always(S::Service, Answer({"+CAD: 1", "OK"}));
  log.clear();
  modem_.sent.clear();
  ASSERT_TRUE(init_.InitializeDevice());
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.sent.front(), S::EchoOff);
  EXPECT_EQ(log.back(), "finished");
}

// 0: the first progress wait; 205: echo off outstanding; 235: the service
// query outstanding; 300: a 500 ms no-service wait.
INSTANTIATE_TEST_SUITE_P(Moments, DeviceInitializerAbortTest, ::testing::Values(0, 205, 235, 300));

TEST_F(DeviceInitializerTest, AbortWhileTheCardIsAwaitedStopsWatchingIt) {
  modem_.Script(S::Service, {Answer({"+CAD: SIM PIN", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return !log.empty() && log.back() == "pin 20"; }, 10000));
  init_.Abort();
  status_.Pin().simState = kSimStateReady;
  loop_.Advance(10000);
  init_.PinEntryEnded();
  EXPECT_FALSE(init_.IsRunning());
  EXPECT_EQ(modem_.Count(S::Csmss), 0);
}

TEST_F(DeviceInitializerTest, UnansweredServiceQueryWithCallsOnSkipsTheSteps) {
  setup_.Main_nCall = 1;
  modem_.Always(S::Service, kTimeout);
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(init_.LastServiceOutcome(), CommandOutcome::TimedOut);
  EXPECT_EQ(modem_.sent, (std::vector<S>{S::EchoOff, S::Service}));
  EXPECT_EQ(progress, (std::vector<std::string>{".", "..", "..."}));
  EXPECT_EQ(log, (std::vector<std::string>{"open", "close", "finished"}));
  EXPECT_TRUE(gate_.IsSet());
}

TEST_F(DeviceInitializerTest, UnusableCardFailsTheCheckButTheStepsRun) {
  setup_.Main_nCall = 1;
  modem_.Script(S::Service, {Answer({"+CAD: 5", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateUnusable);
  EXPECT_EQ(modem_.Count(S::Csmss), 0);
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
}

TEST_F(DeviceInitializerTest, AFailingStepEndsTheStepsWithADot) {
  modem_.Always(S::Roaming, kTimeout);
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.sent, (std::vector<S>{S::EchoOff, S::Service, S::Csmss, S::Operator,
                                         S::NetworkType, S::Roaming}));
  EXPECT_EQ(progress.back(), "....");
}

// Malformed answers give defined values and the sequence goes on.
TEST_F(DeviceInitializerTest, MalformedAnswersDoNotStopTheSequence) {
  modem_.Always(S::Operator, Answer({"-GMI: \"\"", "OK"}));
  modem_.Always(S::NetworkType, Answer({"$NWRAT: 9", "OK"}));
  modem_.Always(S::Roaming, Answer({"$ROAM:", "OK"}));
  modem_.Always(S::Signal, Answer({"123456", "OK"}));
  modem_.Always(S::ServiceCentre, Answer({"+CSCA: \"", "OK"}));
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::ServiceCentre), 1);
  EXPECT_EQ(status_.OperatorText(), "");
  EXPECT_EQ(status_.networkStatus.load(), 9);
  loop_.RunPending();
  test::Statuses expected{{5, 1}, {8, 0}, {0, 6}, {5, 0}};
  EXPECT_EQ(recorder_.statuses, expected);
}

// An answer the service query cannot read leaves the state unset; it is
// asked again rather than waited for without end.
TEST_F(DeviceInitializerTest, UnreadableServiceAnswerIsAskedAgain) {
  modem_.Script(S::Service, {Answer({"+CAD: ?", "OK"}), Answer({"+CAD: 3", "OK"})});
  init_.InitializeDevice();
  ASSERT_TRUE(RunToEnd());
  EXPECT_EQ(modem_.Count(S::Service), 3);
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
}

}  // namespace
}  // namespace evdo
