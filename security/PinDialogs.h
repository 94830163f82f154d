#pragma once
// What the PIN windows do, without the windows: the PIN entry (CDlgSignIn),
// switching the PIN request (CPinClckDlg) and changing the PIN or unblocking
// the card (CModifyPinDlg). Each checks the codes, sends its command, reads
// the attempts left back from the card and decides what the window shows
// and whether it closes. Everything runs on the window's event layer.
#include <cstdint>
#include <functional>
#include <string_view>

#include "security/CardCommands.h"
#include "ui/StringIds.h"

namespace evdo {

struct PinDialogView {
  // A message box with the language string (caption: the prefixed
  // application title).
  std::function<void(StringId message)> showMessage;
  // The attempts left (kAttemptsUnset: not known); last is true when only
  // one is left, which the window announces before it is used.
  std::function<void(std::uint16_t attempts, bool last)> showAttempts;
  // A command is outstanding: wait cursor, OK disabled.
  std::function<void(bool busy)> setBusy;
  // Closes the window with OK (true) or Cancel (false).
  std::function<void(bool accepted)> close;
};

// Shared by the three windows: the outstanding command and the view.
class CPinDialogLogic {
public:
  CPinDialogLogic(CCardCommands& card, PinDialogView view) : card_(card), view_(std::move(view)) {}
  virtual ~CPinDialogLogic() = default;

  bool IsBusy() const { return busy_; }
  // Reads the attempts left from the card and shows them.
  void Start();

protected:
  virtual std::uint16_t ShownAttempts() const { return card_.Pin().pinAttempts; }
  void ShowAttempts();
  void Message(StringId id) {
    if (view_.showMessage) view_.showMessage(id);
  }
  void Close(bool accepted) {
    if (view_.close) view_.close(accepted);
  }
  void SetBusy(bool busy);
  // Sends with send, then (when answered) re-reads the attempts and calls
  // evaluate with what the card said to the command. A command not written
  // or not answered leaves the window open and unchanged.
  void Exchange(const std::function<void(CCardCommands::Done)>& send,
                std::function<void(CardVerdict)> evaluate);

  CCardCommands& card_;
  PinDialogView view_;
  bool busy_ = false;
};

// CDlgSignIn: enter the PIN the card asks for.
class CSignInLogic : public CPinDialogLogic {
public:
  using CPinDialogLogic::CPinDialogLogic;
  void Ok(std::string_view pin);

private:
  void Evaluate(CardVerdict verdict);
};

// CPinClckDlg: mode 0 switches the PIN request on, mode 1 off.
class CPinLockLogic : public CPinDialogLogic {
public:
  CPinLockLogic(CCardCommands& card, PinDialogView view, int mode)
      : CPinDialogLogic(card, std::move(view)), mode_(mode) {}
  int Mode() const { return mode_; }
  StringId Title() const { return mode_ == 0 ? kStrTitlePinRequestOn : kStrTitlePinRequestOff; }
  void Ok(std::string_view pin);

private:
  void Evaluate(CardVerdict verdict);
  int mode_;
};

// CModifyPinDlg: mode 0 changes the PIN (old PIN, new PIN), mode 1 unblocks
// the card (PUK, new PIN).
class CModifyPinLogic : public CPinDialogLogic {
public:
  CModifyPinLogic(CCardCommands& card, PinDialogView view, int mode)
      : CPinDialogLogic(card, std::move(view)), mode_(mode) {}
  int Mode() const { return mode_; }
  StringId Title() const { return mode_ == 0 ? kStrTitleChangePin : kStrTitleUnblock; }
  StringId CodeLabel() const { return mode_ == 0 ? kStrLabelCurrentPin : kStrLabelPuk; }
  StringId AttemptsLabel() const { return mode_ == 0 ? kStrLabelPinAttempts : kStrLabelPukAttempts; }
  void Ok(std::string_view code, std::string_view newPin, std::string_view confirmation);

protected:
  std::uint16_t ShownAttempts() const override {
    return mode_ == 0 ? card_.Pin().pinAttempts.load() : card_.Pin().pukAttempts.load();
  }

private:
  void EvaluateChange(CardVerdict verdict);
  void EvaluateUnblock(CardVerdict verdict);
  int mode_;
};

}  // namespace evdo
