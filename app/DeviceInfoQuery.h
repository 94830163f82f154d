#pragma once
// Reads the device texts of the About window once the device is initialised:
// the identity ("AT+GSN", completed to 15 digits when it has 14) and the
// firmware version ("AT+GMR"). Each exchange follows the command contract
// with a window timer; an answer arrives as a message posted to the query's
// own window.
#include <cstdint>
#include <functional>
#include <mutex>
#include <string>

#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"

namespace evdo {

class CDeviceInfoQuery : public WindowHandler {
public:
  static constexpr MessageId kMsgAnswered = WM_USER + 1;
  static constexpr TimerId kGuardTimer = 1;
  static constexpr std::uint32_t kAnswerWaitMs = 5000;
  // While another command is outstanding the query waits and tries again.
  static constexpr std::uint32_t kRetryMs = 1000;
  static constexpr int kWriteAttempts = 10;

  // self is the window whose messages and timers reach this object.
  CDeviceInfoQuery(CCommandExchange& exchange, WindowPort& self);
  ~CDeviceInfoQuery() override;
  CDeviceInfoQuery(const CDeviceInfoQuery&) = delete;
  CDeviceInfoQuery& operator=(const CDeviceInfoQuery&) = delete;

  // Asks for both texts; done runs (on the window's thread) when both
  // exchanges have ended, answered or not. A query already running is
  // started afresh.
  void Start(std::function<void()> done = {});
  bool IsRunning() const { return step_ != Step::Idle; }
  // Suspend: ends the query where it stands; done is not called.
  void Stop();

  // Empty until the modem has answered.
  const std::string& Identity() const { return identity_; }
  const std::string& Firmware() const { return firmware_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  enum class Step { Idle, Identity, Firmware };

  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  void SendCurrent();
  void Take(const CommandReply& reply);
  void Next();

  CCommandExchange& exchange_;
  WindowPort& self_;
  Step step_ = Step::Idle;
  bool waitingForAnswer_ = false;
  int attempts_ = 0;
  std::function<void()> done_;
  std::string identity_;
  std::string firmware_;

  std::mutex replyLock_;  // the parser thread fills reply_
  CommandReply reply_;
};

}  // namespace evdo
