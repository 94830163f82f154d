#include "tests/device/FakeSerialDevice.h"

#include <algorithm>
#include <chrono>

namespace evdo::test {

void FakeSerialDevice::Record(std::string call) {
  calls_.push_back(std::move(call));
  changed_.notify_all();
}

void FakeSerialDevice::Receive(const std::string& bytes) {
  std::lock_guard lock(mutex_);
  input_.insert(input_.end(), bytes.begin(), bytes.end());
  changed_.notify_all();
}

std::size_t FakeSerialDevice::Waiting() const {
  std::lock_guard lock(mutex_);
  return input_.size();
}

void FakeSerialDevice::FailNextRead() {
  std::lock_guard lock(mutex_);
  readFails_ = true;
  changed_.notify_all();
}

void FakeSerialDevice::FailNextWaits(int times) {
  std::lock_guard lock(mutex_);
  waitFailures_ = times;
  changed_.notify_all();
}

int FakeSerialDevice::WaitCount() const {
  std::lock_guard lock(mutex_);
  return waits_;
}

void FakeSerialDevice::HangUp() {
  std::lock_guard lock(mutex_);
  hungUp_ = true;
  changed_.notify_all();
}

std::vector<std::string> FakeSerialDevice::Calls() const {
  std::lock_guard lock(mutex_);
  return calls_;
}

bool FakeSerialDevice::WaitForCall(const std::string& call, int timeoutMs, int times) const {
  std::unique_lock lock(mutex_);
  return changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), [&] {
    return std::count(calls_.begin(), calls_.end(), call) >= times;
  });
}

bool FakeSerialDevice::Open(const char*) {
  std::lock_guard lock(mutex_);
  Record("open");
  open_ = script_->openSucceeds;
  woken_ = false;
  return open_;
}

bool FakeSerialDevice::IsOpen() const {
  std::lock_guard lock(mutex_);
  return open_;
}

void FakeSerialDevice::Close() {
  std::lock_guard lock(mutex_);
  if (open_) Record("close");
  open_ = false;
}

bool FakeSerialDevice::Configure(const SerialLineSettings& settings) {
  std::lock_guard lock(mutex_);
  Record("configure:" + std::to_string(settings.baudRate));
  return script_->configureSucceeds;
}

SerialDevice::ReadResult FakeSerialDevice::Read(void* buffer, std::size_t size) {
  std::lock_guard lock(mutex_);
  if (readFails_) {
    readFails_ = false;
    input_.clear();
    return {0, ReadStatus::Failed};
  }
  if (input_.empty()) return {0, hungUp_ ? ReadStatus::Gone : ReadStatus::NoData};
  std::size_t count = std::min(size, input_.size());
  std::copy_n(input_.begin(), count, static_cast<char*>(buffer));
  input_.erase(input_.begin(), input_.begin() + static_cast<std::ptrdiff_t>(count));
  return {count, ReadStatus::Ok};
}

std::size_t FakeSerialDevice::Write(const void* bytes, std::size_t size) {
  std::lock_guard lock(mutex_);
  std::size_t count = std::min(size, script_->writeLimit);
  Record("write:" + std::string(static_cast<const char*>(bytes), count));
  return count;
}

SerialDevice::WaitResult FakeSerialDevice::WaitReadable(int timeoutMs) {
  std::unique_lock lock(mutex_);
  ++waits_;
  changed_.notify_all();
  if (waitFailures_ > 0 && !woken_) {
    --waitFailures_;
    return WaitResult::Failed;
  }
  auto ready = [&] { return woken_ || hungUp_ || !input_.empty() || readFails_; };
  if (timeoutMs < 0) changed_.wait(lock, ready);
  else if (!changed_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return WaitResult::TimedOut;
  }
  if (woken_) return WaitResult::Woken;
  if (!input_.empty() || readFails_) return WaitResult::Readable;
  return WaitResult::HangUp;
}

SerialDevice::WaitResult FakeSerialDevice::WaitHangUp() {
  std::unique_lock lock(mutex_);
  WaitResult result = script_->watchResult;
  if (result == WaitResult::HangUp) {
    changed_.wait(lock, [&] { return woken_ || hungUp_; });
    result = woken_ ? WaitResult::Woken : WaitResult::HangUp;
  }
  Record("watch-ended");
  return result;
}

void FakeSerialDevice::Wake() {
  std::lock_guard lock(mutex_);
  woken_ = true;
  changed_.notify_all();
}

bool FakeSerialDevice::Flush(bool input, bool output) {
  std::lock_guard lock(mutex_);
  if (input) {
    input_.clear();
    Record("flush-in");
  }
  if (output) Record("flush-out");
  return true;
}

bool FakeSerialDevice::SetDtr(bool on) {
  std::lock_guard lock(mutex_);
  Record(on ? "dtr-on" : "dtr-off");
  return true;
}

}  // namespace evdo::test
