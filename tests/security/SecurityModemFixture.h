#pragma once
// The security logic against the simulated modem: the real serial port on
// its pseudo-terminal, the dispatcher's threads, and one window of the
// manual event loop whose messages and timers go to every handler added.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo::test {

// Real time the loop waits for a post at each manual step.
constexpr int kRealWaitMs = 2;

struct FanOut : WindowHandler {
  std::vector<WindowHandler*> targets;
  std::vector<std::pair<MessageId, WParam>> posted;
  void OnMessage(MessageId m, WParam w, LParam l) override {
    posted.emplace_back(m, w);
    for (WindowHandler* t : targets) t->OnMessage(m, w, l);
  }
  void OnTimer(TimerId id) override {
    for (WindowHandler* t : targets) t->OnTimer(id);
  }
};

class SecurityModemFixture : public ::testing::Test {
protected:
  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
    Control("network searchms 300");
    SerialPortHooks hooks;
    hooks.showMessage = [this](int id) { refusals_.push_back(id); };
    port_.SetHooks(hooks);
    ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
    ASSERT_TRUE(dispatcher_.StartThreads());
    dispatcher_.ParserStartEvent().Set();
  }
  void TearDown() override {
    dispatcher_.Shutdown();
    port_.Close();
    modem_.Stop();
  }

  void Control(const std::string& line) { ASSERT_EQ(modem_.Control(line), "OK\n") << line; }
  std::string ControlText(const std::string& line) { return modem_.Control(line); }

  bool Until(const std::function<bool()>& pred, std::uint64_t limitMs = 20000, std::uint64_t stepMs = 10) {
    return loop_.AdvanceUntil(pred, limitMs, stepMs, kRealWaitMs);
  }
  // How often the modem received command (a whole line, without its CR).
  int Sent(const std::string& command) {
    std::string history = modem_.Control("history");
    int n = 0;
    for (std::size_t at = 0; (at = history.find(command + "\n", at)) != std::string::npos; ++at) {
      if (at == 0 || history[at - 1] == '\n') ++n;
    }
    return n;
  }
  bool PortFree() { return port_.GetState() == CSerialPort::Ready && !dispatcher_.HasHandler(kCommandSlot); }

  modemsim::SimulatedModem modem_;
  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  CCommandExchange exchange_{port_, dispatcher_};
  std::vector<int> refusals_;
  ManualEventLoop loop_;
  FanOut fan_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(fan_);
};

}  // namespace evdo::test
