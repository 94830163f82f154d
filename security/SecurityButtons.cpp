#include "security/SecurityButtons.h"

namespace evdo {

void CSecurityButtons::Press(SecurityButton button) {
  if (running_) return;
  running_ = true;
  button_ = button;
  Enable(false);
  card_.QueryAttempts([this](CommandOutcome outcome) { AfterAttempts(outcome); });
}

void CSecurityButtons::Enable(bool enabled) {
  if (view_.enableButtons) view_.enableButtons(enabled);
}

void CSecurityButtons::Message(StringId id) {
  if (view_.showMessage) view_.showMessage(id);
}

void CSecurityButtons::End() {
  running_ = false;
  Enable(true);
}

std::function<void()> CSecurityButtons::EndWhenClosed() {
  return [this] { End(); };
}

bool CSecurityButtons::Refused(CommandOutcome outcome) {
  if (outcome == CommandOutcome::NotWritten) {
    End();
    return true;
  }
  if (outcome == CommandOutcome::TimedOut) {
    Message(kStrModemTimeout);
    End();
    return true;
  }
  return false;
}

void CSecurityButtons::AfterAttempts(CommandOutcome outcome) {
  if (Refused(outcome)) return;
  if (card_.LastVerdict() != CardVerdict::Ok) {
    // No card, or one that does not answer: nothing here can work.
    Message(kStrCardNotReady);
    return End();
  }
  if (card_.Pin().pukAttempts == 0) {
    // The card can no longer be unblocked; the buttons stay disabled.
    running_ = false;
    return Message(kStrCardUnusable);
  }
  card_.QuerySimState([this](CommandOutcome o) { AfterSimState(o); });
}

void CSecurityButtons::AfterSimState(CommandOutcome outcome) {
  if (Refused(outcome)) return;
  if (card_.Pin().simState == kSimStatePukRequired && button_ != SecurityButton::Unblock) {
    Message(kStrPinBlocked);
    return End();
  }
  if (button_ == SecurityButton::Unblock) {
    if (view_.openModifyDialog) return view_.openModifyDialog(1, EndWhenClosed());
    return End();
  }
  card_.QueryLockState([this](CommandOutcome o) { AfterLockState(o); });
}

void CSecurityButtons::AfterLockState(CommandOutcome outcome) {
  if (Refused(outcome)) return;
  bool locked = card_.Pin().pinLock == kPinLockOn;
  switch (button_) {
    case SecurityButton::LockOn:
      if (locked) break;
      if (view_.openLockDialog) return view_.openLockDialog(0, EndWhenClosed());
      break;
    case SecurityButton::LockOff:
      if (!locked) {
        Message(kStrPinRequestAlreadyOff);
        return End();
      }
      if (view_.openLockDialog) return view_.openLockDialog(1, EndWhenClosed());
      break;
    case SecurityButton::ChangePin:
      if (!locked) {
        Message(kStrPinRequestNeeded);
        return End();
      }
      if (view_.openModifyDialog) return view_.openModifyDialog(0, EndWhenClosed());
      break;
    case SecurityButton::Unblock: break;
  }
  if (button_ == SecurityButton::LockOn && locked) Message(kStrPinRequestAlreadyOn);
  End();
}

}  // namespace evdo
