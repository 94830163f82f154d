#pragma once
// The four PIN buttons of the security page (and of the general page):
// switch the PIN request on or off, unblock with the PUK, change the PIN.
// Each press asks the card for its attempts, its state and its lock, then
// opens the matching window or says why not. The buttons are disabled while
// that runs; the windows are opened by the view and report when they close.
#include <functional>

#include "security/CardCommands.h"
#include "ui/StringIds.h"

namespace evdo {

enum class SecurityButton { LockOn, LockOff, Unblock, ChangePin };

struct SecurityButtonsView {
  std::function<void(bool enabled)> enableButtons;
  std::function<void(StringId message)> showMessage;
  // Opens CPinClckDlg (mode 0 on, 1 off); closed is called when it closes.
  std::function<void(int mode, std::function<void()> closed)> openLockDialog;
  // Opens CModifyPinDlg (mode 0 change, 1 unblock).
  std::function<void(int mode, std::function<void()> closed)> openModifyDialog;
};

class CSecurityButtons {
public:
  CSecurityButtons(CCardCommands& card, SecurityButtonsView view)
      : card_(card), view_(std::move(view)) {}

  // Runs the button's sequence; ignored while one runs.
  void Press(SecurityButton button);
  bool IsRunning() const { return running_; }

private:
  void AfterAttempts(CommandOutcome outcome);
  void AfterSimState(CommandOutcome outcome);
  void AfterLockState(CommandOutcome outcome);
  // A query the port refused: the buttons come back, so that the page can
  // be used again once the port is free.
  bool Refused(CommandOutcome outcome);
  void Enable(bool enabled);
  void Message(StringId id);
  void End();
  std::function<void()> EndWhenClosed();

  CCardCommands& card_;
  SecurityButtonsView view_;
  SecurityButton button_ = SecurityButton::LockOn;
  bool running_ = false;
};

}  // namespace evdo
