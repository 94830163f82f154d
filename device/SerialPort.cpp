#include "device/SerialPort.h"

#include <unistd.h>

#include <algorithm>
#include <cstring>
#include <system_error>


namespace evdo {

namespace {

int RefusalMessage(int state) {
  switch (state) {
    case CSerialPort::Closed: return kMsgPortClosed;
    case CSerialPort::OpenFailed: return kMsgPortOpenFailed;
    default: return kMsgCommandOutstanding;
  }
}

// Bytes taken from the device by one read call of the reader thread.
constexpr std::size_t kReadChunk = 4096;
// The reader's pause before it waits again after a failed wait.
constexpr int kWaitRetryMs = 50;

}  // namespace

std::function<void()> PostQuitTo(WindowPort& window) {
  return [&window] { window.PostMessage(WM_QUIT); };
}

CSerialPort::CSerialPort(std::unique_ptr<SerialDevice> device) : device_(std::move(device)) {
  ResetRing();
}

CSerialPort::~CSerialPort() { Close(); }

void CSerialPort::ResetRing() {
  std::lock_guard lock(ringLock_);
  std::memset(ring_, 0, sizeof ring_);
  ringRead_ = 0;
  ringWrite_ = 0;
  ringCount_ = 0;
}

bool CSerialPort::Open(const char* path, bool startThreads) {
  if (IsOpen()) Close();
  ResetRing();
  {
    std::unique_lock lock(ioLock_);
    if (!device_->Open(path)) {
      lastError_ = device_->LastError();
      state_ = OpenFailed;
      return false;
    }
  }
  if (!Configure()) {
    // The handle is of no further use: give the port back at once.
    std::unique_lock lock(ioLock_);
    lastError_ = device_->LastError();
    device_->Close();
    state_ = OpenFailed;
    return false;
  }
  // Stale input from before this connection is of no interest. Done before
  // the reader starts, so that no answer to a first command can be purged.
  Purge(PURGE_RXCLEAR);
  closing_.Reset();
  running_ = true;
  if (startThreads) {
    try {
      readerActive_ = true;
      readerThread_ = std::thread(&CSerialPort::ReaderThread, this);
      removalThread_ = std::thread(&CSerialPort::RemovalThread, this);
    } catch (const std::system_error&) {
      Close();
      state_ = OpenFailed;
      return false;
    }
  }
  state_ = Ready;
  return true;
}

void CSerialPort::StopThreads() {
  running_ = false;
  closing_.Set();
  device_->Wake();
  if (readerThread_.joinable()) readerThread_.join();
  if (removalThread_.joinable()) removalThread_.join();
  readerActive_ = false;
}

bool CSerialPort::Close() {
  if (IsOpen()) {
    StopThreads();
    std::unique_lock lock(ioLock_);
    device_->SetDtr(false);
    device_->Flush(true, true);
    device_->Close();
  }
  state_ = Closed;
  return true;
}

bool CSerialPort::IsOpen() const {
  std::shared_lock lock(ioLock_);
  return device_->IsOpen();
}

bool CSerialPort::Configure() {
  std::shared_lock lock(ioLock_);
  SerialLineSettings settings;
  settings.baudRate = kBaudRate;
  return device_->Configure(settings);
}

bool CSerialPort::Purge(std::uint32_t flags) {
  // Nothing is ever pending in the background here, so the abort flags have
  // nothing to cancel; the clear flags discard the queues.
  std::shared_lock lock(ioLock_);
  return device_->Flush((flags & PURGE_RXCLEAR) != 0, (flags & PURGE_TXCLEAR) != 0);
}

int CSerialPort::SetState(int value) {
  int current = state_.load();
  for (;;) {
    if (current == Closed || current == OpenFailed) return current;
    if (state_.compare_exchange_weak(current, value)) return current;
  }
}

bool CSerialPort::IsInitialising() const {
  return hooks_.isInitialising && hooks_.isInitialising();
}

void CSerialPort::ShowRefusal(int state) {
  if (hooks_.showMessage) hooks_.showMessage(RefusalMessage(state));
}

bool CSerialPort::CheckReady() {
  int state = state_.load();
  if (state == Ready) return true;
  ShowRefusal(state);
  return false;
}

bool CSerialPort::Write(const void* bytes, std::uint16_t length, bool showError) {
  int expected = Ready;
  // Ready to Busy in one step: of two writers at the same moment only one
  // gets through.
  if (!state_.compare_exchange_strong(expected, Busy)) {
    if (showError && !IsInitialising()) ShowRefusal(expected);
    return false;
  }
  std::shared_lock lock(ioLock_);
  std::size_t written = 0;
  if (device_->IsOpen()) {
    device_->Flush(false, true);
    written = device_->Write(bytes, length);
  }
  if (written == length) return true;
  lastError_ = device_->LastError();
  // Back to Ready, unless the port was closed meanwhile.
  int busy = Busy;
  state_.compare_exchange_strong(busy, Ready);
  return false;
}

std::size_t CSerialPort::Read(void* buffer, std::size_t count, int timeoutMs) {
  std::shared_lock lock(ioLock_);
  SerialDevice::ReadResult result = device_->Read(buffer, count);
  if (result.status == SerialDevice::ReadStatus::NoData && timeoutMs != 0) {
    SerialDevice::WaitResult waited = device_->WaitReadable(timeoutMs);
    if (waited != SerialDevice::WaitResult::Readable) {
      if (waited == SerialDevice::WaitResult::Failed) lastError_ = device_->LastError();
      return 0;
    }
    result = device_->Read(buffer, count);
  }
  if (result.status == SerialDevice::ReadStatus::Gone ||
      result.status == SerialDevice::ReadStatus::Failed) {
    lastError_ = device_->LastError();
  }
  return result.count;
}

bool CSerialPort::WaitEvent(int timeoutMs) {
  switch (device_->WaitReadable(timeoutMs)) {
    case SerialDevice::WaitResult::Readable: eventMask_ = EV_RXCHAR; return true;
    case SerialDevice::WaitResult::HangUp: eventMask_ = EV_REMOVED; return true;
    case SerialDevice::WaitResult::Failed: lastError_ = device_->LastError(); return false;
    default: return false;
  }
}

void CSerialPort::StoreReceived(const std::uint8_t* bytes, std::size_t count) {
  std::lock_guard lock(ringLock_);
  std::size_t first = std::min(count, kRingSize - ringWrite_);
  std::memcpy(ring_ + ringWrite_, bytes, first);
  std::memcpy(ring_, bytes + first, count - first);
  ringWrite_ = (ringWrite_ + count) % kRingSize;
  ringCount_ = static_cast<std::uint16_t>(ringCount_ + count);
}

std::size_t CSerialPort::RingRoom() const {
  std::lock_guard lock(ringLock_);
  return kRingSize - ringCount_;
}

std::size_t CSerialPort::TakeReceived(std::uint8_t* out, std::size_t max) {
  bool wasFull;
  std::size_t take;
  {
    std::lock_guard lock(ringLock_);
    wasFull = ringCount_ == kRingSize;
    take = std::min<std::size_t>(max, ringCount_);
    std::size_t first = std::min(take, kRingSize - ringRead_);
    std::memcpy(out, ring_ + ringRead_, first);
    std::memcpy(out + first, ring_, take - first);
    ringRead_ = (ringRead_ + take) % kRingSize;
    ringCount_ = static_cast<std::uint16_t>(ringCount_ - take);
  }
  if (wasFull && take > 0) ringRoom_.Set();
  return take;
}

std::size_t CSerialPort::ReceivedCount() const {
  std::lock_guard lock(ringLock_);
  return ringCount_;
}

// Reads until nothing is waiting or the ring is full. False when the device
// has gone.
bool CSerialPort::ReadAvailable() {
  std::uint8_t chunk[kReadChunk];
  for (;;) {
    // Only the reader fills the ring, so its room can only grow meanwhile.
    std::size_t room = std::min(RingRoom(), sizeof chunk);
    if (room == 0) return true;
    SerialDevice::ReadResult result = device_->Read(chunk, room);
    switch (result.status) {
      case SerialDevice::ReadStatus::Ok:
        StoreReceived(chunk, result.count);
        if (Event* event = dataArrived_.load()) event->Set();
        // A short read took all there was: back to waiting, which reports
        // at once anything that came meanwhile.
        if (result.count < room) return true;
        break;
      case SerialDevice::ReadStatus::NoData:
        return true;
      case SerialDevice::ReadStatus::Gone:
        lastError_ = device_->LastError();
        return false;
      case SerialDevice::ReadStatus::Failed:
        // A line error: what was partly received is lost; the dispatcher
        // finds its step again at the next line end.
        lastError_ = device_->LastError();
        eventMask_ = EV_ERR;
        device_->Flush(true, false);
        return true;
    }
  }
}

void CSerialPort::ReaderThread() {
  // It reads before it waits: a wait reports only bytes that arrive after a
  // read has taken all there was.
  while (running_.load() && ReadAvailable() && running_.load()) {
    if (RingRoom() == 0) {
      // The dispatcher has fallen behind: what arrives meanwhile waits in
      // the device until it takes some.
      if (Event::WaitAny({&ringRoom_, &closing_}, Event::kInfinite) != 0) break;
      continue;
    }
    if (!WaitEvent(Event::kInfinite)) {
      // Woken by Close (running is clear and the loop ends), or the wait
      // itself failed (an interrupted or refused poll): wait again, after a
      // pause that keeps a lasting failure from spinning. Bytes that came
      // meanwhile are read first.
      if (closing_.Wait(kWaitRetryMs)) break;
      continue;
    }
    // A device that has gone is left to the removal watch thread.
    if ((eventMask_.load() & EV_REMOVED) != 0) break;
  }
  readerActive_ = false;
}

void CSerialPort::RemovalThread() {
  if (!running_.load()) return;
  SerialDevice::WaitResult result = device_->WaitHangUp();
  if (result != SerialDevice::WaitResult::HangUp || !running_.load()) return;
  OnDeviceRemoved();
}

void CSerialPort::OnDeviceRemoved() {
  if (hooks_.isStartingUp && hooks_.isStartingUp()) {
    if (hooks_.endProcess) hooks_.endProcess(0);
    else ::_exit(0);
    return;
  }
  if (hooks_.showExitPicture) hooks_.showExitPicture();
  // The picture stays its time, unless the port is being closed meanwhile.
  closing_.Wait(hooks_.exitPictureMs);
  if (hooks_.hideExitPicture) hooks_.hideExitPicture();
  if (hooks_.quit) hooks_.quit();
}

}  // namespace evdo
