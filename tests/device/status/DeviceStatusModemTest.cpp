// The device status sequences against the simulated modem: the real serial
// port on the modem's pseudo-terminal, the dispatcher's threads, and the
// event loop's manual clock for every wait of the user-interface side.
#include <gtest/gtest.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "platform/PosixSerialDevice.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "device/status/DeviceInitializer.h"
#include "device/status/NotificationHandlers.h"
#include "device/status/StatusCommands.h"
#include "tests/device/status/StatusTestSupport.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo {
namespace {

// Real time the loop waits for a post at each manual step.
constexpr int kRealWaitMs = 2;

class DeviceStatusModemTest : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
    setup_.Main_nCall = 1;
    SerialPortHooks hooks;
    hooks.isInitialising = [this] { return status_.IsInitialising(); };
    hooks.showMessage = [this](int id) { refusals_.push_back(id); };
    port_.SetHooks(hooks);
    ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
    dispatcher_.SetDispatchObserver([this](const DispatchRecord& r) {
      if (!r.delivered) ++discarded_;
    });
    ASSERT_TRUE(dispatcher_.StartThreads());
    status_.AttachWindow(mainWindow_);
    RegisterNotificationHandlers(dispatcher_, status_);

    DeviceInitHooks h;
    h.showProgress = [this](std::string_view p) { progress_.emplace_back(p); };
    h.startPinEntry = [this](std::int16_t s) { pinEntries_.push_back(s); };
    h.failAndExit = [this](int id) { failed_ = id; };
    initializer_.SetHooks(h);
  }

  void TearDown() override {
    dispatcher_.Shutdown();
    port_.Close();
    modem_.Stop();
  }

  void Control(const std::string& line) { ASSERT_EQ(modem_.Control(line), "OK\n") << line; }

  bool Until(const std::function<bool()>& pred, std::uint64_t limitMs = 120000,
             std::uint64_t stepMs = 10) {
    return loop_.AdvanceUntil(pred, limitMs, stepMs, kRealWaitMs);
  }
  bool RunInitialisation(std::uint64_t limitMs = 120000, std::uint64_t stepMs = 10) {
    if (!initializer_.InitializeDevice()) return false;
    return Until([this] { return !initializer_.IsRunning(); }, limitMs, stepMs);
  }

  int Sent(const std::string& command) {
    std::string history = modem_.Control("history");
    int n = 0;
    for (std::size_t at = 0; (at = history.find(command + "\n", at)) != std::string::npos; ++at) ++n;
    return n;
  }

  bool Posted(int kind, int value) {
    loop_.RunPending();
    auto& s = recorder_.statuses;
    return std::find(s.begin(), s.end(), std::pair{kind, value}) != s.end();
  }

  // Members in the order they are built; torn down in TearDown first.
  modemsim::SimulatedModem modem_;
  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  CCommandExchange exchange_{port_, dispatcher_};
  ManualEventLoop loop_;
  test::StatusRecorder recorder_;
  ManualEventLoop::Window& mainWindow_ = loop_.CreateWindow(recorder_);
  CDeviceStatus status_;
  // Routes to both and keeps the longest time the user-interface thread
  // spent in one of them.
  struct Route : WindowHandler {
    WindowHandler* a = nullptr;
    WindowHandler* b = nullptr;
    std::chrono::steady_clock::duration longest{};
    template <class F>
    void Timed(F f) {
      auto start = std::chrono::steady_clock::now();
      f(*a);
      f(*b);
      longest = std::max(longest, std::chrono::steady_clock::now() - start);
    }
    void OnMessage(MessageId m, WParam w, LParam l) override {
      Timed([&](WindowHandler& h) { h.OnMessage(m, w, l); });
    }
    void OnTimer(TimerId id) override {
      Timed([&](WindowHandler& h) { h.OnTimer(id); });
    }
  } route_;
  // One window for the status commands and the sequence, as the main window
  // routes them.
  ManualEventLoop::Window& self_ = loop_.CreateWindow(route_);
  CStatusCommands commands_{status_, exchange_, dispatcher_, self_};
  CDeviceInitializer initializer_{status_, commands_, dispatcher_.NotificationGate(), self_, setup_};
  bool routed_ = [this] {
    route_.a = &commands_;
    route_.b = &initializer_;
    return true;
  }();

  std::atomic<int> discarded_{0};
  std::vector<std::string> progress_;
  std::vector<std::int16_t> pinEntries_;
  std::vector<int> refusals_;
  int failed_ = 0;
};

TEST_F(DeviceStatusModemTest, ReadyCardFillsTheStatusRecord) {
  Control("devstatus operator CTC");
  Control("devstatus signal 20");
  Control("devstatus roam 1");
  Control("devstatus csmss 3");
  ASSERT_TRUE(RunInitialisation());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOff);
  EXPECT_EQ(status_.OperatorText(), "CTC");
  EXPECT_EQ(status_.networkStatus.load(), 2);
  EXPECT_EQ(status_.roaming.load(), 1);
  EXPECT_EQ(status_.csmssValue.load(), 3);
  EXPECT_EQ(ServiceCentreText(), "+8613800100500");
  EXPECT_TRUE(Posted(0, 3));
  EXPECT_TRUE(Posted(5, 1));
  EXPECT_TRUE(Posted(8, 2));
  EXPECT_TRUE(Posted(2, 1));
  EXPECT_EQ(progress_.back(), "....");
  EXPECT_EQ(Sent("AT+CMGF=1"), 1);
  EXPECT_TRUE(dispatcher_.NotificationGate().IsSet());
  EXPECT_FALSE(status_.IsInitialising());
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_TRUE(refusals_.empty());
  EXPECT_LT(route_.longest, std::chrono::milliseconds(100));
}

TEST_F(DeviceStatusModemTest, NoServiceThenReadyRepeatsTheServiceQuery) {
  Control("devstatus card noservice");
  ASSERT_TRUE(initializer_.InitializeDevice());
  ASSERT_TRUE(Until([this] { return Sent("AT+CAD?") >= 4; }));
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateNoService);
  Control("devstatus card ready");
  ASSERT_TRUE(Until([this] { return !initializer_.IsRunning(); }));
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(Sent("AT+CSCA?"), 1);
}

// Suspend in the middle of the no-service loop: the sequence stops with the
// port, nothing more is sent or decided (with calls off a failed check would
// end the program), and the sequence after resume is accepted.
TEST_F(DeviceStatusModemTest, SuspendStopsTheSequenceAndResumeRunsItAgain) {
  setup_.Main_nCall = 0;
  Control("devstatus card noservice");
  ASSERT_TRUE(initializer_.InitializeDevice());
  ASSERT_TRUE(Until([this] { return Sent("AT+CAD?") >= 3; }));
  // Suspend: the main window stops the sequence, then closes the port.
  initializer_.Abort();
  port_.Close();
  const int sentAtSuspend = Sent("AT+CAD?");
  EXPECT_FALSE(initializer_.IsRunning());
  EXPECT_FALSE(status_.IsInitialising());
  EXPECT_TRUE(dispatcher_.NotificationGate().IsSet());
  loop_.AdvanceUntil([] { return false; }, 200000, 100, kRealWaitMs);
  EXPECT_EQ(failed_, 0);
  EXPECT_EQ(port_.GetState(), CSerialPort::Closed);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  EXPECT_EQ(Sent("AT+CAD?"), sentAtSuspend);
  // Resume.
  Control("devstatus card ready");
  ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
  status_.Pin().simState = kSimStateResumed;
  ASSERT_TRUE(RunInitialisation());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(failed_, 0);
  EXPECT_EQ(Sent("AT+CSCA?"), 1);
}

// Suspend while a status command waits for an answer that never comes: the
// command is dropped without its give-up touching the closed port, and its
// caller hears nothing more.
TEST_F(DeviceStatusModemTest, SuspendDropsAnOutstandingStatusCommand) {
  Control("fault silent 1");
  int calls = 0;
  commands_.Send(StatusCommand::Signal, [&](CommandOutcome) { ++calls; });
  ASSERT_TRUE(commands_.IsOutstanding());
  commands_.Cancel();
  port_.Close();
  EXPECT_FALSE(commands_.IsOutstanding());
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  loop_.AdvanceUntil([] { return false; }, 2 * kStatusWaitMs, 100, kRealWaitMs);
  EXPECT_EQ(calls, 0);
  EXPECT_EQ(port_.GetState(), CSerialPort::Closed);
}

// A give-up that comes after the port was closed leaves it Closed.
TEST_F(DeviceStatusModemTest, GiveUpAfterCloseLeavesThePortClosed) {
  Control("fault silent 1");
  CommandOutcome outcome = CommandOutcome::Answered;
  commands_.Send(StatusCommand::Signal, [&](CommandOutcome o) { outcome = o; });
  port_.Close();
  loop_.AdvanceUntil([] { return false; }, kStatusWaitMs + 100, 100, kRealWaitMs);
  EXPECT_EQ(outcome, CommandOutcome::TimedOut);
  EXPECT_EQ(port_.GetState(), CSerialPort::Closed);
}

TEST_F(DeviceStatusModemTest, PinRequiredWaitsForTheEntryThenRunsTheSteps) {
  Control("devstatus card pin");
  ASSERT_TRUE(initializer_.InitializeDevice());
  ASSERT_TRUE(Until([this] { return !pinEntries_.empty(); }));
  EXPECT_EQ(pinEntries_[0], kSimStatePinRequired);
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOn);
  // The window stays responsive while the entry is open.
  loop_.Advance(60000);
  mainWindow_.PostMessage(WM_USER + 1);
  EXPECT_EQ(loop_.RunPending(), 1u);
  EXPECT_EQ(Sent("AT$CSMSS?"), 0);
  // PIN management accepts the PIN.
  Control("devstatus card ready");
  status_.Pin().simState = kSimStateReady;
  ASSERT_TRUE(Until([this] { return !initializer_.IsRunning(); }));
  EXPECT_EQ(Sent("AT$CSMSS?"), 1);
  EXPECT_EQ(Sent("AT+CSCA?"), 1);
}

TEST_F(DeviceStatusModemTest, PukRequiredEndsTheApplicationWhenTheCardIsDestroyedAndCallsAreOff) {
  setup_.Main_nCall = 0;
  Control("devstatus card puk");
  ASSERT_TRUE(initializer_.InitializeDevice());
  ASSERT_TRUE(Until([this] { return !pinEntries_.empty(); }));
  EXPECT_EQ(pinEntries_[0], kSimStatePukRequired);
  status_.Pin().simState = kSimStateDestroyed;
  ASSERT_TRUE(Until([this] { return !initializer_.IsRunning(); }));
  EXPECT_EQ(failed_, kMsgServiceCheckFailed);
  EXPECT_EQ(Sent("AT+GMI"), 0);
}

TEST_F(DeviceStatusModemTest, SilentModemTakesEveryTimeOutAndTheWindowStaysResponsive) {
  Control("fault silent 1000");
  ASSERT_TRUE(initializer_.InitializeDevice());
  ASSERT_TRUE(Until([this] { return Sent("ATE0") == 3; }, 200000, 100));
  mainWindow_.PostMessage(WM_USER + 1);
  EXPECT_EQ(loop_.RunPending(), 1u);
  // Ten echo-off attempts of 8000 ms and one service query of 30000 ms.
  ASSERT_TRUE(Until([this] { return !initializer_.IsRunning(); }, 200000, 100));
  EXPECT_GE(loop_.Now(), 10u * kEchoOffWaitMs + kStatusWaitMs);
  EXPECT_EQ(Sent("ATE0"), 10);
  EXPECT_EQ(Sent("AT+CAD?"), 1);
  EXPECT_EQ(Sent("AT+GMI"), 0);
  EXPECT_EQ(initializer_.LastServiceOutcome(), CommandOutcome::TimedOut);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_TRUE(refusals_.empty());
  EXPECT_LT(route_.longest, std::chrono::milliseconds(100));
}

TEST_F(DeviceStatusModemTest, MalformedAnswersGiveDefinedValuesAndTheSequenceGoesOn) {
  Control("devstatus operator");
  Control("devstatus nwrat 7 1");
  Control("devstatus csca");
  ASSERT_TRUE(RunInitialisation());
  EXPECT_EQ(status_.OperatorText(), "");
  EXPECT_EQ(status_.networkStatus.load(), 7);
  EXPECT_TRUE(Posted(8, 0));
  EXPECT_EQ(ServiceCentreText(), "");
  EXPECT_EQ(Sent("AT+CSCA?"), 1);
}

TEST_F(DeviceStatusModemTest, NotificationsReachTheRecordAndTheWindow) {
  ASSERT_TRUE(RunInitialisation());
  recorder_.statuses.clear();
  Control("devstatus signal 31");
  Control("devstatus operator Demo Telecom");
  Control("devstatus nwrat 1 0");
  Control("devstatus roam 2");
  Control("devstatus srv 0");
  Control("devstatus csmss 5");
  for (const char* what : {"plmn", "rssi", "netstatus", "netservice", "roaming", "srv", "csmss"}) {
    Control(std::string("devstatus emit ") + what);
  }
  ASSERT_TRUE(Until([this] { return status_.csmssValue.load() == 5; }, 10000));
  ASSERT_TRUE(Until([this] { return recorder_.statuses.size() >= 7; }, 10000));
  EXPECT_EQ(recorder_.statuses,
            (test::Statuses{{5, 1}, {0, 5}, {5, 1}, {1, 1}, {8, 1}, {2, 2}, {6, 0}}));
  EXPECT_EQ(status_.OperatorText(), "Demo Telecom");
  EXPECT_EQ(status_.serviceStatus.load(), 0);
}

TEST_F(DeviceStatusModemTest, CommandsGiveUpAfterTheirWaitAndALateAnswerIsDiscarded) {
  dispatcher_.SetCommandArmWaitMs(50);
  Control("fault delay 300 1");
  CommandOutcome outcome = CommandOutcome::NotWritten;
  bool done = false;
  commands_.Send(StatusCommand::Signal, [&](CommandOutcome o) {
    outcome = o;
    done = true;
  });
  // The modem answers after 300 ms of real time; the manual clock runs out
  // the 30000 ms wait first.
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return done; }, 40000, 1000));
  EXPECT_EQ(outcome, CommandOutcome::TimedOut);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  // The late answer finds the command slot empty and is dropped unread.
  ASSERT_TRUE(Until([&] { return discarded_.load() == 1; }, 1000000, 1));
  EXPECT_FALSE(Posted(0, 3));
  // The next command is answered normally.
  done = false;
  commands_.SendStatusCommand("AT\r", [&](CommandOutcome o) {
    outcome = o;
    done = true;
  });
  ASSERT_TRUE(Until([&] { return done; }, 40000));
  EXPECT_EQ(outcome, CommandOutcome::Answered);
}

TEST_F(DeviceStatusModemTest, CommandsAreRefusedWhileAnotherIsOutstanding) {
  std::vector<CommandOutcome> outcomes;
  commands_.Send(StatusCommand::Roaming, [&](CommandOutcome o) { outcomes.push_back(o); });
  commands_.Send(StatusCommand::Signal, [&](CommandOutcome o) { outcomes.push_back(o); });
  EXPECT_EQ(outcomes, (std::vector<CommandOutcome>{CommandOutcome::NotWritten}));
  ASSERT_TRUE(Until([&] { return outcomes.size() == 2; }, 40000));
  EXPECT_EQ(outcomes[1], CommandOutcome::Answered);
}

TEST_F(DeviceStatusModemTest, OperatorNameQueryFillsTheTextWithoutWaiting) {
  Control("devstatus operator CTC");
  // The answer waits long enough for the second query to find the port busy.
  Control("fault delay 300 1");
  ASSERT_TRUE(commands_.QueryOperatorName());
  EXPECT_FALSE(commands_.QueryOperatorName());  // the port is busy
  EXPECT_TRUE(refusals_.empty());               // and says nothing
  ASSERT_TRUE(Until([&] { return status_.OperatorText() == "CTC"; }, 10000));
  EXPECT_TRUE(Posted(5, 1));
}

// A "+CSMSS:" line while the CSMSS query waits updates the value but does not
// end the query: only its own answer or its time-out does, so the port is
// not left Busy behind it.
TEST_F(DeviceStatusModemTest, CsmssNotificationDoesNotEndTheCsmssQuery) {
  Control("fault silent 1");
  bool done = false;
  CommandOutcome outcome = CommandOutcome::NotWritten;
  commands_.Send(StatusCommand::Csmss, [&](CommandOutcome o) {
    outcome = o;
    done = true;
  });
  Control("devstatus csmss 6");
  Control("devstatus emit csmss");
  ASSERT_TRUE(Until([&] { return status_.csmssValue.load() == 6; }, 20000));
  EXPECT_FALSE(done);
  ASSERT_TRUE(Until([&] { return done; }, 40000, 100));
  EXPECT_EQ(outcome, CommandOutcome::TimedOut);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
}

}  // namespace
}  // namespace evdo
