// Arbitrary modem output through the whole device link: a scripted device
// hands the bytes in pieces to the port's reader thread, the receive ring,
// the dispatcher's parser thread and, for new-message notifications, the
// queue and the consumer thread (held at the closed notification gate, then
// drained). What reaches the handlers must be exactly what a bare line
// assembler makes of the same bytes, in order, every block sound: nothing
// lost, split or reordered on the way; at most 50 new-message notifications
// wait, and the rest are counted as discarded.
#include <chrono>
#include <cstdint>
#include <cstring>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "device/AtDispatcher.h"
#include "fuzz/support/FuzzSupport.h"
#include "tests/device/FakeSerialDevice.h"

namespace {

using namespace evdo;
using fuzz::Require;

struct Block {
  int slot;
  std::vector<std::string> lines;
  bool operator==(const Block&) const = default;
};

Block Copy(int slot, const LineCell* lines, std::uint16_t count) {
  Block b{slot, {}};
  for (std::uint16_t i = 0; i < count; ++i) {
    Require(std::memchr(lines[i], 0, kLineCellSize) != nullptr, "every line is terminated in its cell");
    b.lines.emplace_back(lines[i]);
  }
  return b;
}

struct Recorder {
  std::mutex lock;
  CAtDispatcher* dispatcher = nullptr;
  std::vector<Block> handled;     // parser thread, in order
  std::vector<Block> newMessage;  // consumer thread, slot 1
  std::vector<Block> calls;       // consumer thread, slots 0 and 8
  std::vector<DispatchRecord> routed;
};

struct SlotContext {
  Recorder* recorder;
  int slot;
};

void OnBlock(void* context, const LineCell* lines, std::uint16_t count) {
  auto* at = static_cast<SlotContext*>(context);
  Require(count >= 1 && count <= kLineCells, "a block holds 1 to 30 lines");
  Block b = Copy(at->slot, lines, count);
  std::lock_guard lock(at->recorder->lock);
  if (at->slot == kNewMessageSlot) at->recorder->newMessage.push_back(std::move(b));
  else if (at->slot == kRingSlot || at->slot == kCallerNumberSlot) at->recorder->calls.push_back(std::move(b));
  else at->recorder->handled.push_back(std::move(b));
  // The next command's handler, as an issuer would register it.
  if (at->slot == kCommandSlot) at->recorder->dispatcher->RegisterHandler(kCommandSlot, &OnBlock, context);
}

template <class Done>
bool WaitFor(Recorder& r, Done done) {
  for (int i = 0; i < 5000; ++i) {
    {
      std::lock_guard lock(r.lock);
      if (done()) return true;
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(1));
  }
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 2) return 0;
  const std::uint8_t* bytes = data + 2;
  const std::size_t count = size - 2;

  // What the bytes are, read by a bare assembler.
  std::vector<DispatchRecord> expectedRoutes;
  std::vector<Block> expectedBlocks;
  CLineAssembler reference;
  for (std::size_t i = 0; i < count; ++i) {
    if (!reference.Feed(bytes[i])) continue;
    expectedRoutes.push_back({reference.LastClass(), 0, reference.LineCount(), false});
    expectedBlocks.push_back(Copy(0, reference.Lines(), reference.LineCount()));
    reference.Reset();
  }

  static test::FakeSerialDevice::Script script;
  auto owned = std::make_unique<test::FakeSerialDevice>(&script);
  test::FakeSerialDevice& device = *owned;
  CSerialPort port(std::move(owned));
  CSetupData setup;
  setup.Main_nCall = data[0] & 1;
  Recorder recorder;
  SlotContext contexts[kSlotCount];
  {
    CAtDispatcher dispatcher(port, setup);
    recorder.dispatcher = &dispatcher;
    dispatcher.SetCommandArmWaitMs(0);
    dispatcher.SetDispatchObserver([&recorder](const DispatchRecord& r) {
      std::lock_guard lock(recorder.lock);
      recorder.routed.push_back(r);
    });
    Require(port.Open("fake", true), "the scripted port opens");
    Require(dispatcher.StartThreads(), "the dispatcher starts");
    dispatcher.NotificationGate().Reset();
    for (int slot = 0; slot < kSlotCount; ++slot) {
      contexts[slot] = {&recorder, slot};
      dispatcher.RegisterHandler(slot, &OnBlock, &contexts[slot]);
    }
    dispatcher.ParserStartEvent().Set();
    // The bytes arrive in pieces whose sizes the second byte picks.
    const std::size_t piece = 1 + data[1] % 97;
    for (std::size_t at = 0; at < count; at += piece)
      device.Receive(std::string(reinterpret_cast<const char*>(bytes + at), std::min(piece, count - at)));

    Require(WaitFor(recorder, [&] { return recorder.routed.size() >= expectedRoutes.size(); }),
            "every block passes the ring and the parser");
    std::vector<Block> expectedHandled, expectedNew;
    {
      std::lock_guard lock(recorder.lock);
      Require(recorder.routed.size() == expectedRoutes.size(), "no block is made up on the way");
      for (std::size_t i = 0; i < expectedRoutes.size(); ++i) {
        const DispatchRecord& r = recorder.routed[i];
        Require(r.lineClass == expectedRoutes[i].lineClass && r.lineCount == expectedRoutes[i].lineCount,
                "the blocks arrive whole and in order");
        Block b = expectedBlocks[i];
        b.slot = r.slot;
        if (r.slot == kNewMessageSlot) {
          if (b.lines.size() == 1) expectedNew.push_back(b);
        } else if (r.slot >= 0 && r.slot != kRingSlot && r.slot != kCallerNumberSlot) {
          Require(r.delivered, "a block for a registered handler is delivered");
          expectedHandled.push_back(b);
        }
      }
      Require(recorder.handled == expectedHandled, "each handler gets its blocks as sent");
      Require(recorder.newMessage.empty(), "nothing passes the closed notification gate");
    }
    const std::size_t queued = std::min(expectedNew.size(), CAtDispatcher::kQueueSize);
    Require(dispatcher.QueuedNotifications() == queued, "at most 50 new-message notifications wait");
    Require(dispatcher.DiscardedNotifications() == expectedNew.size() - queued, "the others are counted as discarded");
    dispatcher.NotificationGate().Set();
    Require(WaitFor(recorder, [&] { return recorder.newMessage.size() >= queued; }),
            "the open gate lets the waiting notifications through");
    {
      std::lock_guard lock(recorder.lock);
      expectedNew.resize(queued);
      Require(recorder.newMessage == expectedNew, "the waiting notifications arrive in order");
    }
    dispatcher.Shutdown();
    for (const Block& call : recorder.calls) {
      bool sent = false;
      for (const Block& b : expectedBlocks) sent = sent || b.lines == call.lines;
      Require(sent, "a ring or caller notification is one the modem sent");
    }
  }
  port.Close();
  return 0;
}
