// CSerialPort against a scripted device: states, refusals, the ring, the
// reader and the removal watch.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>

#include "core/event/ManualEventLoop.h"
#include "device/SerialPort.h"
#include "tests/support/BlockRecorder.h"
#include "tests/device/FakeSerialDevice.h"

namespace evdo {
namespace {

using test::FakeSerialDevice;

class SerialPortTest : public ::testing::Test {
protected:
  SerialPortTest() {
    auto device = std::make_unique<FakeSerialDevice>(&script_);
    device_ = device.get();
    port_ = std::make_unique<CSerialPort>(std::move(device));
    SerialPortHooks hooks;
    hooks.showMessage = [this](int id) {
      std::lock_guard lock(mutex_);
      messages_.push_back(id);
    };
    hooks.isInitialising = [this] { return initialising_.load(); };
    port_->SetHooks(hooks);
  }
  std::vector<int> Messages() {
    std::lock_guard lock(mutex_);
    return messages_;
  }
  // Waits on the data-arrived event until done() holds.
  template <class Done>
  bool WaitRing(Event& arrived, Done done) {
    while (!done()) {
      if (!arrived.Wait(10000)) return done();
    }
    return true;
  }
  std::size_t WriteCount() {
    std::size_t count = 0;
    for (const auto& call : device_->Calls()) count += call.rfind("write:", 0) == 0;
    return count;
  }

  FakeSerialDevice::Script script_;
  FakeSerialDevice* device_;
  // Outlives the port, whose reader thread sets it.
  Event arrived_{Event::Mode::Auto};
  std::unique_ptr<CSerialPort> port_;
  std::mutex mutex_;
  std::vector<int> messages_;
  std::atomic<bool> initialising_{false};
};

TEST_F(SerialPortTest, OpenConfiguresAndIsReady) {
  EXPECT_EQ(port_->GetState(), CSerialPort::Closed);
  ASSERT_TRUE(port_->Open("/dev/ttyUSB2", false));
  EXPECT_TRUE(port_->IsOpen());
  EXPECT_TRUE(port_->IsRunning());
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
  auto calls = device_->Calls();
  ASSERT_GE(calls.size(), 3u);
  EXPECT_EQ(calls[0], "open");
  EXPECT_EQ(calls[1], "configure:460800");
  EXPECT_EQ(calls[2], "flush-in");
}

TEST_F(SerialPortTest, FailedOpenLeavesOpenFailed) {
  script_.openSucceeds = false;
  EXPECT_FALSE(port_->Open("/dev/ttyUSB2", true));
  EXPECT_EQ(port_->GetState(), CSerialPort::OpenFailed);
  EXPECT_FALSE(port_->IsOpen());
  EXPECT_FALSE(port_->IsReaderRunning());
}

TEST_F(SerialPortTest, FailedConfigureClosesTheDevice) {
  script_.configureSucceeds = false;
  EXPECT_FALSE(port_->Open("/dev/ttyUSB2", true));
  EXPECT_EQ(port_->GetState(), CSerialPort::OpenFailed);
  EXPECT_FALSE(port_->IsOpen());
  EXPECT_EQ(device_->Calls().back(), "close");
}

TEST_F(SerialPortTest, WriteLeavesBusyAndSecondWriteIsRefused) {
  ASSERT_TRUE(port_->Open("p", false));
  ASSERT_TRUE(port_->Write("AT\r", 3, true));
  EXPECT_EQ(port_->GetState(), CSerialPort::Busy);
  auto calls = device_->Calls();
  EXPECT_EQ(calls[calls.size() - 2], "flush-out");
  EXPECT_EQ(calls.back(), "write:AT\r");
  EXPECT_FALSE(port_->Write("ATI\r", 4, true));
  EXPECT_EQ(WriteCount(), 1u);
  EXPECT_EQ(Messages(), std::vector<int>{kMsgCommandOutstanding});
  EXPECT_FALSE(port_->Write("ATI\r", 4, false));
  EXPECT_EQ(Messages().size(), 1u);
  EXPECT_EQ(port_->GetState(), CSerialPort::Busy);
}

TEST_F(SerialPortTest, RefusalsShowNothingDuringInitialisation) {
  ASSERT_TRUE(port_->Open("p", false));
  ASSERT_TRUE(port_->Write("AT\r", 3, true));
  initialising_ = true;
  EXPECT_FALSE(port_->Write("AT\r", 3, true));
  EXPECT_TRUE(Messages().empty());
}

struct RefusalCase {
  bool open;
  bool openFails;
  int message;
};

void PrintTo(const RefusalCase& c, std::ostream* os) { *os << "message " << c.message; }


class SerialPortRefusalTest : public SerialPortTest, public ::testing::WithParamInterface<RefusalCase> {};

TEST_P(SerialPortRefusalTest, WriteAndCheckReadyShowTheStatesMessage) {
  script_.openSucceeds = !GetParam().openFails;
  if (GetParam().open) port_->Open("p", false);
  if (GetParam().message == kMsgCommandOutstanding) port_->SetState(CSerialPort::Busy);
  EXPECT_FALSE(port_->Write("AT\r", 3, true));
  EXPECT_FALSE(port_->CheckReady());
  EXPECT_EQ(Messages(), (std::vector<int>{GetParam().message, GetParam().message}));
  EXPECT_EQ(WriteCount(), 0u);
}

INSTANTIATE_TEST_SUITE_P(States, SerialPortRefusalTest,
                         ::testing::Values(RefusalCase{false, false, kMsgPortClosed},
                                           RefusalCase{true, true, kMsgPortOpenFailed},
                                           RefusalCase{true, false, kMsgCommandOutstanding}));

TEST_F(SerialPortTest, ShortWriteReturnsToReady) {
  script_.writeLimit = 2;
  ASSERT_TRUE(port_->Open("p", false));
  EXPECT_FALSE(port_->Write("AT\r", 3, true));
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
  EXPECT_TRUE(port_->CheckReady());
  EXPECT_TRUE(Messages().empty());
}

TEST_F(SerialPortTest, SetStateReturnsThePreviousState) {
  ASSERT_TRUE(port_->Open("p", false));
  EXPECT_EQ(port_->SetState(CSerialPort::Busy), CSerialPort::Ready);
  EXPECT_EQ(port_->SetState(CSerialPort::Ready), CSerialPort::Busy);
}

// A feature that gives up after the port was closed (for suspend) must not
// make the closed port look Ready or Busy.
TEST_F(SerialPortTest, GivingUpNeverReopensAClosedPort) {
  EXPECT_EQ(port_->SetState(CSerialPort::Ready), CSerialPort::Closed);
  EXPECT_EQ(port_->GetState(), CSerialPort::Closed);
  script_.openSucceeds = false;
  EXPECT_FALSE(port_->Open("p", false));
  EXPECT_EQ(port_->SetState(CSerialPort::Ready), CSerialPort::OpenFailed);
  EXPECT_EQ(port_->GetState(), CSerialPort::OpenFailed);
  script_.openSucceeds = true;
  ASSERT_TRUE(port_->Open("p", false));
  ASSERT_TRUE(port_->Write("AT\r", 3, false));
  port_->Close();
  EXPECT_EQ(port_->SetState(CSerialPort::Ready), CSerialPort::Closed);
  EXPECT_EQ(port_->GetState(), CSerialPort::Closed);
  EXPECT_FALSE(port_->Write("AT\r", 3, false));
}

TEST_F(SerialPortTest, CloseStopsThreadsClearsDtrAndPurges) {
  ASSERT_TRUE(port_->Open("p", true));
  EXPECT_TRUE(port_->IsReaderRunning());
  EXPECT_TRUE(port_->Close());
  EXPECT_FALSE(port_->IsOpen());
  EXPECT_FALSE(port_->IsRunning());
  EXPECT_FALSE(port_->IsReaderRunning());
  EXPECT_EQ(port_->GetState(), CSerialPort::Closed);
  auto calls = device_->Calls();
  std::vector<std::string> tail(calls.end() - 4, calls.end());
  EXPECT_EQ(tail, (std::vector<std::string>{"dtr-off", "flush-in", "flush-out", "close"}));
  // Closing again only sets Closed.
  EXPECT_TRUE(port_->Close());
  EXPECT_EQ(port_->GetState(), CSerialPort::Closed);
  EXPECT_EQ(device_->Calls().size(), calls.size());
}

TEST_F(SerialPortTest, ReaderMovesBytesIntoRingAndSignals) {
  port_->SetDataArrivedEvent(&arrived_);
  ASSERT_TRUE(port_->Open("p", true));
  device_->Receive("\r\nOK\r\n");
  ASSERT_TRUE(arrived_.Wait(10000));
  std::uint8_t out[16];
  ASSERT_EQ(port_->TakeReceived(out, sizeof out), 6u);
  EXPECT_EQ(std::string(reinterpret_cast<char*>(out), 6), "\r\nOK\r\n");
  EXPECT_EQ(port_->ReceivedCount(), 0u);
}

TEST_F(SerialPortTest, FullRingHoldsFirst16384BytesAndTheRestWaitsInTheDevice) {
  port_->SetDataArrivedEvent(&arrived_);
  ASSERT_TRUE(port_->Open("p", true));
  std::string bytes;
  for (int i = 0; i < 20000; ++i) bytes += static_cast<char>('a' + i % 23);
  device_->Receive(bytes);
  ASSERT_TRUE(WaitRing(arrived_, [&] { return port_->ReceivedCount() == CSerialPort::kRingSize; }));
  EXPECT_EQ(device_->Waiting(), 20000u - CSerialPort::kRingSize);
  // Taking some lets the reader go on; the ring's end is crossed on the way.
  std::string taken(20010, '\0');
  auto* out = reinterpret_cast<std::uint8_t*>(taken.data());
  ASSERT_EQ(port_->TakeReceived(out, 10000), 10000u);
  ASSERT_TRUE(WaitRing(arrived_, [&] { return port_->ReceivedCount() == 10000; }));
  device_->Receive("0123456789");
  ASSERT_TRUE(WaitRing(arrived_, [&] { return port_->ReceivedCount() == 10010; }));
  ASSERT_EQ(port_->TakeReceived(out + 10000, 20000), 10010u);
  EXPECT_EQ(taken, bytes + "0123456789");
  EXPECT_EQ(port_->ReceivedCount(), 0u);
}

TEST_F(SerialPortTest, LineErrorPurgesInputAndReadingGoesOn) {
  port_->SetDataArrivedEvent(&arrived_);
  ASSERT_TRUE(port_->Open("p", true));
  device_->FailNextRead();
  // The first input purge is the one of Open.
  ASSERT_TRUE(device_->WaitForCall("flush-in", 10000, 2));
  EXPECT_EQ(port_->EventMask(), EV_ERR);
  device_->Receive("OK");
  EXPECT_TRUE(WaitRing(arrived_, [&] { return port_->ReceivedCount() == 2; }));
}

// A wait that fails (an interrupted or refused poll) is made again: the port
// goes on receiving instead of looking open while nothing is read.
TEST_F(SerialPortTest, FailedWaitIsMadeAgainAndReadingGoesOn) {
  port_->SetDataArrivedEvent(&arrived_);
  device_->FailNextWaits(3);
  ASSERT_TRUE(port_->Open("p", true));
  // Three failed waits and the fourth, which succeeds in waiting.
  auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
  while (device_->WaitCount() < 4 && std::chrono::steady_clock::now() < deadline)
    std::this_thread::sleep_for(std::chrono::milliseconds(5));
  EXPECT_GE(device_->WaitCount(), 4);
  EXPECT_TRUE(port_->IsReaderRunning());
  device_->Receive("\r\nOK\r\n");
  EXPECT_TRUE(WaitRing(arrived_, [&] { return port_->ReceivedCount() == 6; }));
  // Close still ends the reader.
  port_->Close();
  EXPECT_FALSE(port_->IsReaderRunning());
}

class RemovalTest : public SerialPortTest {
protected:
  void SetUp() override {
    SerialPortHooks hooks;
    hooks.isStartingUp = [this] { return startingUp_.load(); };
    hooks.endProcess = [this](int code) { Note("end:" + std::to_string(code)); };
    hooks.showExitPicture = [this] { Note("show"); };
    hooks.hideExitPicture = [this] { Note("hide"); };
    hooks.quit = [this, quit = PostQuitTo(window_)] {
      quit();
      Note("quit");
    };
    hooks.exitPictureMs = 20;
    port_->SetHooks(hooks);
  }
  void Note(std::string what) {
    std::lock_guard lock(mutex_);
    notes_.push_back(std::move(what));
    if (notes_.back() == "quit" || notes_.back().rfind("end:", 0) == 0) done_.Set();
  }
  std::vector<std::string> Notes() {
    std::lock_guard lock(mutex_);
    return notes_;
  }

  test::PostedMessages catcher_;
  ManualEventLoop loop_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(catcher_);
  std::atomic<bool> startingUp_{false};
  Event done_{Event::Mode::Manual};
  std::vector<std::string> notes_;
};

TEST_F(RemovalTest, RemovalAfterStartUpShowsPictureThenQuits) {
  ASSERT_TRUE(port_->Open("p", true));
  auto start = std::chrono::steady_clock::now();
  device_->HangUp();
  ASSERT_TRUE(done_.Wait(10000));
  EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(20));
  EXPECT_EQ(Notes(), (std::vector<std::string>{"show", "hide", "quit"}));
  loop_.RunPending();
  EXPECT_EQ(catcher_.messages, std::vector<MessageId>{WM_QUIT});
  port_->Close();
}

TEST_F(RemovalTest, RemovalDuringStartUpEndsTheProcessWithoutPicture) {
  startingUp_ = true;
  ASSERT_TRUE(port_->Open("p", true));
  device_->HangUp();
  ASSERT_TRUE(done_.Wait(10000));
  EXPECT_EQ(Notes(), std::vector<std::string>{"end:0"});
}

TEST_F(RemovalTest, FailedWatchDoesNothing) {
  script_.watchResult = SerialDevice::WaitResult::Failed;
  ASSERT_TRUE(port_->Open("p", true));
  ASSERT_TRUE(device_->WaitForCall("watch-ended", 10000));
  port_->Close();
  EXPECT_TRUE(Notes().empty());
}

TEST_F(RemovalTest, CloseEndsTheWatchWithoutRemoval) {
  ASSERT_TRUE(port_->Open("p", true));
  port_->Close();
  EXPECT_FALSE(port_->IsRunning());
  EXPECT_TRUE(Notes().empty());
}

}  // namespace
}  // namespace evdo
