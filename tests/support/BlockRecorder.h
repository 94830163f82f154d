#pragma once
// Records what handlers receive and how the dispatcher routed blocks, so
// that tests can wait for them (on a condition, never a fixed sleep).
#include <chrono>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/event/WindowPort.h"
#include "device/AtDispatcher.h"

namespace evdo::test {

struct RecordedBlock {
  int slot;
  std::vector<std::string> lines;
  int portState;  // the port's state when the handler ran
  bool commandSlotEmpty;  // whether slot 17 was empty during the call
};

class BlockRecorder {
public:
  BlockRecorder(CSerialPort& port, CAtDispatcher& dispatcher) : port_(port), dispatcher_(dispatcher) {
    for (int slot = 0; slot < kSlotCount; ++slot) contexts_[slot] = {this, slot};
  }

  // Registers the recorder in slot.
  void Register(int slot) { dispatcher_.RegisterHandler(slot, &Handler, &contexts_[slot]); }
  static void Handler(void* context, const LineCell* lines, std::uint16_t count) {
    auto* at = static_cast<Context*>(context);
    at->recorder->Add(at->slot, lines, count);
  }

  // Waits until count blocks were recorded.
  bool WaitForBlocks(std::size_t count, int timeoutMs = 10000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                             [&] { return blocks_.size() >= count; });
  }
  std::vector<RecordedBlock> Blocks() const {
    std::lock_guard lock(mutex_);
    return blocks_;
  }

private:
  struct Context {
    BlockRecorder* recorder;
    int slot;
  };
  void Add(int slot, const LineCell* lines, std::uint16_t count) {
    RecordedBlock block{slot, {}, port_.GetState(), !dispatcher_.HasHandler(kCommandSlot)};
    for (std::uint16_t i = 0; i < count; ++i) block.lines.emplace_back(lines[i]);
    std::lock_guard lock(mutex_);
    blocks_.push_back(std::move(block));
    changed_.notify_all();
  }

  CSerialPort& port_;
  CAtDispatcher& dispatcher_;
  Context contexts_[kSlotCount];
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<RecordedBlock> blocks_;
};

// A window that keeps the numbers of the messages posted to it.
struct PostedMessages : WindowHandler {
  std::vector<MessageId> messages;
  void OnMessage(MessageId message, WParam, LParam) override { messages.push_back(message); }
  void OnTimer(TimerId) override {}
};

// Collects the dispatcher's routing records.
class DispatchLog {
public:
  std::function<void(const DispatchRecord&)> Observer() {
    return [this](const DispatchRecord& record) {
      std::lock_guard lock(mutex_);
      records_.push_back(record);
      changed_.notify_all();
    };
  }
  bool WaitFor(const std::function<bool(const std::vector<DispatchRecord>&)>& done,
               int timeoutMs = 10000) {
    std::unique_lock lock(mutex_);
    return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] { return done(records_); });
  }
  bool WaitForCount(std::size_t count, int timeoutMs = 10000) {
    return WaitFor([count](const auto& records) { return records.size() >= count; }, timeoutMs);
  }
  std::vector<DispatchRecord> Records() const {
    std::lock_guard lock(mutex_);
    return records_;
  }

private:
  mutable std::mutex mutex_;
  std::condition_variable changed_;
  std::vector<DispatchRecord> records_;
};

}  // namespace evdo::test
