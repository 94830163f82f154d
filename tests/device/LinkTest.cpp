// The device link end to end: the real serial port on the serial end of a
// pseudo-terminal, the dispatcher's threads, and the simulated modem.
#include <gtest/gtest.h>
#include <termios.h>

#include "core/event/ManualEventLoop.h"
#include "tests/support/LinkFixture.h"
#include "tools/modemsim/PseudoTerminal.h"

namespace evdo {
namespace {

using test::LinkFixture;
using Lines = std::vector<std::string>;

class LinkTest : public LinkFixture {};

TEST_F(LinkTest, CommandGetsItsFinalResult) {
  CommandReply reply = Ask("AT\r");
  EXPECT_EQ(reply.outcome, CommandOutcome::Answered);
  EXPECT_EQ(LinesOf(reply), Lines{"OK"});
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
}

TEST_F(LinkTest, InformationLinesComeBeforeTheFinalResultEchoIgnored) {
  EXPECT_EQ(LinesOf(Ask("AT+GSN\r")), (Lines{"0x80A1B2C3", "OK"}));
  CommandReply info = Ask("ATI\r");
  ASSERT_EQ(info.lineCount, 5u);
  EXPECT_EQ(std::string(info.Line(0)), "Manufacturer: EVDO Modem Simulator");
  EXPECT_EQ(std::string(info.FinalResult()), "OK");
}

TEST_F(LinkTest, ErrorsAreFinalResults) {
  modem_.WithEngine([](modemsim::ModemEngine& engine) {
    engine.Commands().Add("AT+XCME", [](auto&, auto, modemsim::ModemReply& r) { r.CmeError(10); });
    engine.Commands().Add("AT+XCMS", [](auto&, auto, modemsim::ModemReply& r) { r.CmsError(500); });
  });
  EXPECT_EQ(LinesOf(Ask("AT+NOPE\r")), Lines{"ERROR"});
  EXPECT_EQ(LinesOf(Ask("AT+XCME\r")), Lines{"+CME ERROR: 10"});
  EXPECT_EQ(LinesOf(Ask("AT+XCMS\r")), Lines{"+CMS ERROR: 500"});
}

TEST_F(LinkTest, EchoOffKeepsAnswersIntact) {
  EXPECT_EQ(LinesOf(Ask("ATE0\r")), Lines{"OK"});
  EXPECT_EQ(modem_.Control("status").rfind("echo off\n", 0), 0u);
  EXPECT_EQ(LinesOf(Ask("AT+GMR\r")), (Lines{"SIM.1.0.0", "OK"}));
}

TEST_F(LinkTest, PromptReadiesThePortForTextEndedByCtrlZ) {
  modem_.WithEngine([](modemsim::ModemEngine& engine) {
    engine.Commands().Add("AT+XTEXT=", [](auto&, auto, modemsim::ModemReply& r) {
      r.Prompt([](auto&, const std::string& text, modemsim::ModemReply& answer) {
        answer.Info("+XTEXT: " + text);
        answer.Ok();
      });
    });
  });
  CommandReply prompt = Ask("AT+XTEXT=1\r");
  EXPECT_EQ(LinesOf(prompt), Lines{"> "});
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_EQ(LinesOf(Ask("hello\x1a")), (Lines{"+XTEXT: hello", "OK"}));
}

TEST_F(LinkTest, MessageNotificationTakesItsBodyLine) {
  recorder_.Register(2);
  Control("send \\r\\n+CMT: \"123\",,\"24/01/02\"\\r\\nOK is just text\\r\\n");
  ASSERT_TRUE(recorder_.WaitForBlocks(1));
  EXPECT_EQ(recorder_.Blocks()[0].lines, (Lines{"+CMT: \"123\",,\"24/01/02\"", "OK is just text"}));
}

TEST_F(LinkTest, SignalNotificationReachesSlot5) {
  recorder_.Register(5);
  Control("notify +RSSI: 20,1");
  ASSERT_TRUE(recorder_.WaitForBlocks(1));
  EXPECT_EQ(recorder_.Blocks()[0].slot, 5);
  EXPECT_EQ(recorder_.Blocks()[0].lines, Lines{"+RSSI: 20,1"});
}

TEST_F(LinkTest, NotificationBetweenInformationAndFinalTakesTheEarlierLines) {
  recorder_.Register(5);
  modem_.WithEngine([](modemsim::ModemEngine& engine) {
    engine.Commands().Add("AT+XSPLIT", [](auto&, auto, modemsim::ModemReply& r) {
      r.Info("first");
      r.Info("+RSSI: 9,1");
      r.Info("second");
      r.Ok();
    });
  });
  EXPECT_EQ(LinesOf(Ask("AT+XSPLIT\r")), (Lines{"second", "OK"}));
  ASSERT_TRUE(recorder_.WaitForBlocks(1));
  EXPECT_EQ(recorder_.Blocks()[0].lines, (Lines{"first", "+RSSI: 9,1"}));
}

TEST_F(LinkTest, QueuedNewMessagesWaitForTheGate) {
  dispatcher_.NotificationGate().Reset();
  recorder_.Register(kNewMessageSlot);
  for (int i = 0; i < 51; ++i) Control("notify +CMTI: \"SM\"," + std::to_string(i));
  ASSERT_TRUE(log_.WaitForCount(51));
  EXPECT_EQ(dispatcher_.QueuedNotifications(), 50u);
  EXPECT_EQ(dispatcher_.DiscardedNotifications(), 1u);
  EXPECT_TRUE(recorder_.Blocks().empty());
  dispatcher_.NotificationGate().Set();
  ASSERT_TRUE(recorder_.WaitForBlocks(50));
  auto blocks = recorder_.Blocks();
  for (int i = 0; i < 50; ++i) {
    EXPECT_EQ(blocks[i].lines, Lines{"+CMTI: \"SM\"," + std::to_string(i)});
  }
}

TEST_F(LinkTest, SilentModemTimesOutAndTheNextCommandWorks) {
  Control("fault silent");
  CommandReply reply = Ask("AT\r", 300);
  EXPECT_EQ(reply.outcome, CommandOutcome::TimedOut);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  EXPECT_EQ(LinesOf(Ask("AT\r")), Lines{"OK"});
}

TEST_F(LinkTest, GarbageBeforeAnAnswerIsIgnored) {
  Control("fault garbage");
  EXPECT_EQ(LinesOf(Ask("AT+GSN\r")), (Lines{"0x80A1B2C3", "OK"}));
  Control("garbage 500");
  EXPECT_EQ(LinesOf(Ask("AT\r")), Lines{"OK"});
}

TEST_F(LinkTest, BrokenLineEndLosesThatAnswerOnly) {
  Control("fault brokeneol");
  EXPECT_EQ(Ask("AT\r", 300).outcome, CommandOutcome::TimedOut);
  EXPECT_EQ(LinesOf(Ask("AT+GMR\r")), (Lines{"SIM.1.0.0", "OK"}));
}

TEST_F(LinkTest, AnswerDeliveredByteByByteArrivesWhole) {
  Control("fault slow 1");
  CommandReply reply = Ask("ATI\r");
  EXPECT_EQ(reply.lineCount, 5u);
  EXPECT_EQ(std::string(reply.FinalResult()), "OK");
}

TEST_F(LinkTest, LateAnswerAfterGivingUpIsDiscarded) {
  dispatcher_.SetCommandArmWaitMs(200);
  Control("fault delay 600");
  EXPECT_EQ(Ask("AT\r", 100).outcome, CommandOutcome::TimedOut);
  ASSERT_TRUE(log_.WaitFor([](const auto& records) {
    return !records.empty() && records.back().lineClass == kLineOk && !records.back().delivered;
  }));
  EXPECT_EQ(LinesOf(Ask("AT+GSN\r")), (Lines{"0x80A1B2C3", "OK"}));
}

TEST_F(LinkTest, PortHeldByAnotherIsNotOpened) {
  CSerialPort second(std::make_unique<PosixSerialDevice>());
  EXPECT_FALSE(second.Open(modem_.SerialPath().c_str(), true));
  EXPECT_EQ(second.GetState(), CSerialPort::OpenFailed);
  EXPECT_EQ(second.LastError(), EBUSY);
}

TEST_F(LinkTest, CloseEndsTheReaderAndTheConnectionCanBeOpenedAgain) {
  port_.Close();
  EXPECT_FALSE(port_.IsOpen());
  EXPECT_FALSE(port_.IsReaderRunning());
  EXPECT_EQ(port_.GetState(), CSerialPort::Closed);
  ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
  EXPECT_EQ(LinesOf(Ask("AT\r")), Lines{"OK"});
}

TEST_F(LinkTest, OpeningAMissingPortFails) {
  CSerialPort other(std::make_unique<PosixSerialDevice>());
  EXPECT_FALSE(other.Open("/dev/nonexistent-modem-port", true));
  EXPECT_EQ(other.GetState(), CSerialPort::OpenFailed);
}

class LinkCallsOffTest : public LinkFixture {
protected:
  LinkCallsOffTest() { setup_.Main_nCall = 0; }
};

TEST_F(LinkCallsOffTest, RingIsNotDelivered) {
  recorder_.Register(kRingSlot);
  Control("notify RING");
  ASSERT_TRUE(log_.WaitForCount(1));
  EXPECT_FALSE(log_.Records()[0].delivered);
  EXPECT_EQ(LinesOf(Ask("AT\r")), Lines{"OK"});
  EXPECT_TRUE(recorder_.Blocks().empty());
}

class RemovalLinkTest : public LinkFixture {
protected:
  test::PostedMessages catcher_;
  ManualEventLoop loop_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(catcher_);
  Event pictureShown_{Event::Mode::Manual};
  Event ended_{Event::Mode::Manual};
  std::atomic<bool> startingUp_{false};

  void SetUp() override {
    hooks_.isStartingUp = [this] { return startingUp_.load(); };
    hooks_.endProcess = [this](int code) {
      if (code == 0) ended_.Set();
    };
    hooks_.showExitPicture = [this] { pictureShown_.Set(); };
    hooks_.quit = PostQuitTo(window_);
    hooks_.exitPictureMs = 10;
    LinkFixture::SetUp();
  }
};

TEST_F(RemovalLinkTest, PulledOutDeviceQuitsTheApplication) {
  Control("hangup");
  ASSERT_TRUE(loop_.WaitForPost(10000));
  loop_.RunPending();
  EXPECT_EQ(catcher_.messages, std::vector<MessageId>{WM_QUIT});
  EXPECT_TRUE(pictureShown_.IsSet());
  EXPECT_FALSE(ended_.IsSet());
  // Writing to a device that has gone fails and leaves the port Ready.
  EXPECT_FALSE(port_.Write("AT\r", 3, false));
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
}

TEST_F(RemovalLinkTest, PulledOutDuringStartUpEndsTheProcess) {
  startingUp_ = true;
  Control("hangup");
  ASSERT_TRUE(ended_.Wait(10000));
  EXPECT_FALSE(pictureShown_.IsSet());
}

TEST(RingLinkTest, FullRingLosesNothingWhileNobodyTakesBytes) {
  modemsim::SimulatedModem modem;
  std::string error;
  ASSERT_TRUE(modem.Open(error)) << error;
  ASSERT_TRUE(modem.Start());
  Event arrived(Event::Mode::Auto);
  CSerialPort port(std::make_unique<PosixSerialDevice>());
  port.SetDataArrivedEvent(&arrived);
  ASSERT_TRUE(port.Open(modem.SerialPath().c_str(), true));
  ASSERT_EQ(modem.Control("flood 1000 0 0123456789ABCDEF"), "OK\n");  // 20 bytes a line
  auto waitFor = [&](std::size_t count) {
    while (port.ReceivedCount() != count) {
      if (!arrived.Wait(10000)) return false;
    }
    return true;
  };
  ASSERT_TRUE(waitFor(CSerialPort::kRingSize));
  std::string taken(20000, '\0');
  auto* out = reinterpret_cast<std::uint8_t*>(taken.data());
  ASSERT_EQ(port.TakeReceived(out, CSerialPort::kRingSize), CSerialPort::kRingSize);
  ASSERT_TRUE(waitFor(20000 - CSerialPort::kRingSize));
  ASSERT_EQ(port.TakeReceived(out + CSerialPort::kRingSize, 20000), 20000 - CSerialPort::kRingSize);
  std::string expected;
  for (int i = 0; i < 1000; ++i) expected += "\r\n0123456789ABCDEF\r\n";
  EXPECT_EQ(taken, expected);
  port.Close();
  modem.Stop();
}

TEST(ConfigureTest, SetsRaw8N1At460800AndKeepsOtherSettings) {
  modemsim::PseudoTerminal pty;
  std::string error;
  ASSERT_TRUE(pty.Create(error)) << error;
  termios before{};
  ASSERT_EQ(tcgetattr(pty.SerialFd(), &before), 0);
  before.c_cflag |= PARENB | CSTOPB | CLOCAL;
  before.c_cflag &= ~tcflag_t(CSIZE);
  before.c_cflag |= CS7;
  before.c_iflag |= IXOFF | ICRNL;
  before.c_lflag |= ICANON | ECHO;
  cfsetspeed(&before, B9600);
  ASSERT_EQ(tcsetattr(pty.SerialFd(), TCSANOW, &before), 0);

  CSerialPort port(std::make_unique<PosixSerialDevice>());
  ASSERT_TRUE(port.Open(pty.SerialPath().c_str(), false));
  termios after{};
  ASSERT_EQ(tcgetattr(pty.SerialFd(), &after), 0);
  EXPECT_EQ(cfgetospeed(&after), speed_t(B460800));
  EXPECT_EQ(after.c_cflag & CSIZE, tcflag_t(CS8));
  EXPECT_EQ(after.c_cflag & (PARENB | CSTOPB), 0u);
  EXPECT_EQ(after.c_lflag & (ICANON | ECHO), 0u);
  EXPECT_EQ(after.c_iflag & ICRNL, 0u);
  // Not ours to change.
  EXPECT_NE(after.c_cflag & CLOCAL, 0u);
  EXPECT_NE(after.c_iflag & IXOFF, 0u);
  port.Close();
}

}  // namespace
}  // namespace evdo
