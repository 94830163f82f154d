// The dispatcher's routing, relays, queue and handler table, fed bytes
// directly (the parser's work without its thread).
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <set>
#include <thread>

#include "device/AtDispatcher.h"
#include "tests/support/BlockRecorder.h"
#include "tests/device/FakeSerialDevice.h"

namespace evdo {
namespace {

using test::BlockRecorder;
using test::DispatchLog;
using test::FakeSerialDevice;

class DispatcherTest : public ::testing::Test {
protected:
  DispatcherTest()
      : port_(std::make_unique<FakeSerialDevice>(&script_)), dispatcher_(port_, setup_),
        recorder_(port_, dispatcher_) {
    setup_.Main_nCall = 1;
    port_.Open("fake", false);
    dispatcher_.SetDispatchObserver(log_.Observer());
    dispatcher_.SetCommandArmWaitMs(50);
  }
  void Feed(const std::string& bytes) {
    dispatcher_.ProcessBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }

  FakeSerialDevice::Script script_;
  CSetupData setup_;
  CSerialPort port_;
  CAtDispatcher dispatcher_;
  BlockRecorder recorder_;
  DispatchLog log_;
};

TEST_F(DispatcherTest, FinalResultSetsPortReadyBeforeCallAndEmptiesCommandSlot) {
  ASSERT_TRUE(port_.Write("AT\r", 3, false));
  ASSERT_EQ(port_.GetState(), CSerialPort::Busy);
  recorder_.Register(kCommandSlot);
  EXPECT_TRUE(dispatcher_.CommandArmedEvent().IsSet());
  Feed("\r\nOK\r\n");
  auto blocks = recorder_.Blocks();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].lines, std::vector<std::string>{"OK"});
  EXPECT_EQ(blocks[0].portState, CSerialPort::Ready);
  EXPECT_TRUE(blocks[0].commandSlotEmpty);
  EXPECT_FALSE(dispatcher_.CommandArmedEvent().IsSet());
  // One-shot: a second answer finds the slot empty.
  Feed("\r\nOK\r\n");
  EXPECT_EQ(recorder_.Blocks().size(), 1u);
}

struct RouteCase {
  std::string line;
  int slot;
};

void PrintTo(const RouteCase& c, std::ostream* os) { *os << c.line; }


class DispatcherRouteTest : public DispatcherTest, public ::testing::WithParamInterface<RouteCase> {};

TEST_P(DispatcherRouteTest, NotificationReachesItsSlotOnly) {
  for (int slot = 2; slot < kSlotCount; ++slot) {
    if (slot != kCallerNumberSlot) recorder_.Register(slot);
  }
  Feed("\r\n" + GetParam().line + "\r\n");
  auto blocks = recorder_.Blocks();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].slot, GetParam().slot);
  EXPECT_EQ(blocks[0].lines, std::vector<std::string>{GetParam().line});
}

INSTANTIATE_TEST_SUITE_P(
    Lines, DispatcherRouteTest,
    ::testing::Values(RouteCase{"NO CARRIER", 3}, RouteCase{"NO DIALTONE", 4},
                      RouteCase{"+RSSI: 4,1", 5}, RouteCase{"+CSMSS:1", 6}, RouteCase{"+CPBSS:1", 7},
                      RouteCase{"Network status: 1", 9}, RouteCase{"Network Service: 2", 10},
                      RouteCase{"Roaming status: 0", 11}, RouteCase{"HANDSET_NOTIFY: 3", 12},
                      RouteCase{"SIM_READY: 1", 13}, RouteCase{"Current PLMN: \"Op\"", 14},
                      RouteCase{"Srv status: 1", 15}, RouteCase{"+CDS: 25", 16},
                      RouteCase{"ERROR", 17}, RouteCase{"+CME ERROR: 3", 17},
                      RouteCase{"+CMS ERROR: 302", 17}));

TEST_F(DispatcherTest, TwoLineMessageNotificationReachesSlot2) {
  recorder_.Register(2);
  Feed("\r\n+CMT: \"123\",,\"24/01/01\"\r\nERROR\r\n");
  auto blocks = recorder_.Blocks();
  ASSERT_EQ(blocks.size(), 1u);
  EXPECT_EQ(blocks[0].lines, (std::vector<std::string>{"+CMT: \"123\",,\"24/01/01\"", "ERROR"}));
}

class DispatcherCallsTest : public DispatcherTest, public ::testing::WithParamInterface<bool> {};

TEST_P(DispatcherCallsTest, CallLinesAreRoutedOnlyWhenCallsAreOn) {
  const bool callsOn = GetParam();
  setup_.Main_nCall = callsOn ? 1 : 0;
  for (int slot : {kRingSlot, 4, kCallerNumberSlot}) recorder_.Register(slot);
  Feed("\r\nRING\r\n\r\nNO DIALTONE\r\n\r\n+CLIP: \"1\",129\r\n");
  auto records = log_.Records();
  ASSERT_EQ(records.size(), 3u);
  const int slots[] = {kRingSlot, 4, kCallerNumberSlot};
  for (std::size_t i = 0; i < 3; ++i) {
    EXPECT_EQ(records[i].delivered, callsOn);
    EXPECT_EQ(records[i].slot, callsOn ? slots[i] : -1);
  }
  // NO DIALTONE is the only one delivered on this thread; the others go
  // through the consumer, which does not run here.
  EXPECT_EQ(recorder_.Blocks().size(), callsOn ? 1u : 0u);
}

INSTANTIATE_TEST_SUITE_P(MainCall, DispatcherCallsTest, ::testing::Bool());

TEST_F(DispatcherTest, AnswerWithoutHandlerWaitsThenIsDiscarded) {
  ASSERT_TRUE(port_.Write("AT\r", 3, false));
  auto start = std::chrono::steady_clock::now();
  Feed("\r\nOK\r\n");
  auto waited = std::chrono::steady_clock::now() - start;
  EXPECT_GE(waited, std::chrono::milliseconds(50));
  ASSERT_EQ(log_.Records().size(), 1u);
  EXPECT_FALSE(log_.Records()[0].delivered);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
}

TEST_F(DispatcherTest, RegistrationDuringTheWaitReceivesTheAnswer) {
  dispatcher_.SetCommandArmWaitMs(CAtDispatcher::kCommandArmWaitMs);
  std::thread parser([&] { Feed("\r\nOK\r\n"); });
  recorder_.Register(kCommandSlot);
  parser.join();
  ASSERT_EQ(recorder_.Blocks().size(), 1u);
  EXPECT_EQ(recorder_.Blocks()[0].lines, std::vector<std::string>{"OK"});
}

TEST_F(DispatcherTest, HandlerTableRegistrationAndClearing) {
  EXPECT_FALSE(dispatcher_.RegisterHandler(-1, &BlockRecorder::Handler, nullptr));
  EXPECT_FALSE(dispatcher_.RegisterHandler(kSlotCount, &BlockRecorder::Handler, nullptr));
  EXPECT_FALSE(dispatcher_.ClearHandler(kAllSlots + 1));
  for (int slot = 0; slot < kSlotCount; ++slot) recorder_.Register(slot);
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_TRUE(dispatcher_.HasHandler(slot)) << slot;
  EXPECT_TRUE(dispatcher_.CommandArmedEvent().IsSet());
  dispatcher_.ClearHandler(5);
  EXPECT_FALSE(dispatcher_.HasHandler(5));
  EXPECT_TRUE(dispatcher_.HasHandler(6));
  // Clearing all leaves the command-armed event as it was.
  dispatcher_.ClearHandler(kAllSlots);
  for (int slot = 0; slot < kSlotCount; ++slot) EXPECT_FALSE(dispatcher_.HasHandler(slot)) << slot;
  EXPECT_TRUE(dispatcher_.CommandArmedEvent().IsSet());
  recorder_.Register(kCommandSlot);
  dispatcher_.ClearHandler(kCommandSlot);
  EXPECT_FALSE(dispatcher_.CommandArmedEvent().IsSet());
}

TEST_F(DispatcherTest, ClearHandlerWaitsForCallInProgress) {
  struct Gate {
    Event entered{Event::Mode::Manual};
    Event release{Event::Mode::Manual};
    std::atomic<bool> cleared{false};
    bool clearedBeforeReturn = true;
  } gate;
  dispatcher_.RegisterHandler(
      5,
      [](void* context, const LineCell*, std::uint16_t) {
        auto* g = static_cast<Gate*>(context);
        g->entered.Set();
        g->release.Wait(Event::kInfinite);
        g->clearedBeforeReturn = g->cleared.load();
      },
      &gate);
  std::thread parser([&] { Feed("\r\n+RSSI: 1\r\n"); });
  ASSERT_TRUE(gate.entered.Wait(10000));
  Event clearReturned(Event::Mode::Manual);
  std::thread clearer([&] {
    dispatcher_.ClearHandler(5);
    gate.cleared = true;
    clearReturned.Set();
  });
  // The clear must still be waiting while the handler runs.
  EXPECT_FALSE(clearReturned.Wait(200));
  gate.release.Set();
  EXPECT_TRUE(clearReturned.Wait(10000));
  parser.join();
  clearer.join();
  EXPECT_FALSE(gate.clearedBeforeReturn);
}

TEST_F(DispatcherTest, HandlerMayClearItsOwnSlotWithoutWaiting) {
  dispatcher_.RegisterHandler(
      5,
      [](void* context, const LineCell*, std::uint16_t) {
        static_cast<CAtDispatcher*>(context)->ClearHandler(kAllSlots);
      },
      &dispatcher_);
  Feed("\r\n+RSSI: 1\r\n");
  EXPECT_FALSE(dispatcher_.HasHandler(5));
}

// The parser reads Main_nCall for every call line while the user-interface
// thread may reload the settings record (the main window does so when it
// initialises). The thread sanitizer run checks that this is no data race.
TEST_F(DispatcherTest, CallsSettingIsReadSafelyWhileTheSettingsAreReloaded) {
  std::atomic<bool> stop{false};
  std::thread reloader([&] {
    // A settings file that cannot be read loads the defaults (calls on).
    while (!stop.load()) LoadSettings(setup_, "/nonexistent-evdo-folder/EVDO.ini");
  });
  constexpr int kRings = 200;
  for (int i = 0; i < kRings; ++i) Feed("\r\nRING\r\n");
  stop = true;
  reloader.join();
  int routed = 0;
  for (const auto& record : log_.Records()) routed += record.slot == kRingSlot;
  EXPECT_EQ(routed, kRings);
}

TEST_F(DispatcherTest, RelaysDiscardMultiLineBlocks) {
  recorder_.Register(kNewMessageSlot);
  Feed("\r\ninfo\r\n\r\n+CMTI: \"SM\",1\r\n");
  EXPECT_EQ(dispatcher_.QueuedNotifications(), 0u);
  Feed("\r\n+CMTI: \"SM\",2\r\n");
  EXPECT_EQ(dispatcher_.QueuedNotifications(), 1u);
}

class ConsumerTest : public DispatcherTest {
protected:
  void SetUp() override {
    dispatcher_.SetIncomingCallHook([this] {
      ++incomingCalls_;
      callFlag_.Set();
    });
    ASSERT_TRUE(dispatcher_.StartThreads());
  }
  void TearDown() override { dispatcher_.Shutdown(); }

  std::atomic<int> incomingCalls_{0};
  Event callFlag_{Event::Mode::Manual};
};

TEST_F(ConsumerTest, CallerNumberSetsIncomingCallFlagThenWaitsForGate) {
  dispatcher_.NotificationGate().Reset();
  recorder_.Register(kCallerNumberSlot);
  Feed("\r\n+CLIP: \"1\",129\r\n");
  ASSERT_TRUE(callFlag_.Wait(10000));
  EXPECT_FALSE(recorder_.WaitForBlocks(1, 100));
  // A second one before delivery replaces the first.
  Feed("\r\n+CLIP: \"2\",129\r\n");
  dispatcher_.NotificationGate().Set();
  ASSERT_TRUE(recorder_.WaitForBlocks(1));
  EXPECT_EQ(recorder_.Blocks()[0].lines, std::vector<std::string>{"+CLIP: \"2\",129"});
}

TEST_F(ConsumerTest, RingIsDeliveredThroughTheConsumer) {
  recorder_.Register(kRingSlot);
  Feed("\r\nRING\r\n");
  ASSERT_TRUE(recorder_.WaitForBlocks(1));
  EXPECT_EQ(recorder_.Blocks()[0].slot, kRingSlot);
  EXPECT_GE(incomingCalls_.load(), 1);
}

TEST_F(ConsumerTest, ShutdownEndsThreadsWhileGateIsClosed) {
  dispatcher_.NotificationGate().Reset();
  recorder_.Register(kNewMessageSlot);
  Feed("\r\n+CMTI: \"SM\",1\r\n");
  dispatcher_.Shutdown();
  EXPECT_TRUE(recorder_.Blocks().empty());
}

// Queued and buffered notifications of the relayed slots never reach a
// consumer that was cleared, whether its own slot or all slots were cleared.
class ConsumerClearTest : public ConsumerTest, public ::testing::WithParamInterface<int> {
protected:
  bool WaitIncomingCalls(int count) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (incomingCalls_.load() < count) {
      if (std::chrono::steady_clock::now() > deadline) return false;
      std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    return true;
  }
};

TEST_P(ConsumerClearTest, ClearedConsumerGetsNothingMore) {
  const int cleared = GetParam();
  dispatcher_.NotificationGate().Reset();
  for (int slot : {kRingSlot, kNewMessageSlot, kCallerNumberSlot}) recorder_.Register(slot);
  // All three wait behind the closed gate.
  Feed("\r\nRING\r\n\r\n+CMTI: \"SM\",1\r\n\r\n+CLIP: \"1\",129\r\n");
  dispatcher_.ClearHandler(cleared);
  dispatcher_.NotificationGate().Set();
  // The consumer reports each call before delivering it: once the ring and
  // the caller number were reported, a further ring is reported only after
  // everything queued before it was delivered.
  ASSERT_TRUE(WaitIncomingCalls(2));
  // The first ring has been delivered by now; the marker ring goes to a
  // handler of its own.
  dispatcher_.RegisterHandler(kRingSlot, [](void*, const LineCell*, std::uint16_t) {}, nullptr);
  Feed("\r\nRING\r\n");
  ASSERT_TRUE(WaitIncomingCalls(3));
  std::set<int> reached;
  for (const auto& block : recorder_.Blocks()) reached.insert(block.slot);
  std::set<int> expected;
  if (cleared != kAllSlots) {
    for (int slot : {kRingSlot, kNewMessageSlot, kCallerNumberSlot})
      if (slot != cleared) expected.insert(slot);
  }
  EXPECT_EQ(reached, expected);
}

INSTANTIATE_TEST_SUITE_P(Slots, ConsumerClearTest,
                         ::testing::Values(kRingSlot, kNewMessageSlot, kCallerNumberSlot, kAllSlots));

// A consumer call in progress holds ClearHandler until it has returned.
TEST_F(ConsumerTest, ClearHandlerWaitsForConsumerCallInProgress) {
  struct Gate {
    Event entered{Event::Mode::Manual};
    Event release{Event::Mode::Manual};
    std::atomic<bool> cleared{false};
    bool clearedBeforeReturn = true;
  } gate;
  dispatcher_.RegisterHandler(
      kNewMessageSlot,
      [](void* context, const LineCell*, std::uint16_t) {
        auto* g = static_cast<Gate*>(context);
        g->entered.Set();
        g->release.Wait(Event::kInfinite);
        g->clearedBeforeReturn = g->cleared.load();
      },
      &gate);
  Feed("\r\n+CMTI: \"SM\",1\r\n");
  ASSERT_TRUE(gate.entered.Wait(10000));
  Event clearReturned(Event::Mode::Manual);
  std::thread clearer([&] {
    dispatcher_.ClearHandler(kNewMessageSlot);
    gate.cleared = true;
    clearReturned.Set();
  });
  EXPECT_FALSE(clearReturned.Wait(200));
  gate.release.Set();
  EXPECT_TRUE(clearReturned.Wait(10000));
  clearer.join();
  EXPECT_FALSE(gate.clearedBeforeReturn);
}

TEST_F(ConsumerTest, StartClearsHandlersRegisteredBefore) {
  dispatcher_.Shutdown();
  recorder_.Register(5);
  ASSERT_TRUE(dispatcher_.StartThreads());
  EXPECT_FALSE(dispatcher_.HasHandler(5));
}

}  // namespace
}  // namespace evdo
