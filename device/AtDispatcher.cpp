#include "device/AtDispatcher.h"

#include <cstring>
#include <system_error>

namespace evdo {

namespace {

// Bytes the parser takes from the receive ring at a time.
constexpr std::size_t kTakeChunk = 1024;

bool IsRoutedOnlyWithCalls(int lineClass) {
  return lineClass == kLineRing || lineClass == kLineNoDialtone || lineClass == kLineClip;
}

}  // namespace

CAtDispatcher::CAtDispatcher(CSerialPort& port, const CSetupData& setup)
    : port_(port), setup_(setup) {
  std::memset(queue_, 0, sizeof queue_);
  std::memset(&ringBuffer_, 0, sizeof ringBuffer_);
  std::memset(&callerBuffer_, 0, sizeof callerBuffer_);
  std::memset(consumerBlock_, 0, sizeof consumerBlock_);
  port_.SetDataArrivedEvent(&dataArrived_);
}

CAtDispatcher::~CAtDispatcher() {
  Shutdown();
  port_.SetDataArrivedEvent(nullptr);
}

bool CAtDispatcher::StartThreads() {
  if (parserThread_.joinable() || consumerThread_.joinable()) return false;
  // Done here rather than on the new thread, so that handlers registered
  // right after the start cannot be wiped by a late clear.
  assembler_.Reset();
  ClearHandler(kAllSlots);
  parserQuit_.Reset();
  consumerQuit_.Reset();
  try {
    consumerThread_ = std::thread(&CAtDispatcher::ConsumerThread, this);
    parserThread_ = std::thread(&CAtDispatcher::ParserThread, this);
  } catch (const std::system_error&) {
    Shutdown();
    return false;
  }
  return true;
}

void CAtDispatcher::Shutdown() {
  parserQuit_.Set();
  consumerQuit_.Set();
  if (parserThread_.joinable()) parserThread_.join();
  if (consumerThread_.joinable()) consumerThread_.join();
}

bool CAtDispatcher::RegisterHandler(int slot, ResponseHandler handler, void* context) {
  if (slot < 0 || slot >= kSlotCount) return false;
  std::lock_guard lock(tableLock_);
  switch (slot) {
    case kRingSlot:
      consumers_[slot] = {handler, context};
      slots_[slot] = {&CAtDispatcher::RelayRing, this};
      break;
    case kNewMessageSlot:
      consumers_[slot] = {handler, context};
      slots_[slot] = {&CAtDispatcher::RelayNewMessage, this};
      break;
    case kCallerNumberSlot:
      consumers_[slot] = {handler, context};
      slots_[slot] = {&CAtDispatcher::RelayCallerNumber, this};
      break;
    default:
      slots_[slot] = {handler, context};
      break;
  }
  if (slot == kCommandSlot) commandArmed_.Set();
  return true;
}

bool CAtDispatcher::ClearHandler(int slot) {
  if (slot < 0 || slot > kAllSlots) return false;
  std::unique_lock lock(tableLock_);
  if (slot == kAllSlots) {
    for (Slot& entry : slots_) entry = Slot{};
    for (Slot& entry : consumers_) entry = Slot{};
  } else {
    slots_[slot] = Slot{};
    // The relayed slots' handler is their consumer callback: lines already
    // queued or buffered for it must not reach it any more.
    consumers_[slot] = Slot{};
    if (slot == kCommandSlot) commandArmed_.Reset();
  }
  const auto self = std::this_thread::get_id();
  auto done = [&](int calling, std::thread::id thread) {
    return calling < 0 || thread == self || (slot != kAllSlots && calling != slot);
  };
  // A handler on the parsing thread never waits for a consumer callback: the
  // callback may itself be waiting for an answer that thread delivers.
  const bool fromParsingHandler = callingSlot_ >= 0 && callingThread_ == self;
  callEnded_.wait(lock, [&] {
    return done(callingSlot_, callingThread_) &&
           (fromParsingHandler || done(consumerCallingSlot_, consumerCallingThread_));
  });
  return true;
}

bool CAtDispatcher::HasHandler(int slot) const {
  if (slot < 0 || slot >= kSlotCount) return false;
  std::lock_guard lock(tableLock_);
  return slots_[slot].handler != nullptr;
}

void CAtDispatcher::ParserThread() {
  if (Event::WaitAny({&parserStart_, &parserQuit_}, Event::kInfinite) != 0) return;
  std::uint8_t chunk[kTakeChunk];
  for (;;) {
    if (Event::WaitAny({&parserQuit_, &dataArrived_}, Event::kInfinite) != 1) return;
    while (std::size_t taken = port_.TakeReceived(chunk, sizeof chunk)) {
      ProcessBytes(chunk, taken);
      if (parserQuit_.IsSet()) return;
    }
  }
}

void CAtDispatcher::ProcessBytes(const std::uint8_t* bytes, std::size_t count) {
  for (std::size_t i = 0; i < count; ++i) {
    if (assembler_.Feed(bytes[i])) Dispatch();
  }
}

void CAtDispatcher::Dispatch() {
  const int lineClass = assembler_.LastClass();
  DispatchRecord record{lineClass, -1, assembler_.LineCount(), false};
  if (IsFinalResult(lineClass)) {
    port_.SetState(CSerialPort::Ready);
    record.slot = kCommandSlot;
    record.delivered = DeliverCommand();
  } else if (!IsRoutedOnlyWithCalls(lineClass) || setup_.Main_nCall != 0) {
    record.slot = SlotOfClass(lineClass);
    record.delivered = Deliver(record.slot);
  }
  assembler_.Reset();
  if (observer_) observer_(record);
}

void CAtDispatcher::Call(const Slot& target) {
  target.handler(target.context, assembler_.Lines(), assembler_.LineCount());
  std::lock_guard lock(tableLock_);
  callingSlot_ = -1;
  callEnded_.notify_all();
}

bool CAtDispatcher::Deliver(int slot) {
  Slot target;
  {
    std::lock_guard lock(tableLock_);
    target = slots_[slot];
    if (target.handler == nullptr) return false;
    callingSlot_ = slot;
    callingThread_ = std::this_thread::get_id();
  }
  Call(target);
  return true;
}

bool CAtDispatcher::DeliverCommand() {
  // The issuer registers its handler just after its write; the answer may
  // be here first.
  if (Event::WaitAny({&commandArmed_, &parserQuit_}, armWaitMs_.load()) == 1) return false;
  Slot target;
  {
    std::lock_guard lock(tableLock_);
    target = slots_[kCommandSlot];
    if (target.handler == nullptr) return false;
    slots_[kCommandSlot] = Slot{};
    commandArmed_.Reset();
    callingSlot_ = kCommandSlot;
    callingThread_ = std::this_thread::get_id();
  }
  Call(target);
  return true;
}

void CAtDispatcher::RelayNewMessage(void* context, const LineCell* lines, std::uint16_t count) {
  static_cast<CAtDispatcher*>(context)->QueueNewMessage(lines, count);
}

void CAtDispatcher::RelayRing(void* context, const LineCell* lines, std::uint16_t count) {
  auto* self = static_cast<CAtDispatcher*>(context);
  self->StoreCall(self->ringBuffer_, self->ringWake_, lines, count);
}

void CAtDispatcher::RelayCallerNumber(void* context, const LineCell* lines, std::uint16_t count) {
  auto* self = static_cast<CAtDispatcher*>(context);
  self->StoreCall(self->callerBuffer_, self->callerWake_, lines, count);
}

void CAtDispatcher::QueueNewMessage(const LineCell* lines, std::uint16_t count) {
  if (count > 1) return;
  {
    std::lock_guard lock(queueLock_);
    if (queueFill_ < kQueueSize) {
      QueueEntry& entry = queue_[queueWrite_];
      entry.count = count;
      std::memcpy(entry.line, lines[0], kLineCellSize);
      queueWrite_ = (queueWrite_ + 1) % kQueueSize;
      ++queueFill_;
    } else {
      ++queueDiscarded_;
    }
  }
  queueWake_.Set();
}

void CAtDispatcher::StoreCall(QueueEntry& buffer, Event& wake, const LineCell* lines,
                              std::uint16_t count) {
  if (count > 1) return;
  {
    std::lock_guard lock(queueLock_);
    buffer.count = count;
    std::memcpy(buffer.line, lines[0], kLineCellSize);
  }
  wake.Set();
}

std::size_t CAtDispatcher::QueuedNotifications() const {
  std::lock_guard lock(queueLock_);
  return queueFill_;
}

std::uint64_t CAtDispatcher::DiscardedNotifications() const {
  std::lock_guard lock(queueLock_);
  return queueDiscarded_;
}

void CAtDispatcher::ConsumerThread() {
  for (;;) {
    switch (Event::WaitAny({&queueWake_, &ringWake_, &callerWake_, &consumerQuit_},
                           Event::kInfinite)) {
      case 0:
        if (!WaitGate()) return;
        DrainQueue();
        break;
      case 1: DeliverCall(kRingSlot); break;
      case 2: DeliverCall(kCallerNumberSlot); break;
      default: return;
    }
    if (consumerQuit_.IsSet()) return;
  }
}

// Waits for the notification gate; false when the thread is to stop.
bool CAtDispatcher::WaitGate() {
  return Event::WaitAny({&gate_, &consumerQuit_}, Event::kInfinite) == 0;
}

void CAtDispatcher::DrainQueue() {
  for (;;) {
    std::uint16_t count;
    {
      std::lock_guard lock(queueLock_);
      if (queueFill_ == 0) return;
      const QueueEntry& entry = queue_[queueRead_];
      count = entry.count;
      std::memcpy(consumerBlock_[0], entry.line, kLineCellSize);
      queueRead_ = (queueRead_ + 1) % kQueueSize;
      --queueFill_;
    }
    CallConsumer(kNewMessageSlot, count);
  }
}

void CAtDispatcher::CallConsumer(int slot, std::uint16_t count) {
  Slot consumer;
  {
    std::lock_guard lock(tableLock_);
    consumer = consumers_[slot];
    if (consumer.handler == nullptr) return;
    consumerCallingSlot_ = slot;
    consumerCallingThread_ = std::this_thread::get_id();
  }
  consumer.handler(consumer.context, consumerBlock_, count);
  std::lock_guard lock(tableLock_);
  consumerCallingSlot_ = -1;
  callEnded_.notify_all();
}

void CAtDispatcher::DeliverCall(int slot) {
  if (incomingCall_) incomingCall_();
  if (!WaitGate()) return;
  std::uint16_t count;
  {
    std::lock_guard lock(queueLock_);
    const QueueEntry& buffer = slot == kRingSlot ? ringBuffer_ : callerBuffer_;
    count = buffer.count;
    std::memcpy(consumerBlock_[0], buffer.line, kLineCellSize);
  }
  CallConsumer(slot, count);
}

}  // namespace evdo
