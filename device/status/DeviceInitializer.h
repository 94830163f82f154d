#pragma once
// The device initialisation sequence: brings a freshly (re)opened modem into
// a known state step by step. It runs on the user-interface thread as a
// state machine: every wait is a window timer and every command answer
// arrives as a posted message, so the window stays responsive throughout,
// including the unbounded wait for the card's PIN.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/event/Event.h"
#include "core/settings/SetupData.h"
#include "core/event/WindowPort.h"
#include "device/status/DeviceStatus.h"
#include "device/status/StatusCommands.h"

namespace evdo {

// Language strings of the sequence.
inline constexpr int kMsgServiceCheckFailed = 380;
inline constexpr int kMsgNoServiceQuit = 413;

// Waits of the sequence, in milliseconds.
inline constexpr std::uint32_t kReinitialiseDelayMs = 4000;
inline constexpr std::uint32_t kFirstProgressDelayMs = 200;
inline constexpr std::uint32_t kServiceRepeatMs = 500;
inline constexpr std::uint32_t kCheckFailedDelayMs = 2000;
inline constexpr std::uint32_t kCheckSucceededDelayMs = 300;
inline constexpr std::uint32_t kStepDelayMs = 50;
inline constexpr std::uint32_t kStepsEndedDelayMs = 500;
inline constexpr std::uint32_t kSimWatchMs = 100;
inline constexpr int kEchoOffAttempts = 10;
// The user is asked whether to quit after every this many service repetitions.
inline constexpr int kServiceRepeatsPerQuestion = 60;

// The step table: up to nine entries run in order; an End entry ends it.
inline constexpr int kInitStepCount = 9;
struct InitStep {
  enum Kind { End, Command, Refused } kind;  // Refused: returns 1 at once
  StatusCommand command;
};
extern const InitStep kInitSteps[kInitStepCount];

// What the sequence asks of the windows around it. Empty hooks are skipped.
struct DeviceInitHooks {
  // Use the start-up picture window if it is still shown, else open one.
  std::function<void()> openPicture;
  // Show the progress text (the dots) on the picture window.
  std::function<void(std::string_view)> showProgress;
  // Close the picture window and forget the start-up picture window.
  std::function<void()> closePicture;
  std::function<void()> restoreMainWindow;
  // The card asks for its PIN (SIM state 20) or PUK (21): open the entry.
  // The wait ends when the SIM state becomes 22 or 23, or when the owner
  // calls PinEntryEnded.
  std::function<void(std::int16_t simState)> startPinEntry;
  // Message 413 with OK and Cancel; call answer(true) for OK (quit), false
  // for Cancel, now or later. Without this hook the sequence goes on.
  std::function<void(int messageId, std::function<void(bool quit)> answer)> askQuit;
  // End the application at once (413 answered OK): remove the notification
  // icon, close the window's events, exit code 0.
  std::function<void()> quitApplication;
  // Show the message and end the process with exit code 0 (the service
  // check failed and calls are off).
  std::function<void(int messageId)> failAndExit;
  // The sequence has ended normally.
  std::function<void()> finished;
};

class CDeviceInitializer : public WindowHandler {
public:
  CDeviceInitializer(CDeviceStatus& status, StatusCommandSender& commands, Event& notificationGate,
                     WindowPort& self, const CSetupData& setup = CSetupData::Instance());
  CDeviceInitializer(const CDeviceInitializer&) = delete;
  CDeviceInitializer& operator=(const CDeviceInitializer&) = delete;

  void SetHooks(DeviceInitHooks hooks) { hooks_ = std::move(hooks); }

  // Starts the sequence and returns at once. False (nothing done) while a
  // sequence is already running.
  bool InitializeDevice();
  bool IsRunning() const { return running_; }
  // Suspend: stops the sequence where it stands (its command included)
  // without deciding anything; a later InitializeDevice starts afresh.
  void Abort();

  // PIN management reports that its entry window has closed: the SIM state
  // 22 lets the sequence go on, anything else counts as given up.
  void PinEntryEnded();
  // The user gave the PIN entry up: the wait ends and the sequence goes on
  // without the card (the steps still run), so that what needs no card stays
  // usable; the card stays locked. A card that became ready meanwhile goes
  // on as usual.
  void PinEntryGivenUp();
  bool IsWaitingForCard() const { return waitingForCard_; }

  const std::string& ProgressText() const { return progress_; }
  // The outcome of the last service query (the steps run only after 0).
  CommandOutcome LastServiceOutcome() const { return lastService_; }

  void OnMessage(MessageId, WParam, LParam) override {}
  void OnTimer(TimerId timerId) override;

private:
  using Action = void (CDeviceInitializer::*)();

  void Wait(std::uint32_t ms, Action next);
  void AddDot();
  void ShowProgress();
  void Send(StatusCommand command, void (CDeviceInitializer::*done)(CommandOutcome));

  void ShowFirstProgress();
  void EchoOff();
  void OnEchoOff(CommandOutcome outcome);
  void QueryService();
  void OnServiceAnswer(CommandOutcome outcome);
  void RepeatServiceQuery();
  void OnRepeatedServiceAnswer(CommandOutcome outcome);
  void EvaluateSimState();
  void AskWhetherToQuit();
  void WaitForCard();
  void WatchCard();
  void CheckFailed();
  void FailAndExit();
  void CheckSucceeded();
  void QueryCsmss();
  void OnCsmss(CommandOutcome outcome);
  void AfterCheck();
  void RunStep();
  void OnStep(CommandOutcome outcome);
  void StepsEnded();
  void Finish();
  void Stop();

  CDeviceStatus& status_;
  StatusCommandSender& commands_;
  Event& gate_;
  WindowPort& self_;
  const CSetupData& setup_;
  DeviceInitHooks hooks_;

  bool running_ = false;
  // Counts the sequences stopped from outside; answers and questions of an
  // earlier one are ignored.
  unsigned generation_ = 0;
  bool waitingForCard_ = false;
  std::string progress_;
  Action next_ = nullptr;
  int echoAttempts_ = 0;
  int serviceRepeats_ = 0;
  int step_ = 0;
  CommandOutcome lastService_ = CommandOutcome::NotWritten;
};

}  // namespace evdo
