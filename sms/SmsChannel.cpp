#include "sms/SmsChannel.h"

#include <utility>

#include "sms/SmsCommands.h"

namespace evdo::sms {

CSmsChannel::CSmsChannel(CCommandExchange& exchange, WindowPort& window)
    : exchange_(exchange), window_(window) {}

CSmsChannel::~CSmsChannel() {
  if (guard_ != 0 || ignoredOutstanding_) exchange_.Dispatcher().ClearHandler(kCommandSlot);
}

bool CSmsChannel::Send(std::string_view text, int step, TimerId guard, std::uint32_t guardMs) {
  {
    std::lock_guard lock(lock_);
    ++expected_;
    answered_ = 0;
    lines_.clear();
  }
  if (ignoredOutstanding_) {
    window_.KillTimer(kIgnoredGuardTimer);
    ignoredOutstanding_ = false;
  }
  if (!exchange_.SendWithTimer(text, &CSmsChannel::OnAnswer, this, window_, guard, guardMs, false)) {
    std::lock_guard lock(lock_);
    ++expected_;  // nothing outstanding: any answer is stale
    return false;
  }
  guard_ = guard;
  step_ = step;
  return true;
}

bool CSmsChannel::SendIgnored(std::string_view text) {
  {
    std::lock_guard lock(lock_);
    ++expected_;
  }
  if (!exchange_.SendWithTimer(text, &CSmsChannel::OnIgnoredAnswer, this, window_, kIgnoredGuardTimer,
                               kIgnoredGuardMs, false))
    return false;
  ignoredOutstanding_ = true;
  return true;
}

void CSmsChannel::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CSmsChannel*>(context);
  std::uint64_t sequence;
  {
    std::lock_guard lock(self->lock_);
    self->lines_.assign(lines, lines + lineCount);
    sequence = self->answered_ = self->expected_;
  }
  self->window_.PostMessage(kMsgSmsAnswer, static_cast<WParam>(sequence));
}

void CSmsChannel::OnIgnoredAnswer(void* context, const LineCell*, std::uint16_t) {
  auto* self = static_cast<CSmsChannel*>(context);
  // Only ends the guard: posted so that the timer is killed on its thread.
  std::uint64_t sequence;
  {
    std::lock_guard lock(self->lock_);
    sequence = self->expected_;
  }
  self->window_.PostMessage(kMsgSmsAnswer, static_cast<WParam>(sequence));
}

bool CSmsChannel::TakeAnswer(WParam sequence, Answer& out) {
  std::lock_guard lock(lock_);
  if (guard_ == 0) {
    if (ignoredOutstanding_ && sequence == expected_) {
      window_.KillTimer(kIgnoredGuardTimer);
      ignoredOutstanding_ = false;
    }
    return false;
  }
  if (sequence != expected_ || answered_ != expected_) return false;
  CCommandExchange::Finish(window_, guard_);
  guard_ = 0;
  out.step = step_;
  out.lines = std::move(lines_);
  lines_.clear();
  ++expected_;
  return true;
}

bool CSmsChannel::OnTimer(TimerId timerId, int& step, bool& answered, Answer& answer) {
  if (timerId == kIgnoredGuardTimer && ignoredOutstanding_) {
    exchange_.GiveUp(window_, kIgnoredGuardTimer);
    ignoredOutstanding_ = false;
    return false;
  }
  if (guard_ == 0 || timerId != guard_) return false;
  exchange_.GiveUp(window_, guard_);
  guard_ = 0;
  step = step_;
  std::lock_guard lock(lock_);
  answered = answered_ == expected_;
  if (answered) answer = Answer{step_, std::move(lines_)};
  lines_.clear();
  ++expected_;
  return true;
}

void CSmsChannel::Cancel() {
  if (guard_ != 0) exchange_.GiveUp(window_, guard_);
  guard_ = 0;
  std::lock_guard lock(lock_);
  ++expected_;
}

bool CSmsLinkLock::Acquire(const void* owner, std::function<void()> granted) {
  if (holder_ == nullptr || holder_ == owner) {
    holder_ = owner;
    if (granted) granted();
    return true;
  }
  waiting_.push_back({owner, std::move(granted)});
  return false;
}

void CSmsLinkLock::Release(const void* owner) {
  if (holder_ != owner) return;
  holder_ = nullptr;
  if (waiting_.empty()) return;
  Request next = std::move(waiting_.front());
  waiting_.pop_front();
  holder_ = next.owner;
  if (next.granted) next.granted();
}

void CSmsLinkLock::Withdraw(const void* owner) {
  std::erase_if(waiting_, [owner](const Request& r) { return r.owner == owner; });
  Release(owner);
}

}  // namespace evdo::sms
