#include "security/RadioSwitch.h"

#include "security/CardAnswers.h"
#include "security/SecurityIds.h"

namespace evdo {

CRadioSwitch::CRadioSwitch(CCommandExchange& exchange, WindowPort& self, RadioView view,
                           CSetupData& setup)
    : exchange_(exchange, self), self_(self), view_(std::move(view)), setup_(setup) {}

void CRadioSwitch::Open() {
  on_ = setup_.Setup_nPowerManagement != 0;
  ShowState();
}

void CRadioSwitch::ShowState() {
  if (view_.enableRadio) view_.enableRadio(!on_, on_);
  if (view_.enablePinButtons) view_.enablePinButtons(on_);
}

void CRadioSwitch::Busy(bool busy) {
  if (view_.setBusy) view_.setBusy(busy);
}

void CRadioSwitch::Switch(bool on) {
  if (IsBusy() || on == on_) return;
  requested_ = on;
  exchange_.Send(on ? kCmdRadioOn : kCmdRadioOff, kRadioTimer, kRadioWaitMs,
                 [this](CommandOutcome outcome, const CommandReply& reply) {
                   if (outcome == CommandOutcome::NotWritten) return;
                   Busy(false);
                   if (outcome == CommandOutcome::Answered && IsOkAnswer(reply)) {
                     self_.PostMessage(kMsgRadioDone, 0, 0);
                     return;
                   }
                   if (view_.showMessage) {
                     view_.showMessage(outcome == CommandOutcome::TimedOut ? kStrModemTimeout
                                                                          : kStrRadioSwitchFailed);
                   }
                   ShowState();
                 });
  if (!IsBusy()) return;
  if (view_.enableRadio) view_.enableRadio(false, false);
  if (view_.enablePinButtons) view_.enablePinButtons(false);
  Busy(true);
}

void CRadioSwitch::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message != kMsgRadioDone) return exchange_.OnMessage(message, wParam, lParam);
  on_ = requested_;
  setup_.Setup_nPowerManagement = on_ ? 1 : 0;
  ShowState();
  if (view_.saveSettings && !view_.saveSettings() && view_.showMessage) {
    view_.showMessage(kStrFileNotWritable);
  }
}

}  // namespace evdo
