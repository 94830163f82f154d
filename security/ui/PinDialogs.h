#pragma once
// The PIN windows: CDlgSignIn (enter the PIN the card asks for),
// CPinClckDlg (switch the PIN request on or off) and CModifyPinDlg (change
// the PIN, or unblock the card with the PUK). Thin views over the logic of
// security/PinDialogs.h; every card command runs on the window's event
// layer, so the window never waits. They stay above the start-up picture.
#include <memory>

#include "security/CardCommands.h"
#include "security/PinDialogs.h"
#include "security/ReplyExchange.h"
#include "security/ui/SecurityContext.h"
#include "ui/skin/CBaseDlg.h"

class QLabel;
class QPushButton;

namespace evdo {

class CPinEdit;

class CPinDialog : public CBaseDlg {
  Q_OBJECT

public:
  CPinDialog(const SecurityContext& context, QWidget* parent);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

  QLabel* AttemptsLabel() const { return attempts_; }
  QLabel* WarningLabel() const { return warning_; }
  QPushButton* OkButton() const { return ok_; }
  QPushButton* CancelButton() const { return cancel_; }

protected:
  PinDialogView View();
  // The row of OK and Cancel (cancelText for Cancel's label).
  QWidget* MakeButtons(StringId cancelText);
  void showEvent(QShowEvent* event) override;

  SecurityContext context_;
  CReplyExchange exchange_;
  CCardCommands card_;
  StringId attemptsLabel_ = kStrLabelPinAttempts;
  StringId lastAttemptText_ = kStrLastPinAttempt;
  QLabel* attempts_ = nullptr;
  QLabel* warning_ = nullptr;
  QPushButton* ok_ = nullptr;
  QPushButton* cancel_ = nullptr;

private:
  virtual void Started() = 0;
  bool started_ = false;
};

class CDlgSignIn : public CPinDialog {
  Q_OBJECT

public:
  // atStartUp: the device initialisation waits for it; Cancel then reads
  // "Continue without card".
  CDlgSignIn(const SecurityContext& context, bool atStartUp, QWidget* parent = nullptr);
  CPinEdit* PinField() const { return pin_; }

private:
  void Started() override { logic_->Start(); }
  CPinEdit* pin_;
  std::unique_ptr<CSignInLogic> logic_;
};

class CPinClckDlg : public CPinDialog {
  Q_OBJECT

public:
  CPinClckDlg(const SecurityContext& context, int mode, QWidget* parent = nullptr);
  CPinEdit* PinField() const { return pin_; }

private:
  void Started() override { logic_->Start(); }
  CPinEdit* pin_;
  std::unique_ptr<CPinLockLogic> logic_;
};

class CModifyPinDlg : public CPinDialog {
  Q_OBJECT

public:
  // mode 0 change the PIN, 1 unblock with the PUK; atStartUp as CDlgSignIn.
  CModifyPinDlg(const SecurityContext& context, int mode, bool atStartUp = false,
                QWidget* parent = nullptr);
  CPinEdit* CodeField() const { return code_; }
  CPinEdit* NewPinField() const { return newPin_; }
  CPinEdit* ConfirmField() const { return confirm_; }

private:
  void Started() override { logic_->Start(); }
  CPinEdit* code_;
  CPinEdit* newPin_;
  CPinEdit* confirm_;
  std::unique_ptr<CModifyPinLogic> logic_;
};

}  // namespace evdo
