#pragma once
// A Linux tty as a SerialDevice: exclusive open (O_NOCTTY, TIOCEXCL and an
// advisory lock, so that a port held by another program fails to open, even
// for a privileged user), termios raw mode, an eventfd to release waits.
// Input is awaited with edge-triggered epoll: a wait after a read that
// emptied the tty costs one wake-up per arrival, without the tty's check
// for input that a fresh poll() makes (which may block until the driver's
// queued work is done).
#include <atomic>

#include "device/SerialDevice.h"

namespace evdo {

class PosixSerialDevice final : public SerialDevice {
public:
  PosixSerialDevice() = default;
  ~PosixSerialDevice() override;
  PosixSerialDevice(const PosixSerialDevice&) = delete;
  PosixSerialDevice& operator=(const PosixSerialDevice&) = delete;

  bool Open(const char* path) override;
  bool IsOpen() const override { return fd_ >= 0; }
  void Close() override;
  bool Configure(const SerialLineSettings& settings) override;
  ReadResult Read(void* buffer, std::size_t size) override;
  std::size_t Write(const void* bytes, std::size_t size) override;
  WaitResult WaitReadable(int timeoutMs) override;
  WaitResult WaitHangUp() override;
  void Wake() override;
  bool Flush(bool input, bool output) override;
  bool SetDtr(bool on) override;
  int LastError() const override { return lastError_.load(); }

private:
  // Polls the tty for events together with the wake descriptor.
  WaitResult Poll(short events, int timeoutMs);
  bool Fail(int error);

  int fd_ = -1;
  int wakeFd_ = -1;
  int epollFd_ = -1;
  std::atomic<int> lastError_{0};
};

}  // namespace evdo
