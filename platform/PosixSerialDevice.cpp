#include "platform/PosixSerialDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/epoll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>

namespace evdo {

namespace {

struct BaudEntry {
  std::uint32_t rate;
  speed_t code;
};

constexpr BaudEntry kBaudTable[] = {
    {9600, B9600},       {19200, B19200},     {38400, B38400},     {57600, B57600},
    {115200, B115200},   {230400, B230400},   {460800, B460800},   {500000, B500000},
    {576000, B576000},   {921600, B921600},   {1000000, B1000000}, {1152000, B1152000},
    {1500000, B1500000}, {2000000, B2000000}, {3000000, B3000000}, {4000000, B4000000},
};

bool BaudCode(std::uint32_t rate, speed_t& code) {
  for (const BaudEntry& entry : kBaudTable) {
    if (entry.rate == rate) {
      code = entry.code;
      return true;
    }
  }
  return false;
}

tcflag_t SizeFlag(std::uint8_t dataBits) {
  switch (dataBits) {
    case 5: return CS5;
    case 6: return CS6;
    case 7: return CS7;
    default: return CS8;
  }
}

bool IsGoneError(int error) { return error == EIO || error == ENODEV || error == ENXIO; }

}  // namespace

PosixSerialDevice::~PosixSerialDevice() { Close(); }

bool PosixSerialDevice::Fail(int error) {
  lastError_ = error;
  return false;
}

bool PosixSerialDevice::Open(const char* path) {
  Close();
  int fd = ::open(path, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return Fail(errno);
  // Another program of ours (or one that locks ttys) holds the port.
  if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
    int error = errno == EWOULDBLOCK ? EBUSY : errno;
    ::close(fd);
    return Fail(error);
  }
  if (::ioctl(fd, TIOCEXCL) != 0) {
    int error = errno;
    ::close(fd);
    return Fail(error);
  }
  fd_ = fd;
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  epollFd_ = ::epoll_create1(EPOLL_CLOEXEC);
  epoll_event input{};
  input.events = EPOLLIN | EPOLLET;
  input.data.fd = fd_;
  epoll_event wake{};
  wake.events = EPOLLIN;
  wake.data.fd = wakeFd_;
  if (wakeFd_ < 0 || epollFd_ < 0 || ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, fd_, &input) != 0 ||
      ::epoll_ctl(epollFd_, EPOLL_CTL_ADD, wakeFd_, &wake) != 0) {
    int error = errno;
    Close();
    return Fail(error);
  }
  lastError_ = 0;
  return true;
}

void PosixSerialDevice::Close() {
  if (fd_ >= 0) {
    // Exclusive mode belongs to the tty, not to this descriptor: give it up
    // so that the next open succeeds even when another descriptor stays open.
    ::ioctl(fd_, TIOCNXCL);
    ::close(fd_);
    fd_ = -1;
  }
  if (wakeFd_ >= 0) {
    ::close(wakeFd_);
    wakeFd_ = -1;
  }
  if (epollFd_ >= 0) {
    ::close(epollFd_);
    epollFd_ = -1;
  }
}

bool PosixSerialDevice::Configure(const SerialLineSettings& settings) {
  speed_t speed;
  if (!BaudCode(settings.baudRate, speed)) return Fail(EINVAL);
  termios tio{};
  if (::tcgetattr(fd_, &tio) != 0) return Fail(errno);
  // Raw bytes both ways: no line editing, echo, signals or translation.
  tio.c_iflag &= ~tcflag_t(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON);
  tio.c_oflag &= ~tcflag_t(OPOST);
  tio.c_lflag &= ~tcflag_t(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
  tio.c_cflag &= ~tcflag_t(CSIZE | PARENB | CSTOPB);
  tio.c_cflag |= SizeFlag(settings.dataBits) | CREAD;
  if (settings.parity) tio.c_cflag |= PARENB;
  if (settings.twoStopBits) tio.c_cflag |= CSTOPB;
  // A read returns what is waiting; with nothing waiting it reports EAGAIN
  // (and 0 only after a hang-up).
  tio.c_cc[VMIN] = 1;
  tio.c_cc[VTIME] = 0;
  if (::cfsetispeed(&tio, speed) != 0 || ::cfsetospeed(&tio, speed) != 0) return Fail(errno);
  if (::tcsetattr(fd_, TCSANOW, &tio) != 0) return Fail(errno);
  return true;
}

SerialDevice::ReadResult PosixSerialDevice::Read(void* buffer, std::size_t size) {
  if (fd_ < 0) {
    lastError_ = EBADF;
    return {0, ReadStatus::Failed};
  }
  if (size == 0) return {0, ReadStatus::Ok};
  for (;;) {
    ssize_t n = ::read(fd_, buffer, size);
    if (n > 0) return {static_cast<std::size_t>(n), ReadStatus::Ok};
    if (n == 0) {
      lastError_ = ENODEV;
      return {0, ReadStatus::Gone};
    }
    int error = errno;
    if (error == EINTR) continue;
    if (error == EAGAIN || error == EWOULDBLOCK) return {0, ReadStatus::NoData};
    lastError_ = error;
    return {0, IsGoneError(error) ? ReadStatus::Gone : ReadStatus::Failed};
  }
}

std::size_t PosixSerialDevice::Write(const void* bytes, std::size_t size) {
  const auto* data = static_cast<const std::uint8_t*>(bytes);
  std::size_t done = 0;
  while (done < size) {
    ssize_t n = ::write(fd_, data + done, size - done);
    if (n > 0) {
      done += static_cast<std::size_t>(n);
      continue;
    }
    int error = n < 0 ? errno : EAGAIN;
    if (error == EINTR) continue;
    if (error != EAGAIN && error != EWOULDBLOCK) {
      lastError_ = error;
      break;
    }
    if (Poll(POLLOUT, -1) != WaitResult::Readable) break;
  }
  return done;
}

SerialDevice::WaitResult PosixSerialDevice::Poll(short events, int timeoutMs) {
  if (fd_ < 0) {
    lastError_ = EBADF;
    return WaitResult::Failed;
  }
  pollfd fds[2] = {{fd_, events, 0}, {wakeFd_, POLLIN, 0}};
  for (;;) {
    int r = ::poll(fds, 2, timeoutMs);
    if (r < 0) {
      if (errno == EINTR) continue;
      lastError_ = errno;
      return WaitResult::Failed;
    }
    if (r == 0) return WaitResult::TimedOut;
    if (fds[1].revents != 0) return WaitResult::Woken;
    // Bytes still waiting are taken before a hang-up is reported.
    if ((fds[0].revents & events) != 0) return WaitResult::Readable;
    if ((fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) != 0) return WaitResult::HangUp;
  }
}

SerialDevice::WaitResult PosixSerialDevice::WaitReadable(int timeoutMs) {
  if (epollFd_ < 0) {
    lastError_ = EBADF;
    return WaitResult::Failed;
  }
  epoll_event events[2];
  for (;;) {
    int n = ::epoll_wait(epollFd_, events, 2, timeoutMs);
    if (n < 0) {
      if (errno == EINTR) continue;
      lastError_ = errno;
      return WaitResult::Failed;
    }
    if (n == 0) return WaitResult::TimedOut;
    WaitResult result = WaitResult::TimedOut;
    for (int i = 0; i < n; ++i) {
      if (events[i].data.fd == wakeFd_) return WaitResult::Woken;
      // Bytes still waiting are taken before a hang-up is reported.
      if ((events[i].events & EPOLLIN) != 0) result = WaitResult::Readable;
      else if ((events[i].events & (EPOLLHUP | EPOLLERR)) != 0) result = WaitResult::HangUp;
    }
    return result;
  }
}

SerialDevice::WaitResult PosixSerialDevice::WaitHangUp() {
  // With no events asked for, poll reports only hang-up and error.
  return Poll(0, -1);
}

void PosixSerialDevice::Wake() {
  if (wakeFd_ < 0) return;
  std::uint64_t one = 1;
  // The counter is never read back, so the descriptor stays readable.
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
}

bool PosixSerialDevice::Flush(bool input, bool output) {
  if (!input && !output) return true;
  int queue = input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH;
  if (::tcflush(fd_, queue) != 0) return Fail(errno);
  return true;
}

bool PosixSerialDevice::SetDtr(bool on) {
  int bits = TIOCM_DTR;
  if (::ioctl(fd_, on ? TIOCMBIS : TIOCMBIC, &bits) != 0) return Fail(errno);
  return true;
}

}  // namespace evdo
