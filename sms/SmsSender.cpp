#include "sms/SmsSender.h"

#include <cstdio>
#include <memory>
#include <utility>

#include "sms/SmsCodec.h"
#include "sms/SmsCommands.h"
#include "ui/StringIds.h"

namespace evdo::sms {

bool SendReport::AllSent() const {
  if (outcomes.empty()) return false;
  for (RecipientOutcome o : outcomes)
    if (o != RecipientOutcome::Sent) return false;
  return true;
}

CSmsSender::CSmsSender(CCommandExchange& exchange, CSmsData& store, Event& notificationGate,
                       CSmsLinkLock& link, MessageSplitter& splitter, WindowPort& self, SendHooks hooks)
    : store_(store),
      gate_(notificationGate),
      link_(link),
      splitter_(splitter),
      hooks_(std::move(hooks)),
      channel_(exchange, self) {}

CSmsSender::~CSmsSender() { Abort(); }

void CSmsSender::Show(int id, const std::string& detail) {
  if (hooks_.showMessage) hooks_.showMessage(id, detail);
}

SendStart CSmsSender::Send(std::string_view recipients, std::string_view text, std::string_view serviceCentre) {
  text = BeforeNul(text);
  if (recipients.empty()) {
    Show(kStrNoRecipient);
    return SendStart::NoRecipient;
  }
  if (text.empty()) {
    Show(kStrNoMessageText);
    return SendStart::NoText;
  }
  if (state_ != State::Idle) {
    Show(kStrSendBusy);
    return SendStart::Busy;
  }
  if (!hooks_.cardReady() || hooks_.incomingCall() || !hooks_.portOpen()) return SendStart::NotReady;
  Recipients parsed = ParseRecipients(recipients);
  if (parsed.numbers.empty()) return SendStart::NotReady;
  // Numbers reach the command line inside quotes: only dial characters.
  for (const std::string& number : parsed.numbers) {
    if (!IsSendableNumber(number)) {
      Show(kStrBadMessageNumber, number);
      return SendStart::BadNumber;
    }
  }
  if (!serviceCentre.empty() && !IsSendableNumber(serviceCentre)) {
    Show(kStrBadMessageNumber, std::string(serviceCentre));
    return SendStart::BadServiceCentre;
  }
  // The splitter is shared with every other write window, one of which may
  // be sending now: it is only tried here and taken once the link is ours.
  {
    auto probe = std::make_unique<MessageSplitter>(splitter_);
    if (!SplitMessage(*probe, text)) return SendStart::TooLong;
  }

  recipients_ = std::move(parsed.numbers);
  outcomes_.assign(recipients_.size(), RecipientOutcome::NotServed);
  text_ = std::string(text);
  serviceCentre_ = std::string(serviceCentre);
  current_ = 0;
  progressShown_ = false;
  state_ = State::WaitingForLink;
  link_.Acquire(this, [this] { Begin(); });
  return SendStart::Started;
}

void CSmsSender::Begin() {
  if (state_ != State::WaitingForLink) return;
  if (!SplitMessage(splitter_, text_)) {
    Finish(0);
    return;
  }
  const bool gsm7 = splitter_.isLong ? splitter_.isGsm7 != 0 : IsGsm7Text(text_);
  const std::string line =
      SendParametersLine(splitter_.isLong != 0, gsm7, hooks_.deliveryReport(), hooks_.validity());
  state_ = State::Parameters;
  if (!channel_.Send(line, kStepSendParameters, kParametersTimer, kSendParametersMs)) {
    gate_.Set();
    Finish(0);
    return;
  }
  gate_.Reset();
}

void CSmsSender::SendCommand() {
  const std::string& number = recipients_[current_];
  std::string line = std::string(kCmdSend) + "\"" + number + "\"," + NumberType(number) + "\r";
  state_ = State::Command;
  if (!channel_.Send(line, kStepSendData, kSendTimer, kSendMs)) Fail(kStrMessageNotSent);
}

void CSmsSender::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message != kMsgSmsAnswer) return;
  CSmsChannel::Answer answer;
  if (!channel_.TakeAnswer(wParam, answer)) return;
  OnAnswer(answer);
}

void CSmsSender::OnAnswer(const CSmsChannel::Answer& answer) {
  const auto& lines = answer.lines;
  switch (answer.step) {
    case kStepSendParameters:
      if (IsErrorAnswer(lines) || lines.empty() || hooks_.incomingCall()) return Fail(kStrMessageNotSent);
      if (hooks_.openProgress) hooks_.openProgress(static_cast<int>(recipients_.size()));
      progressShown_ = true;
      if (serviceCentre_.empty()) return SendCommand();
      state_ = State::Centre;
      if (!channel_.Send(std::string(kCmdServiceCentre) + "\"" + serviceCentre_ + "\"\r", kStepSendCentre,
                         kServiceCentreTimer, kServiceCentreMs)) {
        gate_.Set();
        Finish(0);
      }
      return;
    case kStepSendCentre:
      // The service centre's answer is not examined.
      return SendCommand();
    case kStepSendData: {
      if (!IsPrompt(lines)) return Fail(kStrMessageNotSent);
      if (splitter_.currentPart == 0 && hooks_.progress)
        hooks_.progress(recipients_[current_], current_ + 1, static_cast<int>(recipients_.size()));
      std::string block;
      if (!PartDataBlock(splitter_, text_, kSendBlockLimit, block)) return Fail(kStrMessageNotSent);
      state_ = State::Data;
      if (!channel_.Send(block, kStepSent, kSendTimer, kSendMs)) Fail(kStrMessageNotSent);
      return;
    }
    case kStepSent:
      if (!IsConfirmed(lines, kAnsSent)) return Fail(kStrMessageNotSent);
      return OnSent();
    default: return;
  }
}

void CSmsSender::OnSent() {
  StoreSent();
  if (hooks_.boxChanged) hooks_.boxChanged(Outbox);
  if (splitter_.isLong && ++splitter_.currentPart < splitter_.partCount) return SendCommand();
  outcomes_[current_] = RecipientOutcome::Sent;
  if (++current_ < static_cast<int>(recipients_.size())) {
    if (hooks_.incomingCall()) return Fail(kStrMessageNotSent);
    if (splitter_.isLong) {
      ++splitter_.reference;
      splitter_.currentPart = 0;
    }
    return SendCommand();
  }
  gate_.Set();
  Finish(kStrMessageSent);
}

void CSmsSender::StoreSent() {
  const std::string& number = recipients_[current_];
  if (splitter_.isLong) {
    store_.AddMessage(Outbox, StoSent, number, hooks_.now(), splitter_.Part(splitter_.currentPart),
                      serviceCentre_, kSmsFlagPartInfo, splitter_.reference,
                      static_cast<std::uint8_t>(splitter_.currentPart + 1), splitter_.partCount, true);
  } else {
    store_.AddMessage(Outbox, StoSent, number, hooks_.now(), text_, serviceCentre_, 0, 0, 0, 0, true);
  }
}

void CSmsSender::StoreUnsent() {
  if (current_ >= static_cast<int>(recipients_.size())) return;
  const std::string& number = recipients_[current_];
  if (splitter_.isLong) {
    for (int part = splitter_.currentPart; part < splitter_.partCount; ++part) {
      store_.AddMessage(Outbox, StoUnsent, number, hooks_.now(), splitter_.Part(part), serviceCentre_,
                        kSmsFlagPartInfo, splitter_.reference, static_cast<std::uint8_t>(part + 1),
                        splitter_.partCount, true);
    }
  } else {
    store_.AddMessage(Outbox, StoUnsent, number, hooks_.now(), text_, serviceCentre_, 0, 0, 0, 0, true);
  }
  if (hooks_.boxChanged) hooks_.boxChanged(Outbox);
}

void CSmsSender::Fail(int messageId) {
  channel_.Cancel();
  gate_.Set();
  StoreUnsent();
  if (current_ < static_cast<int>(outcomes_.size())) outcomes_[current_] = RecipientOutcome::Failed;
  Finish(messageId);
}

void CSmsSender::TimedOut(int step) {
  gate_.Set();
  if (step == kStepSendData || step == kStepSent) {
    StoreUnsent();
    // The modem may still be taking text: Ctrl-Z ends its text entry.
    const char ctrlZ[1] = {kCtrlZ};
    channel_.SendIgnored(std::string_view(ctrlZ, 1));
  }
  if (current_ < static_cast<int>(outcomes_.size())) outcomes_[current_] = RecipientOutcome::Failed;
  Finish(kStrModemTimeout);
}

void CSmsSender::Finish(int messageId) {
  if (progressShown_ && hooks_.closeProgress) hooks_.closeProgress();
  progressShown_ = false;
  state_ = State::Idle;
  link_.Release(this);
  SendReport report{recipients_, outcomes_, messageId};
  if (messageId != 0) Show(messageId);
  if (hooks_.finished) hooks_.finished(report);
}

void CSmsSender::OnTimer(TimerId timerId) {
  int step = 0;
  bool answered = false;
  CSmsChannel::Answer answer;
  if (!channel_.OnTimer(timerId, step, answered, answer)) return;
  if (answered) return OnAnswer(answer);
  TimedOut(step);
}

void CSmsSender::Abort() {
  if (state_ == State::Idle) return;
  channel_.Cancel();
  gate_.Set();
  state_ = State::Idle;
  link_.Withdraw(this);
}

bool CSmsSender::Save(std::string_view recipients, std::string_view text, std::string_view serviceCentre) {
  text = BeforeNul(text);
  if (text.empty()) {
    Show(kStrNoMessageText);
    return false;
  }
  std::vector<std::string> numbers;
  if (recipients.empty()) {
    numbers.emplace_back();
  } else {
    Recipients parsed = ParseRecipients(recipients);
    if (parsed.numbers.empty()) {
      Show(kStrMessageNotSaved);
      return false;
    }
    numbers = std::move(parsed.numbers);
  }
  int stored = 0;
  for (const std::string& number : numbers) {
    if (store_.AddMessage(Saved, StoUnsent, number, hooks_.now(), text, serviceCentre, 0, 0, 0, 0, true).changed) ++stored;
  }
  if (stored > 0 && hooks_.boxChanged) hooks_.boxChanged(Saved);
  const bool all = stored == static_cast<int>(numbers.size());
  Show(all ? kStrMessageSaved : kStrMessageNotSaved);
  return all;
}

}  // namespace evdo::sms
