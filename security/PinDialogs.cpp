#include "security/PinDialogs.h"

#include <string>

#include "security/PinCode.h"
#include "security/SecurityIds.h"

namespace evdo {

void CPinDialogLogic::Start() {
  ShowAttempts();
  if (busy_) return;
  SetBusy(true);
  card_.QueryAttempts([this](CommandOutcome) {
    SetBusy(false);
    ShowAttempts();
  });
}

void CPinDialogLogic::ShowAttempts() {
  std::uint16_t attempts = ShownAttempts();
  if (view_.showAttempts) view_.showAttempts(attempts, attempts == 1);
}

void CPinDialogLogic::SetBusy(bool busy) {
  busy_ = busy;
  if (view_.setBusy) view_.setBusy(busy);
}

void CPinDialogLogic::Exchange(const std::function<void(CCardCommands::Done)>& send,
                               std::function<void(CardVerdict)> evaluate) {
  SetBusy(true);
  send([this, evaluate = std::move(evaluate)](CommandOutcome outcome) {
    if (outcome != CommandOutcome::Answered) {
      SetBusy(false);
      return;
    }
    CardVerdict verdict = card_.LastVerdict();
    // The card's own counts, whatever words its answer used.
    card_.QueryAttempts([this, evaluate, verdict](CommandOutcome) {
      SetBusy(false);
      ShowAttempts();
      evaluate(verdict);
    });
  });
}

void CSignInLogic::Ok(std::string_view pin) {
  if (busy_) return;
  if (!IsPinCode(pin)) return Message(kStrPinLength);
  std::string code(pin);
  Exchange([this, code](CCardCommands::Done done) { card_.EnterPin(code, std::move(done)); },
           [this](CardVerdict verdict) { Evaluate(verdict); });
}

void CSignInLogic::Evaluate(CardVerdict verdict) {
  CPinStatus& pin = card_.Pin();
  std::uint16_t attempts = pin.pinAttempts;
  if (verdict == CardVerdict::Ok) {
    pin.simState = kSimStateReady;
    return Close(true);
  }
  if (attempts == 0 || verdict == CardVerdict::NeedsPuk) {
    pin.simState = kSimStatePukRequired;
    Message(kStrPinBlockedAtEntry);
    return Close(false);
  }
  if (verdict == CardVerdict::WrongCode) return Message(kStrWrongPin);
  Message(kStrCardNotReady);
}

void CPinLockLogic::Ok(std::string_view pin) {
  if (busy_) return;
  if (!IsPinCode(pin)) return Message(kStrPinLength);
  std::int16_t lock = card_.Pin().pinLock;
  if (mode_ == 0 && lock == kPinLockOn) return Message(kStrPinRequestAlreadyOn);
  if (mode_ == 1 && lock == kPinLockOff) return Message(kStrPinRequestAlreadyOff);
  std::string code(pin);
  bool on = mode_ == 0;
  Exchange([this, code, on](CCardCommands::Done done) { card_.SwitchLock(on, code, std::move(done)); },
           [this](CardVerdict verdict) { Evaluate(verdict); });
}

void CPinLockLogic::Evaluate(CardVerdict verdict) {
  std::uint16_t attempts = card_.Pin().pinAttempts;
  if (verdict == CardVerdict::Ok) return Close(true);
  if (attempts == 0 || verdict == CardVerdict::NeedsPuk) {
    card_.Pin().simState = kSimStatePukRequired;
    Message(kStrPinBlocked);
    return Close(false);
  }
  if (verdict == CardVerdict::WrongCode) return Message(kStrWrongPin);
  Message(kStrCardNotReady);
}

void CModifyPinLogic::Ok(std::string_view code, std::string_view newPin,
                         std::string_view confirmation) {
  if (busy_) return;
  if (!IsPinCode(code) || !IsPinCode(newPin) || !IsPinCode(confirmation)) {
    return Message(kStrPinLength);
  }
  if (newPin != confirmation) return Message(kStrPinMismatch);
  std::string first(code);
  std::string second(newPin);
  if (mode_ == 0) {
    Exchange([this, first, second](CCardCommands::Done done) {
               card_.ChangePin(first, second, std::move(done));
             },
             [this](CardVerdict verdict) { EvaluateChange(verdict); });
  } else {
    Exchange([this, first, second](CCardCommands::Done done) {
               card_.Unblock(first, second, std::move(done));
             },
             [this](CardVerdict verdict) { EvaluateUnblock(verdict); });
  }
}

void CModifyPinLogic::EvaluateChange(CardVerdict verdict) {
  std::uint16_t attempts = card_.Pin().pinAttempts;
  if (verdict == CardVerdict::Ok) {
    Message(kStrPinChanged);
    return Close(true);
  }
  if (attempts == 0 || verdict == CardVerdict::NeedsPuk) {
    card_.Pin().simState = kSimStatePukRequired;
    Message(kStrPinBlocked);
    return Close(false);
  }
  if (verdict == CardVerdict::WrongCode) return Message(kStrWrongPin);
  Message(kStrCardNotReady);
}

void CModifyPinLogic::EvaluateUnblock(CardVerdict verdict) {
  CPinStatus& pin = card_.Pin();
  if (verdict == CardVerdict::Ok) {
    pin.simState = kSimStateReady;
    return Close(true);
  }
  if (pin.pukAttempts == 0 || pin.simState == kSimStateDestroyed || verdict == CardVerdict::Destroyed) {
    pin.pukAttempts = 0;
    pin.simState = kSimStateDestroyed;
    Message(kStrCardDestroyed);
    return Close(false);
  }
  if (verdict == CardVerdict::WrongCode) return Message(kStrWrongPuk);
  Message(kStrCardNotReady);
}

}  // namespace evdo
