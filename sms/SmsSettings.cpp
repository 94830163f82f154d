#include "sms/SmsSettings.h"

#include <utility>

#include "sms/SmsCommands.h"
#include "ui/StringIds.h"

namespace evdo::sms {

namespace {

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
    line.remove_suffix(1);
  return line;
}

}  // namespace

std::string PreferredStorageLine(int storage) {
  return std::string(kCmdPreferredStorage) + "=\"\",\"\",\"" + kStorageNames[storage == kPreferSm ? kStorageSm : kStorageMe] +
         "\"\r";
}

std::string RoutingLine(int storage) {
  return std::string(kCmdRouting) + (storage == kPreferPc ? "1,2" : "2,1") + "\r";
}

std::string NormalizeServiceCentre(std::string_view field) {
  if (field.empty() || field.find('+') != std::string_view::npos) return std::string(field);
  return "+" + std::string(field);
}

CSmsSettings::CSmsSettings(CCommandExchange& exchange, CSmsLinkLock& link, WindowPort& self, SettingsHooks hooks)
    : link_(link), hooks_(std::move(hooks)), channel_(exchange, self) {}

CSmsSettings::~CSmsSettings() { Abort(); }

void CSmsSettings::Show(int id, const std::string& detail) {
  if (hooks_.showMessage) hooks_.showMessage(id, detail);
}

SettingsApply CSmsSettings::Apply(const SettingsChoice& choice) {
  if (state_ != State::Idle) return SettingsApply::Busy;
  // The number is checked before anything is taken.
  const std::string centre = NormalizeServiceCentre(choice.serviceCentre);
  const std::string current = hooks_.serviceCentre ? hooks_.serviceCentre() : std::string();
  if (centre != current) {
    if (!centre.empty() && !IsSendableNumber(centre)) {
      Show(kStrBadMessageNumber, centre);
      return SettingsApply::BadServiceCentre;
    }
    if (hooks_.setServiceCentre) hooks_.setServiceCentre(centre);
    Show(kStrServiceCentreChanged);
  }
  const int validity = choice.validity >= 0 && choice.validity < kValidityChoiceCount ? choice.validity : 2;
  if (hooks_.saveChoices && !hooks_.saveChoices(validity, choice.deliveryReport)) Show(kStrFileNotWritable);
  storage_ = choice.storage >= 0 && choice.storage < kPreferredStorageCount ? choice.storage : kPreferMe;
  if (hooks_.enableApply) hooks_.enableApply(false);
  state_ = State::WaitingForLink;
  link_.Acquire(this, [this] { Begin(); });
  return state_ == State::Idle ? SettingsApply::NotWritten : SettingsApply::Started;
}

void CSmsSettings::Begin() {
  if (state_ != State::WaitingForLink) return;
  if (storage_ == kPreferPc) return SendRouting();
  state_ = State::Storage;
  if (!channel_.Send(PreferredStorageLine(storage_), kStepPreferredStorage, kPreferredStorageTimer, kSettingsMs))
    Done(false, false);
}

void CSmsSettings::SendRouting() {
  state_ = State::Routing;
  if (!channel_.Send(RoutingLine(storage_), kStepRouting, kRoutingTimer, kSettingsMs)) Done(false, false);
}

void CSmsSettings::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message != kMsgSmsAnswer) return;
  CSmsChannel::Answer answer;
  if (!channel_.TakeAnswer(wParam, answer)) return;
  const auto& lines = answer.lines;
  if (answer.step == kStepPreferredStorage) {
    if (lines.size() >= 2 && !IsErrorAnswer(lines) && TrimEnd(lines[1]) == "OK") return SendRouting();
    return Done(false, false);
  }
  if (answer.step == kStepRouting)
    Done(!lines.empty() && !IsErrorAnswer(lines) && TrimEnd(lines.back()) == "OK", false);
}

void CSmsSettings::OnTimer(TimerId timerId) {
  int step = 0;
  bool answered = false;
  CSmsChannel::Answer answer;
  if (!channel_.OnTimer(timerId, step, answered, answer)) return;
  if (answered) {
    if (step == kStepPreferredStorage && answer.lines.size() >= 2 && TrimEnd(answer.lines[1]) == "OK")
      return SendRouting();
    return Done(step == kStepRouting && !answer.lines.empty() && TrimEnd(answer.lines.back()) == "OK", false);
  }
  Done(false, true);
}

void CSmsSettings::Done(bool confirmed, bool timedOut) {
  state_ = State::Idle;
  link_.Release(this);
  if (confirmed) {
    const bool saved = !hooks_.saveStorage || hooks_.saveStorage(storage_);
    Show(saved ? kStrStorageSaved : kStrFileNotWritable);
  } else {
    Show(timedOut ? kStrModemTimeout : kStrStorageNotSet);
  }
  if (hooks_.enableApply) hooks_.enableApply(true);
}

void CSmsSettings::Abort() {
  if (state_ == State::Idle) return;
  channel_.Cancel();
  state_ = State::Idle;
  link_.Withdraw(this);
}

}  // namespace evdo::sms
