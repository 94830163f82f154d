#include "device/status/DeviceInitializer.h"

#include <utility>

namespace evdo {

const InitStep kInitSteps[kInitStepCount] = {
    {InitStep::Command, StatusCommand::Operator},
    {InitStep::Command, StatusCommand::NetworkType},
    {InitStep::Command, StatusCommand::Roaming},
    {InitStep::Command, StatusCommand::Signal},
    {InitStep::Command, StatusCommand::MessageFormat},
    {InitStep::Command, StatusCommand::ServiceCentre},
    // The new-message indication step that used to follow is disabled: this
    // entry refuses, so the sequence always ends here.
    {InitStep::Refused, StatusCommand::Generic},
    {InitStep::End, StatusCommand::Generic},
    {InitStep::End, StatusCommand::Generic},
};

namespace {

// A SIM state that a service answer can report and that decides the check.
bool IsKnownSimState(std::int16_t state) {
  switch (state) {
    case kSimStateUnusable:
    case kSimStateNoService:
    case kSimStatePinRequired:
    case kSimStatePukRequired:
    case kSimStateReady:
    case kSimStateDestroyed:
      return true;
    default:
      return false;
  }
}

}  // namespace

CDeviceInitializer::CDeviceInitializer(CDeviceStatus& status, StatusCommandSender& commands,
                                       Event& notificationGate, WindowPort& self,
                                       const CSetupData& setup)
    : status_(status), commands_(commands), gate_(notificationGate), self_(self), setup_(setup) {}

bool CDeviceInitializer::InitializeDevice() {
  if (running_) return false;
  running_ = true;
  progress_ = ".";
  status_.SetInitialising(true);
  gate_.Reset();
  if (hooks_.openPicture) hooks_.openPicture();
  if (status_.initialisedOnce) {
    Wait(kReinitialiseDelayMs, &CDeviceInitializer::ShowFirstProgress);
  } else {
    ShowFirstProgress();
  }
  return true;
}

void CDeviceInitializer::OnTimer(TimerId timerId) {
  if (timerId == kSimWatchTimer) {
    WatchCard();
    return;
  }
  if (timerId != kInitWaitTimer || next_ == nullptr) return;
  self_.KillTimer(kInitWaitTimer);
  Action next = std::exchange(next_, nullptr);
  (this->*next)();
}

void CDeviceInitializer::Wait(std::uint32_t ms, Action next) {
  next_ = next;
  self_.SetTimer(kInitWaitTimer, ms);
}

void CDeviceInitializer::ShowProgress() {
  if (hooks_.showProgress) hooks_.showProgress(progress_);
}

void CDeviceInitializer::AddDot() {
  progress_ += '.';
  ShowProgress();
}

void CDeviceInitializer::Send(StatusCommand command,
                              void (CDeviceInitializer::*done)(CommandOutcome)) {
  // An outcome reported after the sequence was stopped belongs to no one.
  commands_.Send(command, [this, done, generation = generation_](CommandOutcome outcome) {
    if (running_ && generation == generation_) (this->*done)(outcome);
  });
}

void CDeviceInitializer::ShowFirstProgress() {
  ShowProgress();
  echoAttempts_ = 0;
  Wait(kFirstProgressDelayMs, &CDeviceInitializer::EchoOff);
}

void CDeviceInitializer::EchoOff() {
  ++echoAttempts_;
  Send(StatusCommand::EchoOff, &CDeviceInitializer::OnEchoOff);
}

void CDeviceInitializer::OnEchoOff(CommandOutcome outcome) {
  if (outcome == CommandOutcome::Answered || echoAttempts_ >= kEchoOffAttempts) {
    QueryService();
  } else {
    EchoOff();
  }
}

void CDeviceInitializer::QueryService() {
  serviceRepeats_ = 0;
  Send(StatusCommand::Service, &CDeviceInitializer::OnServiceAnswer);
}

void CDeviceInitializer::OnServiceAnswer(CommandOutcome outcome) {
  lastService_ = outcome;
  if (outcome != CommandOutcome::Answered) {
    CheckFailed();
  } else {
    EvaluateSimState();
  }
}

// An answer the service query cannot read leaves the SIM state unset (or at
// its resume value); no one would ever move it on, so it is asked again like
// "no service yet".
void CDeviceInitializer::EvaluateSimState() {
  std::int16_t state = status_.Pin().simState;
  if (state == kSimStateReady) {
    CheckSucceeded();
  } else if (state == kSimStateUnusable || state == kSimStateDestroyed) {
    CheckFailed();
  } else if (state == kSimStatePinRequired || state == kSimStatePukRequired) {
    WaitForCard();
  } else {
    Wait(kServiceRepeatMs, &CDeviceInitializer::RepeatServiceQuery);
  }
}

void CDeviceInitializer::RepeatServiceQuery() {
  commands_.EmptyCommandSlot();
  Send(StatusCommand::Service, &CDeviceInitializer::OnRepeatedServiceAnswer);
}

void CDeviceInitializer::OnRepeatedServiceAnswer(CommandOutcome outcome) {
  lastService_ = outcome;
  if (outcome != CommandOutcome::Answered) {
    CheckFailed();
    return;
  }
  std::int16_t state = status_.Pin().simState;
  if (state != kSimStateNoService && IsKnownSimState(state)) {
    EvaluateSimState();
    return;
  }
  if (++serviceRepeats_ % kServiceRepeatsPerQuestion == 0) {
    AskWhetherToQuit();
  } else {
    Wait(kServiceRepeatMs, &CDeviceInitializer::RepeatServiceQuery);
  }
}

void CDeviceInitializer::AskWhetherToQuit() {
  if (!hooks_.askQuit) {
    Wait(kServiceRepeatMs, &CDeviceInitializer::RepeatServiceQuery);
    return;
  }
  hooks_.askQuit(kMsgNoServiceQuit, [this, generation = generation_](bool quit) {
    if (!running_ || generation != generation_) return;
    if (quit) {
      Stop();
      if (hooks_.quitApplication) hooks_.quitApplication();
    } else {
      Wait(kServiceRepeatMs, &CDeviceInitializer::RepeatServiceQuery);
    }
  });
}

void CDeviceInitializer::WaitForCard() {
  waitingForCard_ = true;
  self_.SetTimer(kSimWatchTimer, kSimWatchMs);
  if (hooks_.startPinEntry) hooks_.startPinEntry(status_.Pin().simState);
  WatchCard();
}

void CDeviceInitializer::WatchCard() {
  if (!waitingForCard_) return;
  std::int16_t state = status_.Pin().simState;
  if (state != kSimStateReady && state != kSimStateDestroyed) return;
  waitingForCard_ = false;
  self_.KillTimer(kSimWatchTimer);
  if (state == kSimStateReady) {
    CheckSucceeded();
  } else {
    CheckFailed();
  }
}

void CDeviceInitializer::PinEntryEnded() {
  if (!waitingForCard_) return;
  WatchCard();
  if (!waitingForCard_) return;
  waitingForCard_ = false;
  self_.KillTimer(kSimWatchTimer);
  CheckFailed();
}

void CDeviceInitializer::PinEntryGivenUp() {
  if (!waitingForCard_) return;
  WatchCard();
  if (!waitingForCard_) return;
  waitingForCard_ = false;
  self_.KillTimer(kSimWatchTimer);
  AddDot();
  Wait(kCheckFailedDelayMs, &CDeviceInitializer::AfterCheck);
}

void CDeviceInitializer::CheckFailed() {
  if (setup_.Main_nCall == 0) {
    Wait(kCheckFailedDelayMs, &CDeviceInitializer::FailAndExit);
    return;
  }
  AddDot();
  Wait(kCheckFailedDelayMs, &CDeviceInitializer::AfterCheck);
}

void CDeviceInitializer::FailAndExit() {
  Stop();
  if (hooks_.failAndExit) hooks_.failAndExit(kMsgServiceCheckFailed);
}

void CDeviceInitializer::CheckSucceeded() {
  AddDot();
  Wait(kCheckSucceededDelayMs, &CDeviceInitializer::QueryCsmss);
}

void CDeviceInitializer::QueryCsmss() {
  Send(StatusCommand::Csmss, &CDeviceInitializer::OnCsmss);
}

void CDeviceInitializer::OnCsmss(CommandOutcome) { AfterCheck(); }

void CDeviceInitializer::AfterCheck() {
  AddDot();
  if (lastService_ != CommandOutcome::Answered) {
    Finish();
    return;
  }
  step_ = 0;
  Wait(kStepDelayMs, &CDeviceInitializer::RunStep);
}

void CDeviceInitializer::RunStep() {
  const InitStep& step = kInitSteps[step_];
  if (step.kind == InitStep::End) {
    Finish();
  } else if (step.kind == InitStep::Refused) {
    OnStep(CommandOutcome::NotWritten);
  } else {
    Send(step.command, &CDeviceInitializer::OnStep);
  }
}

void CDeviceInitializer::OnStep(CommandOutcome outcome) {
  if (outcome != CommandOutcome::Answered) {
    StepsEnded();
  } else if (++step_ == kInitStepCount) {
    Finish();
  } else {
    Wait(kStepDelayMs, &CDeviceInitializer::RunStep);
  }
}

void CDeviceInitializer::StepsEnded() {
  AddDot();
  Wait(kStepsEndedDelayMs, &CDeviceInitializer::Finish);
}

void CDeviceInitializer::Finish() {
  if (hooks_.closePicture) hooks_.closePicture();
  if (status_.initialisedOnce && hooks_.restoreMainWindow) hooks_.restoreMainWindow();
  gate_.Set();
  status_.SetInitialising(false);
  status_.initialisedOnce = true;
  Stop();
  if (hooks_.finished) hooks_.finished();
}

void CDeviceInitializer::Abort() {
  if (!running_) return;
  // The outstanding command goes first, so that nothing it reports later
  // moves the sequence on.
  commands_.Cancel();
  ++generation_;
  Stop();
  if (hooks_.closePicture) hooks_.closePicture();
  gate_.Set();
  status_.SetInitialising(false);
}

void CDeviceInitializer::Stop() {
  running_ = false;
  waitingForCard_ = false;
  next_ = nullptr;
  self_.KillTimer(kInitWaitTimer);
  self_.KillTimer(kSimWatchTimer);
}

}  // namespace evdo
