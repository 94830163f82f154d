#include "calls/CallControl.h"

#include <cstring>

#include "core/time/DateTime.h"
#include "device/AtDispatcher.h"
#include "ui/LanguageStrings.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

constexpr int kSlotNoCarrier = 3;

bool ContainsOk(const char* line) { return std::strstr(line, "OK") != nullptr; }

}  // namespace

std::string DurationText(std::int64_t seconds) {
  if (seconds < 0) seconds = 0;
  return TimeSpan(seconds).Format("%H:%M:%S");
}

CCallControl::CCallControl(CCommandExchange& exchange, WindowPort& self, CHistData* history, CallHooks hooks)
    : exchange_(exchange), self_(self), history_(history), hooks_(std::move(hooks)) {
  ResetCallInformation();
}

CCallControl::~CCallControl() {
  UnregisterNotifications();
  if (pending_ != Pending::None) exchange_.GiveUp();
}

void CCallControl::RegisterNotifications(CAtDispatcher& dispatcher) {
  dispatcher_ = &dispatcher;
  dispatcher.RegisterHandler(kRingSlot, &CCallControl::OnRing, this);
  dispatcher.RegisterHandler(kCallerNumberSlot, &CCallControl::OnCallerNumber, this);
  dispatcher.RegisterHandler(kSlotNoCarrier, &CCallControl::OnNoCarrier, this);
}

void CCallControl::UnregisterNotifications() {
  if (dispatcher_ == nullptr) return;
  for (int slot : {kRingSlot, kCallerNumberSlot, kSlotNoCarrier}) dispatcher_->ClearHandler(slot);
  dispatcher_ = nullptr;
}

void CCallControl::Start() {
  if (!inCall_) self_.SetTimer(kClockTimer, kClockMs);
  Changed();
}

// ---- the number field ----

void CCallControl::PressKey(char key, std::uint32_t heldMs) {
  if (!IsDialCharacter(key) || key == '+') return;
  if (inCall_) {
    tones_ += key;
    SendNextTone();
    field_ += key;  // no limit during a call
    Changed();
    return;
  }
  if (incoming_ != Incoming::None || pending_ != Pending::None) return;
  if (field_.size() >= kNumberFieldMax) {
    Beep();
    return;
  }
  field_ += (key == '0' && heldMs > kLongPressMs && field_.empty()) ? '+' : key;
  Changed();
  CheckDialCodes();
}

void CCallControl::Erase(std::uint32_t heldMs) {
  if (field_.empty()) return;
  if (inCall_ || heldMs <= kLongPressMs)
    field_.pop_back();
  else
    field_.clear();
  Changed();
}

bool CCallControl::EditField(std::string_view text) {
  if (!IsAcceptableFieldText(text, inCall_)) {
    Beep();
    Changed();  // the view shows the old text again
    return false;
  }
  field_ = std::string(text);
  Changed();
  if (!inCall_) CheckDialCodes();
  return true;
}

void CCallControl::CheckDialCodes() {
  int mode = field_ == kDialCodeIdentity ? kInfoIdentity : field_ == kDialCodeVersion ? kInfoVersion : -1;
  if (mode < 0) return;
  if (hooks_.openInfoDialog) hooks_.openInfoDialog(mode);
  field_.clear();
  Changed();
}

// ---- exchanges ----

bool CCallControl::Send(std::string_view command, Pending what, TimerId guard, std::uint32_t guardMs,
                        bool showError) {
  {
    std::lock_guard lock(answerLock_);
    expected_ = ++sequence_;
    answerSequence_ = 0;
  }
  if (!exchange_.SendWithTimer(command, &CCallControl::OnAnswer, this, self_, guard, guardMs, showError))
    return false;
  pending_ = what;
  pendingGuard_ = guard;
  return true;
}

void CCallControl::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CCallControl*>(context);
  std::uint64_t sequence;
  {
    std::lock_guard lock(self->answerLock_);
    self->answerOk_ = lineCount > 0 && ContainsOk(lines[0]);
    sequence = self->answerSequence_ = self->expected_;
  }
  self->self_.PostMessage(kMsgCallAnswer, static_cast<WParam>(sequence));
}

void CCallControl::OnIgnoredAnswer(void*, const LineCell*, std::uint16_t) {}

void CCallControl::Dial() {
  if (field_.empty() || inCall_ || pending_ != Pending::None || incoming_ != Incoming::None) return;
  if (hooks_.powerManagement() != 1) return;
  switch (CheckDialNumber(field_)) {
    case DialCheck::Ok: break;
    case DialCheck::Empty: return;
    case DialCheck::TooLong: return Message(kStrDialNumberTooLong);
    case DialCheck::BadCharacter: return Message(kStrInvalidNumberCharacter);
  }
  std::string command = std::string(kCmdDial) + field_ + "\r";
  dialling_ = field_;
  if (Send(command, Pending::Dial, kDialGuardTimer, kDialGuardMs, false)) Changed();
}

bool CCallControl::DialNumber(std::string_view number) {
  switch (CheckDialNumber(number)) {
    case DialCheck::Ok: break;
    case DialCheck::Empty: Message(kStrNoNumber); return false;
    case DialCheck::TooLong: Message(kStrDialNumberTooLong); return false;
    case DialCheck::BadCharacter: Message(kStrInvalidNumberCharacter); return false;
  }
  if (inCall_ || incoming_ != Incoming::None) {
    Message(kStrEndCallFirst);
    return false;
  }
  if (pending_ != Pending::None) return false;
  field_ = std::string(number);
  Changed();
  Dial();
  return pending_ == Pending::Dial;
}

void CCallControl::End() {
  if (!inCall_ || (pending_ != Pending::None && pending_ != Pending::Tone)) return;
  if (pending_ == Pending::Tone) GiveUp(kToneGuardTimer);
  tones_.clear();
  if (Send(kCmdEnd, Pending::End, kEndGuardTimer, kEndGuardMs, false)) Changed();
}

void CCallControl::SetVolume(int level) {
  if (!inCall_ || level < kVolumeMin || level > kVolumeMax) return;
  std::string command = std::string(kCmdVolume) + static_cast<char>('0' + level) + "\r";
  if (pending_ != Pending::None) return;
  if (exchange_.Send(command, &CCallControl::OnIgnoredAnswer, nullptr, true)) volume_ = level;
}

void CCallControl::SendNextTone() {
  if (tones_.empty() || pending_ != Pending::None) return;
  std::string command = std::string(kCmdTone) + tones_.front() + ";\r";
  // A busy port (a status query in progress) keeps the tone for the next try.
  if (Send(command, Pending::Tone, kToneGuardTimer, kToneGuardMs, false)) tones_.erase(0, 1);
}

void CCallControl::GiveUp(TimerId guard) {
  exchange_.GiveUp(self_, guard);
  pending_ = Pending::None;
  pendingGuard_ = 0;
}

void CCallControl::OnAnswered(WParam sequence) {
  bool ok;
  {
    std::lock_guard lock(answerLock_);
    if (answerSequence_ != sequence || sequence != sequence_) return;  // late or stale
    ok = answerOk_;
  }
  if (pending_ == Pending::None) return;
  CCommandExchange::Finish(self_, pendingGuard_);
  Pending what = pending_;
  pending_ = Pending::None;
  pendingGuard_ = 0;
  switch (what) {
    case Pending::Dial:
      if (!ok) {
        Message(kStrCallFailed);
        Changed();
        return;
      }
      callNumber_ = dialling_;
      callKind_ = kDialledCalls;
      start_ = hooks_.now();
      self_.PostMessage(kMsgCallState, 1);
      return;
    case Pending::End: self_.PostMessage(kMsgCallState, 0); return;
    case Pending::Answer:
      if (!ok) {  // still ringing: the pop-up comes back
        incoming_ = Incoming::Ringing;
        if (hooks_.ringing) hooks_.ringing(incomingNumber_);
        return;
      }
      incoming_ = Incoming::None;
      self_.KillTimer(kRingWatchTimer);
      callKind_ = kReceivedCalls;
      callNumber_ = incomingNumber_;
      start_ = hooks_.now();
      self_.PostMessage(kMsgCallState, 1);
      return;
    case Pending::Reject: Missed(false); return;
    case Pending::Tone: SendNextTone(); return;
    case Pending::None: return;
  }
}

void CCallControl::Connected() {
  if (inCall_) return;
  inCall_ = true;
  duration_ = 0;
  self_.KillTimer(kClockTimer);
  self_.SetTimer(kDurationTimer, kDurationMs);
  field_.clear();
  Changed();
}

void CCallControl::Ended() {
  if (!inCall_) return;
  if (pending_ == Pending::Tone) GiveUp(kToneGuardTimer);
  tones_.clear();
  field_.clear();
  self_.KillTimer(kDurationTimer);
  self_.SetTimer(kClockTimer, kClockMs);
  inCall_ = false;
  const DateTime now = hooks_.now();
  if (start_.IsValid() && now.IsValid()) duration_ = std::max<std::int64_t>(0, DateTime::SecondsBetween(start_, now));
  Record(callKind_, callNumber_, start_, duration_);
  ResetCallInformation();
  Changed();
}

void CCallControl::Record(int kind, std::string_view number, DateTime start, std::int64_t duration) {
  if (history_ != nullptr) {
    HistRecord record{};
    record.SetNumber(number.empty() ? std::string_view(LoadString(kStrUnknown)) : number);
    record.SetStart(start);
    record.duration = duration;
    if (ChangeResult saved = history_->Add(kind, record); !saved && hooks_.historyProblem)
      hooks_.historyProblem(saved.Error());
  }
  if (hooks_.callRecorded) hooks_.callRecorded(kind);
}

void CCallControl::ResetCallInformation() {
  callKind_ = kMissedCalls;
  start_ = hooks_.now();
  duration_ = 0;
  callNumber_.clear();
}

// ---- incoming calls ----

void CCallControl::OnRing(void* context, const LineCell*, std::uint16_t) {
  static_cast<CCallControl*>(context)->self_.PostMessage(kMsgRing);
}

void CCallControl::OnCallerNumber(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CCallControl*>(context);
  std::optional<std::string> number;
  if (lineCount > 0) number = NumberFromCallerLine(lines[lineCount - 1]);
  {
    std::lock_guard lock(self->answerLock_);
    self->callerNumber_ = number.value_or("");
  }
  self->self_.PostMessage(kMsgCallerNumber);
}

void CCallControl::OnNoCarrier(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CCallControl*>(context);
  bool busy = false;
  for (std::uint16_t i = 0; i < lineCount; ++i)
    if (std::strcmp(lines[i], "BUSY") == 0) busy = true;
  {
    std::lock_guard lock(self->answerLock_);
    self->noCarrierBusy_ = busy;
  }
  self->self_.PostMessage(kMsgNoCarrier);
}

void CCallControl::RingArrived() {
  if (inCall_ || pending_ == Pending::Dial || pending_ == Pending::End) return;  // no second call
  self_.SetTimer(kRingWatchTimer, kRingSilenceMs);
  if (incoming_ != Incoming::None) return;
  incoming_ = Incoming::Ringing;
  incomingNumber_.clear();
  ringStart_ = hooks_.now();
  if (!earlyCaller_.empty() && earlyCallerAt_.IsValid() &&
      DateTime::SecondsBetween(earlyCallerAt_, ringStart_) * 1000 < kRingSilenceMs)
    incomingNumber_ = earlyCaller_;
  earlyCaller_.clear();
  if (hooks_.ringing) hooks_.ringing(incomingNumber_);
  Changed();
}

void CCallControl::CallerNumberArrived(std::string number) {
  if (incoming_ == Incoming::None) {
    // Only "RING" starts a call: a caller number that comes on its own is
    // either ahead of its "RING" (kept for it) or behind a call that has
    // already ended (it must not ring again).
    earlyCaller_ = std::move(number);
    earlyCallerAt_ = hooks_.now();
    return;
  }
  if (incoming_ != Incoming::Ringing || number.empty() || number == incomingNumber_) return;
  incomingNumber_ = std::move(number);
  if (hooks_.ringing) hooks_.ringing(incomingNumber_);
  Changed();
}

void CCallControl::Answer() {
  if (incoming_ != Incoming::Ringing || pending_ != Pending::None) return;
  if (!Send(kCmdAnswer, Pending::Answer, kPickUpGuardTimer, kPickUpGuardMs, false)) return;
  incoming_ = Incoming::Answering;
  if (hooks_.clearIncomingFlag) hooks_.clearIncomingFlag();
  if (hooks_.ringingEnded) hooks_.ringingEnded();
}

void CCallControl::Reject() {
  if (incoming_ != Incoming::Ringing || pending_ != Pending::None) return;
  if (!Send(kCmdReject, Pending::Reject, kPickUpGuardTimer, kPickUpGuardMs, false)) return;
  incoming_ = Incoming::Rejecting;
  if (hooks_.clearIncomingFlag) hooks_.clearIncomingFlag();
  if (hooks_.ringingEnded) hooks_.ringingEnded();
}

void CCallControl::Dismiss() {
  // Only the pop-up and its sound go; the call rings on at the modem until
  // the caller gives up, and is then missed.
  if (incoming_ == Incoming::Ringing && hooks_.ringingEnded) hooks_.ringingEnded();
}

void CCallControl::NoCarrier(bool busy) {
  if (pending_ == Pending::Dial) {  // the dial failed before it was answered
    GiveUp(kDialGuardTimer);
    Message(busy ? kStrNumberBusy : kStrCallFailed);
    Changed();
    return;
  }
  if (incoming_ == Incoming::Ringing || incoming_ == Incoming::Answering) {
    if (pending_ == Pending::Answer) GiveUp(kPickUpGuardTimer);
    Missed(true);
    return;
  }
  if (inCall_) {
    if (pending_ == Pending::End) GiveUp(kEndGuardTimer);
    Ended();
  }
}

void CCallControl::Missed(bool tell) {
  if (incoming_ == Incoming::None) return;
  const bool wasRinging = incoming_ == Incoming::Ringing;
  incoming_ = Incoming::None;
  self_.KillTimer(kRingWatchTimer);
  if (hooks_.clearIncomingFlag) hooks_.clearIncomingFlag();
  if (wasRinging && hooks_.ringingEnded) hooks_.ringingEnded();
  std::string number = incomingNumber_;
  incomingNumber_.clear();
  Record(kMissedCalls, number, ringStart_, 0);
  if (tell && hooks_.missed) hooks_.missed(number);
  Changed();
}

int CCallControl::AskLeave() {
  int refusal = !hooks_.cardReady() ? kStrCardNotReadyForPage : inCall_ ? kStrEndCallFirst : 0;
  if (refusal != 0) {
    Message(refusal);
    return refusal;
  }
  self_.KillTimer(kClockTimer);
  return 0;
}

CCallControl::Display CCallControl::CurrentDisplay() const {
  Display d;
  d.inCall = inCall_;
  if (!inCall_) {
    d.time = hooks_.now();
    return d;
  }
  d.time = start_;
  d.duration = DurationText(duration_);
  std::optional<std::string> name;
  if (hooks_.contactName && !callNumber_.empty()) name = hooks_.contactName(callNumber_);
  d.party = name ? *name : callNumber_.empty() ? LoadString(kStrUnknown) : callNumber_;
  return d;
}

// ---- the event layer ----

void CCallControl::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgCallAnswer: return OnAnswered(wParam);
    case kMsgCallState: return wParam == 1 ? Connected() : Ended();
    case kMsgRing: return RingArrived();
    case kMsgCallerNumber: {
      std::string number;
      {
        std::lock_guard lock(answerLock_);
        number = callerNumber_;
      }
      return CallerNumberArrived(std::move(number));
    }
    case kMsgNoCarrier: {
      bool busy;
      {
        std::lock_guard lock(answerLock_);
        busy = noCarrierBusy_;
      }
      return NoCarrier(busy);
    }
    case kMsgDialNumber:
      // lParam carries the number's address, as the window messages do.
      if (lParam != 0) DialNumber(*reinterpret_cast<const std::string*>(lParam));  // NOLINT(performance-no-int-to-ptr)
      return;
    default: return;
  }
}

void CCallControl::OnTimer(TimerId timerId) {
  switch (timerId) {
    case kClockTimer: return Changed();
    case kDurationTimer: {
      const DateTime now = hooks_.now();
      if (start_.IsValid() && now.IsValid()) duration_ = std::max<std::int64_t>(0, DateTime::SecondsBetween(start_, now));
      return Changed();
    }
    case kDialGuardTimer:
    case kEndGuardTimer:
    case kToneGuardTimer:
      self_.KillTimer(timerId);
      if (pendingGuard_ != timerId) return;
      GiveUp(timerId);  // the page's state does not change
      if (timerId == kToneGuardTimer) SendNextTone();
      Changed();
      return;
    case kPickUpGuardTimer:
      self_.KillTimer(timerId);
      if (pendingGuard_ != timerId) return;
      GiveUp(timerId);
      if (incoming_ == Incoming::Rejecting) return Missed(false);
      if (incoming_ == Incoming::Answering) {
        incoming_ = Incoming::Ringing;
        if (hooks_.ringing) hooks_.ringing(incomingNumber_);
      }
      return;
    case kRingWatchTimer:
      self_.KillTimer(timerId);
      if (incoming_ == Incoming::Ringing) Missed(true);
      return;
    default: return;
  }
}

}  // namespace evdo
