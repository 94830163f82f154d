#pragma once
// The call page's logic on the manual clock: the real port over a scripted
// device, the dispatcher with its threads, the answers fed in by the test.
#include <gtest/gtest.h>

#include <atomic>
#include <string>
#include <vector>

#include "calls/CallControl.h"
#include "core/event/ManualEventLoop.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "tests/device/FakeSerialDevice.h"
#include "tests/support/TempDir.h"

namespace evdo::test {

class CallFixture : public ::testing::Test {
protected:
  struct Route : WindowHandler {
    CCallControl* control = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { control->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { control->OnTimer(id); }
  };

  CallFixture() {
    auto device = std::make_unique<FakeSerialDevice>(&script_);
    device_ = device.get();
    port_ = std::make_unique<CSerialPort>(std::move(device));
    setup_.Main_nCall = 1;
    dispatcher_ = std::make_unique<CAtDispatcher>(*port_, setup_);
    dispatcher_->SetIncomingCallHook([this] { incomingFlag_ = true; });
    dispatcher_->SetCommandArmWaitMs(2000);
    exchange_ = std::make_unique<CCommandExchange>(*port_, *dispatcher_);
  }

  void SetUp() override {
    ASSERT_TRUE(port_->Open("/dev/fake", false));
    ASSERT_TRUE(dispatcher_->StartThreads());
    dispatcher_->ParserStartEvent().Set();
    history_ = std::make_unique<CHistData>(dir_.File("HistData.dat"));
    history_->Load();
    CallHooks hooks;
    hooks.now = [this] { return base_.AddSeconds(static_cast<std::int64_t>(loop_.Now() / 1000)); };
    hooks.beep = [this] { ++beeps_; };
    hooks.showMessage = [this](int id) { messages_.push_back(id); };
    hooks.openInfoDialog = [this](int mode) {
      infoModes_.push_back(mode);
      fieldDuringInfo_ = control_->Field();
    };
    hooks.contactName = [](std::string_view number) -> std::optional<std::string> {
      if (number == "13800138000") return std::string("Alice");
      if (number == "10086") return std::string();
      return std::nullopt;
    };
    hooks.powerManagement = [this] { return powerManagement_; };
    hooks.cardReady = [this] { return cardReady_; };
    hooks.callRecorded = [this](int kind) { recorded_.push_back(kind); };
    hooks.ringing = [this](const std::string& number) { ringing_.push_back(number); };
    hooks.ringingEnded = [this] { ++ringingEnded_; };
    hooks.missed = [this](const std::string& number) { missed_.push_back(number); };
    hooks.clearIncomingFlag = [this] { incomingFlag_ = false; };
    control_ = std::make_unique<CCallControl>(*exchange_, window_, history_.get(), hooks);
    route_.control = control_.get();
    control_->RegisterNotifications(*dispatcher_);
    control_->Start();
  }

  void TearDown() override {
    control_.reset();
    dispatcher_->Shutdown();
    port_->Close();
  }

  // Bytes from the modem, as the parser would take them from the port.
  void FromModem(const std::string& bytes) {
    dispatcher_->ProcessBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
  }
  void Line(const std::string& line) { FromModem("\r\n" + line + "\r\n"); }
  // Lets posted messages (also from the consumer thread) arrive.
  void Settle() {
    for (int i = 0; i < 20; ++i) {
      if (!loop_.WaitForPost(20)) break;
      loop_.RunPending();
    }
    loop_.RunPending();
  }
  std::vector<std::string> Writes() const {
    std::vector<std::string> out;
    for (const std::string& c : device_->Calls())
      if (c.rfind("write:", 0) == 0) out.push_back(c.substr(6));
    return out;
  }
  std::string LastWrite() const {
    auto w = Writes();
    return w.empty() ? "" : w.back();
  }
  void Type(const std::string& keys) {
    for (char k : keys) control_->PressKey(k, 100);
  }
  // Dials number and answers OK: the call is up.
  void Connect(const std::string& number) {
    Type(number);
    control_->Dial();
    ASSERT_EQ(LastWrite(), "AT+CDV " + number + "\r");
    Line("OK");
    Settle();
    ASSERT_TRUE(control_->InCall());
  }
  void Ring(const std::string& clip = "") {
    Line("RING");
    Settle();  // the two come through different buffers of the dispatcher
    if (!clip.empty()) Line("+CLIP: \"" + clip + "\",129");
    Settle();
  }
  HistRecord Recorded(int list, int slot = 0) const {
    HistRecord r{};
    EXPECT_TRUE(history_->Get(list, slot, r));
    return r;
  }

  FakeSerialDevice::Script script_;
  FakeSerialDevice* device_ = nullptr;
  std::unique_ptr<CSerialPort> port_;
  CSetupData setup_;
  std::unique_ptr<CAtDispatcher> dispatcher_;
  std::unique_ptr<CCommandExchange> exchange_;
  ManualEventLoop loop_;
  Route route_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(route_);
  evdo::test::TempDir dir_;
  std::unique_ptr<CHistData> history_;
  std::unique_ptr<CCallControl> control_;
  DateTime base_ = DateTime::FromLocal(2024, 5, 1, 10, 0, 0);

  int powerManagement_ = 1;
  bool cardReady_ = true;
  int beeps_ = 0;
  std::vector<int> messages_;
  std::vector<int> infoModes_;
  std::string fieldDuringInfo_;
  std::vector<int> recorded_;
  std::vector<std::string> ringing_;
  int ringingEnded_ = 0;
  std::vector<std::string> missed_;
  std::atomic<bool> incomingFlag_{false};
};

}  // namespace evdo::test
