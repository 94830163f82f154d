#include "phonebook/PbTransfer.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "core/text/FixedText.h"
#include "phonebook/PhonebookMessages.h"
#include "sms/SmsCodec.h"

namespace evdo {
namespace {

// "+CME ERROR: n" codes that say the card is gone or locked: the read of the
// card cannot go on (the other codes of a location answer leave it empty).
bool CardUnavailable(std::string_view line) {
  constexpr std::string_view kCme = "+CME ERROR:";
  if (!line.starts_with(kCme)) return false;
  std::string_view code = line.substr(kCme.size());
  while (!code.empty() && code.front() == ' ') code.remove_prefix(1);
  int n = 0;
  for (char c : code) {
    if (c < '0' || c > '9') break;
    n = n * 10 + (c - '0');
    if (n > 1000) break;
  }
  return n >= 10 && n <= 15;
}

std::int64_t NowMicros() {
  return std::chrono::duration_cast<std::chrono::microseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

CPbDeviceIo::CPbDeviceIo(CCommandExchange& exchange, WindowPort& self, std::function<bool()> portOpen)
    : exchange_(exchange), self_(self), portOpen_(std::move(portOpen)) {}

CPbDeviceIo::~CPbDeviceIo() { Cancel(); }

void CPbDeviceIo::Cancel() {
  if (step_ == PbStep::Idle) return;
  if (step_ == PbStep::Pause) self_.KillTimer(kTimerPbPause);
  else exchange_.GiveUp(self_, timer_);
  ++sequence_;
  step_ = PbStep::Idle;
  progress_ = nullptr;
  done_ = nullptr;
}

void CPbDeviceIo::Read(PbMemory memory, Progress progress, Done done) {
  if (Running()) {
    if (done) done(PbResult{false, false, pbsync::kPortBusy, {}});
    return;
  }
  memory_ = memory;
  progress_ = std::move(progress);
  done_ = std::move(done);
  Book(memory).Free();
  Pause(kPbPauseMs, &CPbDeviceIo::StartRead);
}

void CPbDeviceIo::Write(PbMemory memory, std::string command, Done done) {
  if (Running()) {
    if (done) done(PbResult{false, false, pbsync::kPortBusy, {}});
    return;
  }
  memory_ = memory;
  pending_ = std::move(command);
  progress_ = nullptr;
  done_ = std::move(done);
  Pause(kPbPauseMs, &CPbDeviceIo::StartWrite);
}

void CPbDeviceIo::Pause(std::uint32_t ms, void (CPbDeviceIo::*next)()) {
  step_ = PbStep::Pause;
  next_ = next;
  self_.SetTimer(kTimerPbPause, ms);
}

bool CPbDeviceIo::Send(const std::string& command, PbStep step, TimerId timer, std::uint32_t waitMs) {
  {
    std::lock_guard<std::mutex> lock(mutex_);
    answer_.clear();
  }
  answered_ = false;
  ++sequence_;
  step_ = step;
  timer_ = timer;
  // The handler may run before this returns; it only copies and posts.
  if (!exchange_.SendWithTimer(command, &CPbDeviceIo::OnAnswer, this, self_, timer, waitMs, false)) {
    Fail(pbsync::kDeviceFailed);
    return false;
  }
  return true;
}

void CPbDeviceIo::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CPbDeviceIo*>(context);
  {
    std::lock_guard<std::mutex> lock(self->mutex_);
    self->answer_.clear();
    for (std::uint16_t i = 0; i < lineCount; ++i) self->answer_.emplace_back(FieldText(lines[i]));
  }
  self->answered_ = true;
  self->self_.PostMessage(kMsgPbAnswer, self->sequence_.load());
}

void CPbDeviceIo::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message != kMsgPbAnswer) return;
  if (wParam != sequence_.load() || !answered_ || step_ == PbStep::Idle || step_ == PbStep::Pause) return;
  CCommandExchange::Finish(self_, timer_);
  std::vector<std::string> lines;
  {
    std::lock_guard<std::mutex> lock(mutex_);
    lines.swap(answer_);
  }
  answered_ = false;
  const std::int64_t start = NowMicros();
  HandleAnswer(lines);
  const std::int64_t spent = NowMicros() - start;
  longestStepUs_ = std::max(longestStepUs_, spent);
  totalStepUs_ += spent;
}

void CPbDeviceIo::OnTimer(TimerId timerId) {
  if (timerId == kTimerPbPause) {
    self_.KillTimer(kTimerPbPause);
    if (step_ != PbStep::Pause || next_ == nullptr) return;
    auto next = next_;
    next_ = nullptr;
    (this->*next)();
    return;
  }
  if (step_ == PbStep::Idle || step_ == PbStep::Pause || timerId != timer_) return;
  exchange_.GiveUp(self_, timer_);
  // An answer that came just before the give-up still counts.
  if (answered_) {
    std::vector<std::string> lines;
    {
      std::lock_guard<std::mutex> lock(mutex_);
      lines.swap(answer_);
    }
    answered_ = false;
    ++sequence_;
    HandleAnswer(lines);
    return;
  }
  ++sequence_;
  Fail(pbsync::kModemTimeout);
}

void CPbDeviceIo::HandleAnswer(const std::vector<std::string>& lines) {
  switch (step_) {
    case PbStep::SelectForRead: return OnSelectForRead(lines);
    case PbStep::MemoryQuery: return OnMemoryQuery(lines);
    case PbStep::ReadEntry: return OnReadEntry(lines);
    case PbStep::SelectForWrite: return OnSelectForWrite(lines);
    case PbStep::WriteEntry: return OnWriteEntry(lines);
    default: return;
  }
}

void CPbDeviceIo::Finish(const PbResult& result) {
  step_ = PbStep::Idle;
  Done done = std::move(done_);
  done_ = nullptr;
  progress_ = nullptr;
  if (done) done(result);
}

void CPbDeviceIo::Fail(int message, std::string detail) {
  // A read that fails leaves no half-read memory behind.
  if (step_ == PbStep::SelectForRead || step_ == PbStep::MemoryQuery || step_ == PbStep::ReadEntry)
    Book(memory_).Free();
  Finish(PbResult{false, false, message, std::move(detail)});
}

// --- read ---

void CPbDeviceIo::StartRead() {
  if (portOpen_ && !portOpen_()) return Fail(pbsync::kDeviceFailed);
  Send(SelectCommand(memory_), PbStep::SelectForRead, kTimerSelectForRead, kReadStepWaitMs);
}

void CPbDeviceIo::OnSelectForRead(const std::vector<std::string>& lines) {
  if (PbAnswer::Failed(lines) || (!lines.empty() && CardUnavailable(lines.back())))
    return Fail(lines.empty() || !CardUnavailable(lines.back()) ? pbsync::kDeviceFailed : pbsync::kCardUnavailable,
                lines.empty() ? std::string() : lines.back());
  Send(kCmdQueryMemory, PbStep::MemoryQuery, kTimerMemoryQuery, kReadStepWaitMs);
}

void CPbDeviceIo::OnMemoryQuery(const std::vector<std::string>& lines) {
  if (PbAnswer::Failed(lines)) return Fail(pbsync::kDeviceFailed, lines.empty() ? std::string() : lines.back());
  if (CardUnavailable(lines.back())) return Fail(pbsync::kCardUnavailable, lines.back());
  total_ = PbAnswer::Capacity(lines.front());
  if (total_ == 0) {
    step_ = PbStep::Idle;
    Book(PbMemory::ME).Free();
    Book(PbMemory::SM).Free();
    return Finish(PbResult{false, true, 0, {}});
  }
  Book(memory_).Reset(total_);
  nextIndex_ = 2;
  if (progress_) progress_(0, total_);
  Send(ReadCommand(1), PbStep::ReadEntry, kTimerReadEntry, kReadStepWaitMs);
}

void CPbDeviceIo::OnReadEntry(const std::vector<std::string>& lines) {
  if (PbAnswer::Failed(lines)) return Fail(pbsync::kDeviceFailed, lines.empty() ? std::string() : lines.back());
  if (CardUnavailable(lines.back())) return Fail(pbsync::kCardUnavailable, lines.back());
  if (lines.size() == 2 && PbAnswer::EndsOk(lines)) {
    DeviceEntry entry;
    if (PbAnswer::Entry(lines.front(), total_, unnamed_, entry)) Book(memory_).At(entry.index - 1) = entry;
  }
  if (total_ < nextIndex_) {
    if (progress_) progress_(total_, total_);
    return Finish(PbResult{true, false, 0, {}});
  }
  const int location = nextIndex_++;
  if (progress_) progress_(location - 1, total_);
  Send(ReadCommand(location), PbStep::ReadEntry, kTimerReadEntry, kReadStepWaitMs);
}

// --- write ---

void CPbDeviceIo::StartWrite() {
  if (portOpen_ && !portOpen_()) return Fail(pbsync::kDeviceFailed);
  Send(SelectCommand(memory_), PbStep::SelectForWrite, kTimerSelectForWrite, kWriteStepWaitMs);
}

void CPbDeviceIo::OnSelectForWrite(const std::vector<std::string>& lines) {
  if (!PbAnswer::EndsOk(lines))
    return Fail(pbsync::kDeviceFailed, lines.empty() ? std::string() : lines.back());
  Pause(kPbPauseMs, &CPbDeviceIo::SendPendingWrite);
}

void CPbDeviceIo::SendPendingWrite() {
  Send(pending_, PbStep::WriteEntry, kTimerWriteEntry, kWriteStepWaitMs);
}

void CPbDeviceIo::OnWriteEntry(const std::vector<std::string>& lines) {
  if (!PbAnswer::EndsOk(lines))
    return Fail(pbsync::kDeviceFailed, lines.empty() ? std::string() : lines.back());
  Pause(kPbAfterWriteMs, &CPbDeviceIo::WriteCompleted);
}

void CPbDeviceIo::WriteCompleted() { Finish(PbResult{true, false, 0, {}}); }

// --- the transfer window's operations ---

CPbTransfer::CPbTransfer(CPbData& store, CPbDeviceIo& io, Event& notificationGate, PbTransferHooks hooks)
    : store_(store), io_(io), gate_(notificationGate), hooks_(std::move(hooks)) {}

CPbTransfer::~CPbTransfer() {
  io_.Cancel();
  gate_.Set();
}

void CPbTransfer::Open(const CPbDeviceIo::Progress& progress, const std::function<void(PbMemory)>& readingStarts,
                       const std::function<void(const PbResult&)>& done) {
  gate_.Reset();
  auto finish = [this, done](const PbResult& result) {
    gate_.Set();
    if (done) done(result);
  };
  if (readingStarts) readingStarts(PbMemory::SM);
  io_.Read(PbMemory::SM, progress, [this, progress, readingStarts, finish](const PbResult& sm) {
    if (!sm.ok) return finish(sm);
    if (readingStarts) readingStarts(PbMemory::ME);
    io_.Read(PbMemory::ME, progress, [this, finish](const PbResult& me) {
      if (me.ok && !(io_.Book(PbMemory::SM).Exists() && io_.Book(PbMemory::ME).Exists()))
        return finish(PbResult{false, true, 0, {}});
      finish(me);
    });
  });
}

bool CPbTransfer::CopyOrMove(PbPlace from, PbPlace to, std::vector<int> items, bool move) {
  if (running_ || io_.Running() || from == to || items.empty()) return false;
  running_ = true;
  from_ = from;
  to_ = to;
  move_ = move;
  items_ = std::move(items);
  std::sort(items_.begin(), items_.end());
  items_.erase(std::unique(items_.begin(), items_.end()), items_.end());
  itemAt_ = 0;
  pcDeleted_ = 0;
  done_ = 0;
  keptField_.reset();
  gate_.Reset();
  if (hooks_.progress) hooks_.progress(0, static_cast<int>(items_.size()));
  NextItem();
  return true;
}

void CPbTransfer::NextItem() {
  if (itemAt_ >= items_.size()) {
    running_ = false;
    gate_.Set();
    if (hooks_.finished) hooks_.finished(true);
    return;
  }
  if (hooks_.busy && hooks_.busy()) return Stop(pbsync::kPortBusy);
  const int item = items_[itemAt_];
  if (from_ == PbPlace::PC) return PcToDevice(item - pcDeleted_);
  if (to_ == PbPlace::PC) return DeviceToPc(item);
  DeviceToDevice(item);
}

void CPbTransfer::ItemDone() {
  ++done_;
  ++itemAt_;
  if (hooks_.progress) hooks_.progress(done_, static_cast<int>(items_.size()));
  NextItem();
}

void CPbTransfer::Stop(int message, const std::string& detail) {
  running_ = false;
  gate_.Set();
  if (message != 0 && hooks_.showMessage) hooks_.showMessage(message, detail);
  if (hooks_.finished) hooks_.finished(false);
}

bool CPbTransfer::CheckedWrite(PbMemory memory, int entryPos, const std::string& name, const std::string& number,
                               const std::function<void()>& written) {
  const std::string shortName = ShortenForDevice(name);
  WriteRefusal refusal = WriteRefusal::None;
  std::string command = BuildWriteCommand(entryPos + 1, number, sms::EncodeUcs2Hex(shortName), &refusal);
  if (command.empty() || refusal != WriteRefusal::None) {
    ++refused_;
    // The detail names the entry; the message says what is allowed.
    Stop(pbsync::kNumberNotWritable, name + ": " + number.substr(0, 48));
    return false;
  }
  io_.Write(memory, std::move(command), [this, memory, entryPos, shortName, number, written](const PbResult& r) {
    if (!r.ok) return Stop(r.message, r.detail);
    io_.Book(memory).At(entryPos).Set(entryPos + 1, shortName, number);
    if (hooks_.entryAdded) hooks_.entryAdded(memory, entryPos);
    written();
  });
  return true;
}

// PC to device: one device entry per number of the contact, same name.
void CPbTransfer::PcToDevice(int position) {
  ContactRecord record;
  const int index = store_.RecordAt(position);
  if (index < 0 || !store_.Get(index, record)) return Stop(pbmsg::kCannotRead);
  numbers_.clear();
  for (ContactField f : kNumberFields)
    if (!FieldValue(record, f).empty()) numbers_.emplace_back(FieldValue(record, f));
  deviceName_ = std::string(FieldValue(record, ContactField::Name));
  if (deviceName_.empty()) deviceName_ = io_.UnnamedText();
  pcPosition_ = position;
  // A contact without a number would be deleted by a move without being
  // written anywhere: it is refused instead.
  if (numbers_.empty()) return Stop(pbsync::kNothingToWrite, deviceName_);
  // Every number is checked before the first is written, so that a contact
  // is never written in part.
  for (const std::string& n : numbers_) {
    if (CheckDeviceNumber(n) != WriteRefusal::None) {
      ++refused_;
      return Stop(pbsync::kNumberNotWritable, deviceName_ + ": " + n.substr(0, 48));
    }
  }
  std::reverse(numbers_.begin(), numbers_.end());
  WriteNextNumber();
}

void CPbTransfer::WriteNextNumber() {
  const PbMemory memory = MemoryOf(to_);
  if (numbers_.empty()) {
    if (move_) {
      ChangeResult deleted = store_.Delete(pcPosition_);
      if (!deleted) return Stop(deleted.message, deleted.Error());
      ++pcDeleted_;
      if (hooks_.pcChanged) hooks_.pcChanged();
    }
    return ItemDone();
  }
  const int free = io_.Book(memory).FirstEmpty();
  if (free < 0) return Stop(FullMessage(memory));
  std::string number = numbers_.back();
  numbers_.pop_back();
  CheckedWrite(memory, free, deviceName_, number, [this] { WriteNextNumber(); });
}

void CPbTransfer::DeviceToPc(int entryPos) {
  const PbMemory memory = MemoryOf(from_);
  DeviceBook& book = io_.Book(memory);
  if (entryPos < 0 || entryPos >= book.Total() || book.At(entryPos).Empty()) return Stop(pbsync::kDeviceFailed);
  if (keptField_) return StoreDeviceEntry(entryPos, *keptField_);
  if (!hooks_.askField) return StoreDeviceEntry(entryPos, ContactField::Mobile);
  hooks_.askField(book.At(entryPos), [this, entryPos](std::optional<ContactField> field, bool keep) {
    if (!running_) return;
    if (!field) return Stop(0);
    if (keep) keptField_ = field;
    StoreDeviceEntry(entryPos, *field);
  });
}

void CPbTransfer::StoreDeviceEntry(int entryPos, ContactField field) {
  const PbMemory memory = MemoryOf(from_);
  DeviceEntry& entry = io_.Book(memory).At(entryPos);
  ContactRecord record = EmptyContact();
  SetFieldValue(record, ContactField::Name, entry.Name());
  SetFieldValue(record, field, entry.Number());
  ChangeResult added = store_.Append(record);
  if (!added) return Stop(added.message, added.Error());
  if (hooks_.pcChanged) hooks_.pcChanged();
  if (!move_) return ItemDone();
  EraseSource(entryPos);
}

void CPbTransfer::EraseSource(int entryPos) {
  const PbMemory memory = MemoryOf(from_);
  const DeviceEntry& entry = io_.Book(memory).At(entryPos);
  io_.Write(memory, BuildWriteCommand(entry.index, {}, {}), [this, memory, entryPos](const PbResult& r) {
    if (!r.ok) return Stop(r.message, r.detail);
    io_.Book(memory).At(entryPos).Clear();
    if (hooks_.entryRemoved) hooks_.entryRemoved(memory, entryPos);
    ItemDone();
  });
}

void CPbTransfer::DeviceToDevice(int entryPos) {
  const PbMemory source = MemoryOf(from_), target = MemoryOf(to_);
  DeviceBook& book = io_.Book(source);
  if (entryPos < 0 || entryPos >= book.Total() || book.At(entryPos).Empty()) return Stop(pbsync::kDeviceFailed);
  const int free = io_.Book(target).FirstEmpty();
  if (free < 0) return Stop(FullMessage(target));
  const DeviceEntry entry = book.At(entryPos);
  CheckedWrite(target, free, std::string(entry.Name()), std::string(entry.Number()), [this, entryPos] {
    if (move_) return EraseSource(entryPos);
    ItemDone();
  });
}

}  // namespace evdo
