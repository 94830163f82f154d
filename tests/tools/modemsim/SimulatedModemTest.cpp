// The simulated modem's I/O: the pseudo-terminal, the control socket,
// hang-up and plugging in again, paced output.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <termios.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>

#include "tools/modemsim/ControlClient.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo::modemsim {
namespace {

// The program's side of the serial end, opened raw.
class SerialEnd {
public:
  explicit SerialEnd(const std::string& path) {
    fd_ = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd_ >= 0) {
      termios tio{};
      ::tcgetattr(fd_, &tio);
      ::cfmakeraw(&tio);
      ::tcsetattr(fd_, TCSANOW, &tio);
    }
  }
  ~SerialEnd() {
    if (fd_ >= 0) ::close(fd_);
  }
  bool IsOpen() const { return fd_ >= 0; }
  void Write(const std::string& bytes) { ASSERT_EQ(::write(fd_, bytes.data(), bytes.size()), ssize_t(bytes.size())); }
  // Reads until text holds `until` (or the wait fails).
  std::string ReadUntil(const std::string& until, int timeoutMs = 10000) {
    std::string text;
    while (text.find(until) == std::string::npos) {
      pollfd fd{fd_, POLLIN, 0};
      if (::poll(&fd, 1, timeoutMs) <= 0) break;
      if ((fd.revents & POLLIN) == 0) break;
      char buffer[4096];
      ssize_t n = ::read(fd_, buffer, sizeof buffer);
      if (n <= 0) break;
      text.append(buffer, static_cast<std::size_t>(n));
    }
    return text;
  }
  short WaitEvents(int timeoutMs) {
    pollfd fd{fd_, 0, 0};
    return ::poll(&fd, 1, timeoutMs) > 0 ? fd.revents : 0;
  }

private:
  int fd_ = -1;
};

class SimulatedModemTest : public ::testing::Test {
protected:
  void SetUp() override {
    SimulatedModemOptions options;
    options.controlSocket = ::testing::TempDir() + "modemsim-" + std::to_string(::getpid()) + ".sock";
    socket_ = options.controlSocket;
    modem_ = std::make_unique<SimulatedModem>(options);
    std::string error;
    ASSERT_TRUE(modem_->Open(error)) << error;
    ASSERT_TRUE(modem_->Start());
  }
  void TearDown() override { modem_->Stop(); }

  std::string socket_;
  std::unique_ptr<SimulatedModem> modem_;
};

TEST_F(SimulatedModemTest, ControlSocketServesCommands) {
  ControlClient client;
  std::string error;
  ASSERT_TRUE(client.Connect(socket_, error)) << error;
  SerialEnd serial(modem_->SerialPath());
  EXPECT_EQ(client.Command("notify +RSSI: 5,1"), "OK\n");
  EXPECT_EQ(serial.ReadUntil("+RSSI: 5,1\r\n"), "\r\n+RSSI: 5,1\r\n");
  std::string status = client.Command("status");
  EXPECT_EQ(ReplyField(status, "echo"), "on");
  EXPECT_EQ(client.Command("bogus").rfind("ERROR", 0), 0u);
  EXPECT_EQ(ReplyField(client.Command("stats"), "serial"), modem_->SerialPath());
}

TEST_F(SimulatedModemTest, HangUpIsSeenOnTheSerialEndAndReplugGivesANewPort) {
  auto serial = std::make_unique<SerialEnd>(modem_->SerialPath());
  EXPECT_EQ(modem_->Control("hangup"), "OK\n");
  EXPECT_NE(serial->WaitEvents(10000) & POLLHUP, 0);
  EXPECT_EQ(modem_->SerialPath(), "");
  EXPECT_EQ(modem_->Control("hangup").rfind("ERROR", 0), 0u);
  std::string reply = modem_->Control("replug");
  ASSERT_EQ(reply.rfind("serial /dev/pts/", 0), 0u) << reply;
  SerialEnd again(modem_->SerialPath());
  again.Write("AT\r");
  EXPECT_EQ(again.ReadUntil("OK\r\n"), "AT\r\r\nOK\r\n");
}

TEST_F(SimulatedModemTest, PacedFloodKeepsItsRate) {
  SerialEnd serial(modem_->SerialPath());
  // 40 lines of 24 bytes at 9600 bytes/s: about 0.1 s.
  auto start = std::chrono::steady_clock::now();
  ASSERT_EQ(modem_->Control("flood 40 9600 +CMTI: \"SM\",12345678"), "OK\n");
  std::string text;
  while (text.size() < 960) {
    std::string more = serial.ReadUntil("\n");
    if (more.empty()) break;
    text += more;
  }
  auto elapsed = std::chrono::steady_clock::now() - start;
  EXPECT_EQ(text.size(), 960u);
  EXPECT_GE(elapsed, std::chrono::milliseconds(90));
}

TEST_F(SimulatedModemTest, SlowAnswerTakesItsTimeByteByByte) {
  SerialEnd serial(modem_->SerialPath());
  EXPECT_EQ(modem_->Control("echo off"), "OK\n");
  EXPECT_EQ(modem_->Control("fault slow 5"), "OK\n");
  auto start = std::chrono::steady_clock::now();
  serial.Write("AT\r");
  EXPECT_EQ(serial.ReadUntil("OK\r\n"), "\r\nOK\r\n");
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(25));
  ASSERT_TRUE(modem_->WaitForAnswers(1, 10000));
  EXPECT_GT(modem_->LastAnswerSentNanos(), 0);
}

TEST_F(SimulatedModemTest, ASecondSimulatorOnAControlPathInUseIsRefused) {
  SimulatedModemOptions options;
  options.controlSocket = socket_;
  {
    SimulatedModem second(options);
    std::string error;
    EXPECT_FALSE(second.Open(error));
    EXPECT_NE(error.find("in use"), std::string::npos) << error;
  }
  // The first one still has its socket, and answers on it.
  ControlClient client;
  std::string error;
  ASSERT_TRUE(client.Connect(socket_, error)) << error;
  EXPECT_EQ(client.Command("echo on"), "OK\n");
}

TEST(SimulatedModemSocket, AStaleSocketIsReplacedAndAFileIsNot) {
  const std::string base = ::testing::TempDir() + "modemsim-stale-" + std::to_string(::getpid());
  // A socket file nobody listens on, as a killed simulator leaves it.
  {
    int fd = ::socket(AF_UNIX, SOCK_STREAM, 0);
    sockaddr_un address{};
    address.sun_family = AF_UNIX;
    std::snprintf(address.sun_path, sizeof address.sun_path, "%s.sock", base.c_str());
    ASSERT_EQ(::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
    ::close(fd);
  }
  SimulatedModemOptions options;
  options.controlSocket = base + ".sock";
  {
    SimulatedModem modem(options);
    std::string error;
    EXPECT_TRUE(modem.Open(error)) << error;
  }
  // A file of the user's own is never deleted.
  const std::string file = base + ".txt";
  std::FILE* f = std::fopen(file.c_str(), "w");
  ASSERT_NE(f, nullptr);
  std::fputs("mine", f);
  std::fclose(f);
  options.controlSocket = file;
  {
    SimulatedModem modem(options);
    std::string error;
    EXPECT_FALSE(modem.Open(error));
    EXPECT_NE(error.find("not a socket"), std::string::npos) << error;
  }
  EXPECT_EQ(::access(file.c_str(), F_OK), 0);
  ::unlink(file.c_str());
}

}  // namespace
}  // namespace evdo::modemsim
