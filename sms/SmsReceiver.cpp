#include "sms/SmsReceiver.h"

#include <algorithm>
#include <utility>

#include "sms/ModemAnswer.h"
#include "ui/StringIds.h"

namespace evdo::sms {

namespace {

bool EndsWithOk(const std::vector<std::string>& lines) {
  if (lines.empty()) return false;
  std::string_view last = lines.back();
  while (!last.empty() && (last.back() == '\r' || last.back() == '\n' || last.back() == ' ')) last.remove_suffix(1);
  return last == "OK";
}

}  // namespace

CSmsReceiver::CSmsReceiver(CCommandExchange& exchange, CSmsData& store, CSmsLinkLock& link,
                           WindowPort& self, ReceiveHooks hooks)
    : store_(store), link_(link), self_(self), hooks_(std::move(hooks)), channel_(exchange, self) {}

CSmsReceiver::~CSmsReceiver() {
  Unregister();
  channel_.Cancel();
  link_.Withdraw(this);
}

void CSmsReceiver::Register(CAtDispatcher& dispatcher) {
  dispatcher_ = &dispatcher;
  dispatcher.RegisterHandler(kStoredNoticeSlot, &CSmsReceiver::OnStored, this);
  dispatcher.RegisterHandler(kDirectNoticeSlot, &CSmsReceiver::OnDirect, this);
  dispatcher.RegisterHandler(kReportNoticeSlot, &CSmsReceiver::OnReport, this);
}

void CSmsReceiver::Unregister() {
  if (dispatcher_ == nullptr) return;
  dispatcher_->ClearHandler(kStoredNoticeSlot);
  dispatcher_->ClearHandler(kDirectNoticeSlot);
  dispatcher_->ClearHandler(kReportNoticeSlot);
  dispatcher_ = nullptr;
}

void CSmsReceiver::OnStored(void* context, const LineCell* lines, std::uint16_t lineCount) {
  static_cast<CSmsReceiver*>(context)->QueueNotice(kStoredNoticeSlot, lines, lineCount);
}
void CSmsReceiver::OnDirect(void* context, const LineCell* lines, std::uint16_t lineCount) {
  static_cast<CSmsReceiver*>(context)->QueueNotice(kDirectNoticeSlot, lines, lineCount);
}
void CSmsReceiver::OnReport(void* context, const LineCell* lines, std::uint16_t lineCount) {
  static_cast<CSmsReceiver*>(context)->QueueNotice(kReportNoticeSlot, lines, lineCount);
}

void CSmsReceiver::QueueNotice(int slot, const LineCell* lines, std::uint16_t lineCount) {
  Notice notice{slot, {}};
  notice.lines.assign(lines, lines + lineCount);
  {
    std::lock_guard lock(noticeLock_);
    notices_.push_back(std::move(notice));
  }
  self_.PostMessage(kMsgSmsNotice);
}

void CSmsReceiver::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message == kMsgSmsNotice) return TakeNotices();
  if (message != kMsgSmsAnswer) return;
  CSmsChannel::Answer answer;
  if (channel_.TakeAnswer(wParam, answer)) OnAnswer(answer);
}

void CSmsReceiver::TakeNotices() {
  std::deque<Notice> notices;
  {
    std::lock_guard lock(noticeLock_);
    notices.swap(notices_);
  }
  for (Notice& notice : notices) {
    if (notice.lines.empty()) continue;
    // The notice is the block's last line (a stray line may come before it).
    switch (notice.slot) {
      case kStoredNoticeSlot: OnStoredNotice(notice.lines.back()); break;
      case kDirectNoticeSlot: {
        // The header and the text line are the block's last two lines.
        std::size_t header = notice.lines.size();
        while (header > 0 && !std::string_view(notice.lines[header - 1]).starts_with(kNoticeDirect)) --header;
        if (header == 0) break;
        std::vector<std::string> block(notice.lines.begin() + static_cast<long>(header - 1), notice.lines.end());
        SmsRecord record;
        if (ParseDirectNotice(block, hooks_.now(), record)) Deliver(record);
        break;
      }
      case kReportNoticeSlot: {
        DeliveryReport report;
        if (ParseDeliveryReport(notice.lines.back(), report) && hooks_.deliveryReport) hooks_.deliveryReport(report);
        break;
      }
      default: break;
    }
  }
  Pump();
}

void CSmsReceiver::OnStoredNotice(const std::string& line) {
  StoredNotice notice;
  if (!ParseStoredNotice(line, notice)) return;
  if (notice.index == -1) {
    const int id = notice.kind == StoredNotice::Me   ? kStrModemMessagesFull
                   : notice.kind == StoredNotice::Sm ? kStrCardMessagesFull
                                                     : kStrMessagesFull;
    if (hooks_.storageFull) hooks_.storageFull(id);
    return;
  }
  if (notice.kind == StoredNotice::All || notice.index < 0) return;
  Location location{notice.name, notice.index};
  // Announced again: read now, not later as well.
  later_.erase(std::remove(later_.begin(), later_.end(), location), later_.end());
  if ((reading_ && current_ == location) ||
      std::find(pending_.begin(), pending_.end(), location) != pending_.end())
    return;  // already waiting to be read
  pending_.push_back(std::move(location));
}

void CSmsReceiver::Pump() {
  if (reading_ || waitingForLink_ || pending_.empty()) return;
  waitingForLink_ = true;
  link_.Acquire(this, [this] {
    waitingForLink_ = false;
    StartRead();
  });
}

void CSmsReceiver::StartRead() {
  if (pending_.empty()) {
    link_.Release(this);
    return;
  }
  current_ = std::move(pending_.front());
  pending_.pop_front();
  reading_ = true;
  step_ = Step::Select;
  command_ = std::string(kCmdSelectStorage) + current_.name + "\r";
  attempts_ = 0;
  WriteCurrent();
}

void CSmsReceiver::WriteCurrent() {
  ++attempts_;
  if (channel_.Send(command_, static_cast<int>(step_), kNewMessageTimer, kNewMessageMs)) return;
  if (attempts_ < kNewMessageAttempts) {
    self_.SetTimer(kNewMessageRetryTimer, kNewMessageRetryMs);
    return;
  }
  ReadAgainLater();  // the port stayed busy; the message is still on the device
  EndRead();
}

void CSmsReceiver::OnAnswer(const CSmsChannel::Answer& answer) {
  if (!reading_) return;
  const auto& lines = answer.lines;
  if (answer.step == static_cast<int>(Step::Select)) {
    if (IsConfirmed(lines, kAnsSelectStorage)) {
      step_ = Step::Read;
      command_ = std::string(kCmdReadMessage) + std::to_string(current_.index) + "\r";
      attempts_ = 0;
      return WriteCurrent();
    }
    return EndRead();
  }
  SmsRecord record;
  const bool read = !lines.empty() && std::string_view(lines[0]).starts_with("$QCMGR: ") && EndsWithOk(lines) &&
                    ParseQcmgrAnswer(lines, record, ReceivedOnly);
  EndRead();
  if (read) Deliver(record);
}

void CSmsReceiver::ReadAgainLater() {
  // The message is still on the device: read it again after the others
  // waiting; after the quick tries, when the later timer expires; after the
  // last, it stays on the device (the transfer window shows it).
  const int reads = ++current_.reads;
  auto waiting = [this](const std::deque<Location>& queue) {
    return std::find(queue.begin(), queue.end(), current_) != queue.end();
  };
  if (waiting(pending_) || waiting(later_)) return;
  if (reads < kNewMessageReads) {
    pending_.push_back(current_);
  } else if (reads < kNewMessageMostReads) {
    if (later_.empty()) self_.SetTimer(kNewMessageLaterTimer, kNewMessageLaterMs);
    later_.push_back(current_);
  }
}

void CSmsReceiver::EndRead() {
  reading_ = false;
  self_.KillTimer(kNewMessageRetryTimer);
  link_.Release(this);
  Pump();
}

void CSmsReceiver::OnTimer(TimerId timerId) {
  if (timerId == kNewMessageLaterTimer) {
    self_.KillTimer(kNewMessageLaterTimer);
    for (Location& location : later_) {
      if (!(reading_ && current_ == location) &&
          std::find(pending_.begin(), pending_.end(), location) == pending_.end())
        pending_.push_back(std::move(location));
    }
    later_.clear();
    Pump();
    return;
  }
  if (timerId == kNewMessageRetryTimer) {
    self_.KillTimer(kNewMessageRetryTimer);
    if (reading_) WriteCurrent();
    return;
  }
  if (timerId >= static_cast<TimerId>(kFirstPartTimerId) &&
      timerId < static_cast<TimerId>(kFirstPartTimerId + kAssemblerSlots)) {
    self_.KillTimer(timerId);
    ExpiredParts parts;
    const int count = assembler_.ExpireSlot(static_cast<int>(timerId), parts);
    for (int i = 0; i < count; ++i) Store(parts.records[i]);
    return;
  }
  int step = 0;
  bool answered = false;
  CSmsChannel::Answer answer;
  if (!channel_.OnTimer(timerId, step, answered, answer)) return;
  if (answered) return OnAnswer(answer);
  if (reading_) ReadAgainLater();  // no answer in time
  EndRead();
}

void CSmsReceiver::Deliver(SmsRecord record) {
  if (record.HasPartInfo()) {
    const int slot = assembler_.AddPart(record);
    if (slot >= 0) {
      const TimerId timer = static_cast<TimerId>(kFirstPartTimerId + slot);
      self_.SetTimer(timer, kPartWaitMs);
      SmsRecord joined;
      const int done = assembler_.TakeComplete(joined);
      if (done < 0) return;  // the part waits for the others
      self_.KillTimer(static_cast<TimerId>(kFirstPartTimerId + done));
      record = joined;
    }
  }
  Store(record);
}

void CSmsReceiver::Store(SmsRecord record) {
  store_.ClearFlag(Inbox, kSmsFlagNew, true);
  record.status = RecUnread;
  record.flags |= kSmsFlagNew;
  store_.AddRecord(Inbox, record, true);
  if (hooks_.boxChanged) hooks_.boxChanged(Inbox);
  if (hooks_.newMessage) hooks_.newMessage(record);
}

}  // namespace evdo::sms
