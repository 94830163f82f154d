#pragma once
// A scripted SerialDevice: tests decide what opening, configuring and
// writing do, push received bytes, and make the device hang up.
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <mutex>
#include <string>
#include <vector>

#include "device/SerialDevice.h"

namespace evdo::test {

class FakeSerialDevice final : public SerialDevice {
public:
  struct Script {
    bool openSucceeds = true;
    bool configureSucceeds = true;
    std::size_t writeLimit = SIZE_MAX;  // bytes a write takes at most
    // What the removal watch gets: HangUp only after HangUp(); Failed makes
    // the request fail at once.
    WaitResult watchResult = WaitResult::HangUp;
  };

  explicit FakeSerialDevice(Script* script) : script_(script) {}

  // Bytes arriving from the modem.
  void Receive(const std::string& bytes);
  // The device is pulled out.
  void HangUp();
  // Bytes received but not yet read by the port.
  std::size_t Waiting() const;
  // The next read reports a line error (and loses what was waiting).
  void FailNextRead();
  // The next `times` waits for bytes fail (the wait itself cannot be made).
  void FailNextWaits(int times);
  // Waits for bytes begun so far.
  int WaitCount() const;

  // What the port did, in order: "open", "configure", "flush-in",
  // "flush-out", "write:<bytes>", "dtr-off", "close", "watch-ended".
  std::vector<std::string> Calls() const;
  // Waits until call was made `times` times.
  bool WaitForCall(const std::string& call, int timeoutMs, int times = 1) const;

  bool Open(const char* path) override;
  bool IsOpen() const override;
  void Close() override;
  bool Configure(const SerialLineSettings& settings) override;
  ReadResult Read(void* buffer, std::size_t size) override;
  std::size_t Write(const void* bytes, std::size_t size) override;
  WaitResult WaitReadable(int timeoutMs) override;
  WaitResult WaitHangUp() override;
  void Wake() override;
  bool Flush(bool input, bool output) override;
  bool SetDtr(bool on) override;
  int LastError() const override { return 5; }

private:
  void Record(std::string call);

  Script* script_;
  mutable std::mutex mutex_;
  mutable std::condition_variable changed_;
  std::vector<std::string> calls_;
  std::deque<char> input_;
  bool open_ = false;
  bool woken_ = false;
  bool hungUp_ = false;
  bool readFails_ = false;
  int waitFailures_ = 0;
  int waits_ = 0;
};

}  // namespace evdo::test
