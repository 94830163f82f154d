#pragma once
// The AT command dispatcher: frames the modem's answers into blocks of
// lines (CLineAssembler) and hands each block to the handler registered for
// the class of its last line. Two threads carry it: the response parser
// thread, which empties the port's receive ring, assembles lines and calls
// the handlers of the command slot and of most notification slots, and the
// notification consumer thread, which delivers new-message, incoming-call
// and caller-number notifications, held back while the notification gate
// is closed.
#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <mutex>
#include <thread>

#include "core/event/Event.h"
#include "core/settings/SetupData.h"
#include "device/LineAssembler.h"
#include "device/SerialPort.h"

namespace evdo {

// A handler receives its registration context and the block: lines points
// at cell 0, lineCount cells are filled. It must not keep the pointer.
using ResponseHandler = void (*)(void* context, const LineCell* lines, std::uint16_t lineCount);

// Handler slots: 0..16 notifications by line class, 17 the command slot.
constexpr int kSlotCount = 18;
constexpr int kCommandSlot = 17;
// ClearHandler with this slot empties every slot.
constexpr int kAllSlots = 18;
constexpr int kRingSlot = 0;
constexpr int kNewMessageSlot = 1;
constexpr int kCallerNumberSlot = 8;

// How one complete block was routed, for observers.
struct DispatchRecord {
  int lineClass;
  int slot;  // -1 when the class is not routed (Main_nCall is 0)
  std::uint16_t lineCount;
  bool delivered;
};

class CAtDispatcher {
public:
  static constexpr int kCommandArmWaitMs = 8000;
  static constexpr std::size_t kQueueSize = 50;

  // Attaches to the port's receive ring. Main_nCall is read from setup.
  explicit CAtDispatcher(CSerialPort& port, const CSetupData& setup = CSetupData::Instance());
  ~CAtDispatcher();
  CAtDispatcher(const CAtDispatcher&) = delete;
  CAtDispatcher& operator=(const CAtDispatcher&) = delete;

  // Sets the main window's incoming-call flag; called on the consumer
  // thread. Set before StartThreads.
  void SetIncomingCallHook(std::function<void()> hook) { incomingCall_ = std::move(hook); }
  // Called on the parsing thread after each block was delivered or
  // discarded. Set before StartThreads.
  void SetDispatchObserver(std::function<void(const DispatchRecord&)> observer) {
    observer_ = std::move(observer);
  }
  // How long an answer waits for a command handler (kCommandArmWaitMs).
  void SetCommandArmWaitMs(int ms) { armWaitMs_ = ms; }

  // Empties the line block and every slot, then starts both threads. The
  // parser consumes nothing until the parser-start event is set.
  bool StartThreads();
  // Tells both threads to stop and waits for them. From the UI thread only.
  void Shutdown();

  // slot 0..17. For slots 0, 1 and 8 the handler becomes the consumer
  // callback and the slot gets the dispatcher's relay. Slot 17 also sets
  // the command-armed event. False for a slot out of range.
  bool RegisterHandler(int slot, ResponseHandler handler, void* context);
  // slot 0..17 empties it (17 also clears the command-armed event; 0, 1
  // and 8 also their consumer callbacks, so that notifications already
  // queued for them are dropped); kAllSlots empties all. When the slot's
  // handler is being called on another thread, waits until that call has
  // returned, so that after ClearHandler the handler's context is no longer
  // used (a handler running on the parsing thread does not wait for a
  // consumer callback, which may be waiting for that thread).
  bool ClearHandler(int slot);
  bool HasHandler(int slot) const;

  Event& ParserStartEvent() { return parserStart_; }
  Event& NotificationGate() { return gate_; }
  Event& MessageReadLock() { return messageReadLock_; }
  Event& CommandArmedEvent() { return commandArmed_; }

  // The parser's work on bytes already taken from the ring: assembles them
  // and dispatches every complete block on the calling thread.
  void ProcessBytes(const std::uint8_t* bytes, std::size_t count);

  // New-message notifications waiting in the queue, and those discarded
  // because it was full.
  std::size_t QueuedNotifications() const;
  std::uint64_t DiscardedNotifications() const;
  const CLineAssembler& Assembler() const { return assembler_; }

private:
  struct Slot {
    ResponseHandler handler = nullptr;
    void* context = nullptr;
  };
  struct QueueEntry {
    std::uint16_t count;
    LineCell line;
  };

  void ParserThread();
  void ConsumerThread();
  void Dispatch();
  bool Deliver(int slot);
  bool DeliverCommand();
  void Call(const Slot& target);
  bool WaitGate();
  void DrainQueue();
  void DeliverCall(int slot);
  // Calls the consumer callback of slot with the consumer block, if any.
  void CallConsumer(int slot, std::uint16_t count);

  static void RelayNewMessage(void* context, const LineCell* lines, std::uint16_t count);
  static void RelayRing(void* context, const LineCell* lines, std::uint16_t count);
  static void RelayCallerNumber(void* context, const LineCell* lines, std::uint16_t count);
  void QueueNewMessage(const LineCell* lines, std::uint16_t count);
  void StoreCall(QueueEntry& buffer, Event& wake, const LineCell* lines, std::uint16_t count);

  CSerialPort& port_;
  const CSetupData& setup_;
  CLineAssembler assembler_;

  // Handler table and the consumer callbacks of slots 0, 1 and 8.
  mutable std::mutex tableLock_;
  std::condition_variable callEnded_;
  Slot slots_[kSlotCount];
  Slot consumers_[kSlotCount];
  // The slot whose handler the parsing thread is calling, and that thread.
  int callingSlot_ = -1;
  std::thread::id callingThread_;
  // The same for the consumer thread's callbacks.
  int consumerCallingSlot_ = -1;
  std::thread::id consumerCallingThread_;

  // Consumer queue of new-message notifications, and the single buffers of
  // slots 0 and 8.
  mutable std::mutex queueLock_;
  QueueEntry queue_[kQueueSize];
  std::size_t queueWrite_ = 0;
  std::size_t queueRead_ = 0;
  std::uint16_t queueFill_ = 0;
  std::uint64_t queueDiscarded_ = 0;
  QueueEntry ringBuffer_;
  QueueEntry callerBuffer_;
  LineCell consumerBlock_[1];

  Event dataArrived_{Event::Mode::Auto};
  Event parserQuit_{Event::Mode::Manual};
  Event commandArmed_{Event::Mode::Manual};
  Event parserStart_{Event::Mode::Manual};
  Event queueWake_{Event::Mode::Auto};
  Event ringWake_{Event::Mode::Auto};
  Event callerWake_{Event::Mode::Auto};
  Event consumerQuit_{Event::Mode::Manual};
  Event gate_{Event::Mode::Manual, true};
  Event messageReadLock_{Event::Mode::Auto, true};

  std::atomic<int> armWaitMs_{kCommandArmWaitMs};
  std::function<void()> incomingCall_;
  std::function<void(const DispatchRecord&)> observer_;
  std::thread parserThread_;
  std::thread consumerThread_;
};

}  // namespace evdo
