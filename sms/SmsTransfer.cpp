#include "sms/SmsTransfer.h"

#include <algorithm>
#include <cstring>
#include <utility>

#include "core/text/FixedText.h"
#include "sms/ModemAnswer.h"
#include "sms/SmsCodec.h"
#include "ui/StringIds.h"

namespace evdo::sms {

namespace {

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
    line.remove_suffix(1);
  return line;
}

// Up to count comma-separated non-negative numbers after prefix.
int ReadNumbers(std::string_view line, std::string_view prefix, int* out, int count) {
  if (!line.starts_with(prefix)) return 0;
  line.remove_prefix(prefix.size());
  int n = 0;
  std::size_t i = 0;
  while (n < count) {
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size() || line[i] < '0' || line[i] > '9') break;
    long value = 0;
    for (; i < line.size() && line[i] >= '0' && line[i] <= '9'; ++i) value = std::min(value * 10 + (line[i] - '0'), 1000000L);
    out[n++] = static_cast<int>(value);
    while (i < line.size() && line[i] == ' ') ++i;
    if (i >= line.size() || line[i] != ',') break;
    ++i;
  }
  return n;
}

std::string Quoted(int storage) { return std::string("\"") + kStorageNames[storage] + "\""; }

bool IsDevice(int storage) { return storage == kStorageMe || storage == kStorageSm; }

}  // namespace

int ParseSelectionCounts(std::string_view line, int (&counts)[4]) {
  return ReadNumbers(TrimEnd(line), kAnsSelectStorage, counts, 4);
}

int ParseWrittenIndex(std::string_view line) {
  int index = -1;
  line = TrimEnd(line);
  if (ReadNumbers(line, kAnsWritten, &index, 1) != 1 || index > 65535) return -1;
  // Nothing but the number may follow.
  const std::string_view rest = line.substr(kAnsWritten.size());
  for (char c : rest)
    if ((c < '0' || c > '9') && c != ' ') return -1;
  return index;
}

bool DeviceStorage::Full(int bound) const {
  return used >= total || static_cast<int>(entries.size()) >= bound;
}

int DeviceListBound(int storage) {
  return storage == kStorageMe ? kMaxMeEntries : storage == kStorageSm ? kMaxSmEntries : 0;
}

std::string WriteCommandLine(const SmsRecord& record, const DateTime& now) {
  const std::string_view number = record.Number();
  if (!number.empty() && !IsSendableNumber(number)) return {};
  const char* status = StatusName(record.status);
  if (*status == '\0') return {};
  const char* format = "%y/%m/%d,%H:%M:%S+00";
  std::string time = record.Time().IsValid() ? record.Time().Format(format) : std::string();
  if (time.empty()) time = now.Format(format);
  return std::string(kCmdWriteMessage) + "\"" + std::string(number) + "\"," + NumberType(number) + ",\"" + status +
         "\",\"" + time + "\"\r";
}

CSmsTransfer::CSmsTransfer(CCommandExchange& exchange, CSmsData& store, Event& notificationGate,
                           CSmsLinkLock& link, WindowPort& self, TransferHooks hooks)
    : store_(store),
      gate_(notificationGate),
      link_(link),
      hooks_(std::move(hooks)),
      channel_(exchange, self) {}

CSmsTransfer::~CSmsTransfer() { Abort(); }

void CSmsTransfer::Show(int id, const std::string& detail) {
  if (hooks_.showMessage) hooks_.showMessage(id, detail);
}

TransferStart CSmsTransfer::CheckReady() const {
  if (!hooks_.cardReady() || hooks_.incomingCall() || !hooks_.portOpen()) return TransferStart::NotReady;
  return TransferStart::Started;
}

bool CSmsTransfer::Acquire(TransferMode mode) {
  mode_ = mode;
  phase_ = Phase::Select;
  return link_.Acquire(this, [this] {
    if (mode_ == TransferMode::Reading)
      BeginReading();
    else
      BeginTransfer();
  });
}

bool CSmsTransfer::Send(const std::string& line, int step, TimerId timer, std::uint32_t ms) {
  if (!channel_.Send(line, step, timer, ms)) return false;
  if (!gateClosed_) {
    gate_.Reset();
    gateClosed_ = true;
  }
  return true;
}

int CSmsTransfer::FullMessage(int storage) const {
  return storage == kStorageMe ? kStrModemMessagesFull : kStrCardMessagesFull;
}

// ---------------------------------------------------------------------------
// Reading the device storages.

TransferStart CSmsTransfer::ReadDevices() {
  if (IsRunning()) return TransferStart::Busy;
  if (TransferStart ready = CheckReady(); ready != TransferStart::Started) return ready;
  Acquire(TransferMode::Reading);
  return TransferStart::Started;
}

void CSmsTransfer::BeginReading() {
  if (mode_ != TransferMode::Reading) return;
  me_ = DeviceStorage{};
  sm_ = DeviceStorage{};
  runningIndex_ = -1;
  readCount_ = 0;
  rangeSet_ = false;
  progress_ = 0;
  if (hooks_.openProgress) hooks_.openProgress(0);
  progressShown_ = true;
  phase_ = Phase::ReadMe;
  selectAttempts_ = 0;
  SelectForReading(kStorageMe);
}

void CSmsTransfer::SelectForReading(int storage) {
  const int other = storage == kStorageMe ? kStorageSm : kStorageMe;
  mem1_ = storage;
  mem2_ = other;
  ++selectAttempts_;
  if (!Send(std::string(kCmdSelectStorage) + Quoted(storage) + "," + Quoted(other) + "\r", kStepSelected,
            kSelectStorageTimer, kSelectStorageMs))
    Finish(TransferEnd::Failed, 0);
}

void CSmsTransfer::ReadNext() {
  if (hooks_.incomingCall()) return Finish(TransferEnd::Stopped, 0);
  ++runningIndex_;
  const int storage = phase_ == Phase::ReadMe ? kStorageMe : kStorageSm;
  DeviceStorage& list = StorageOf(storage);
  const int bound = DeviceListBound(storage);
  // The modem's counts are believed only up to the list's bound.
  if (readCount_ < list.used && runningIndex_ < list.total && runningIndex_ < bound &&
      static_cast<int>(list.entries.size()) < bound) {
    if (!Send(std::string(kCmdReadMessage) + std::to_string(runningIndex_) + "\r", kStepRead, kReadTimer, kReadMs))
      Finish(TransferEnd::Failed, 0);
    return;
  }
  if (phase_ == Phase::ReadMe) {
    phase_ = Phase::ReadSm;
    runningIndex_ = -1;
    readCount_ = 0;
    sm_.entries.clear();
    selectAttempts_ = 0;
    return SelectForReading(kStorageSm);
  }
  Finish(TransferEnd::Done, 0);
}

// ---------------------------------------------------------------------------
// Copy, move and delete.

TransferStart CSmsTransfer::Start(int source, int destination, std::vector<int> selection, bool move) {
  if (source < kStoragePc || source > kStorageSm || destination < kStoragePc || destination > kStorageSm ||
      source == destination)
    return TransferStart::BadRequest;
  if (IsRunning()) return TransferStart::Busy;
  if (TransferStart ready = CheckReady(); ready != TransferStart::Started) return ready;
  const int sourceCount = source == kStoragePc ? store_.Count(pcBox_) : static_cast<int>(Storage(source).entries.size());
  if (sourceCount == 0) return TransferStart::Empty;
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  std::vector<Item> items;
  for (int position : selection) {
    if (position < 0 || position >= sourceCount) continue;
    Item item;
    if (source == kStoragePc) {
      item.entry.record = *store_.GetRecord(pcBox_, position);
    } else {
      item.entry = Storage(source).entries[static_cast<std::size_t>(position)];
    }
    items.push_back(item);
  }
  if (items.empty()) {
    Show(kStrSelectEntry);
    return TransferStart::NoSelection;
  }
  if (destination == kStoragePc && store_.Count(pcBox_) >= kSmsBoxCapacity) {
    Show(kStrPcBoxFull);
    return TransferStart::PcFull;
  }
  if (IsDevice(destination) && Storage(destination).Full(DeviceListBound(destination))) {
    Show(FullMessage(destination));
    return destination == kStorageMe ? TransferStart::MeFull : TransferStart::SmFull;
  }
  source_ = source;
  destination_ = destination;
  items_ = std::move(items);
  current_ = 0;
  inboxInvolved_ = (source == kStoragePc || destination == kStoragePc) && pcBox_ == Inbox;
  Acquire(move ? TransferMode::Moving : TransferMode::Copying);
  return TransferStart::Started;
}

TransferStart CSmsTransfer::Delete(int storage, std::vector<int> selection) {
  if (storage < kStoragePc || storage > kStorageSm) return TransferStart::BadRequest;
  if (IsRunning()) return TransferStart::Busy;
  const int count = storage == kStoragePc ? store_.Count(pcBox_) : static_cast<int>(Storage(storage).entries.size());
  if (count == 0) return TransferStart::Empty;
  std::sort(selection.begin(), selection.end());
  selection.erase(std::unique(selection.begin(), selection.end()), selection.end());
  std::vector<Item> items;
  for (int position : selection) {
    if (position < 0 || position >= count) continue;
    Item item;
    if (storage == kStoragePc)
      item.entry.record = *store_.GetRecord(pcBox_, position);
    else
      item.entry = Storage(storage).entries[static_cast<std::size_t>(position)];
    items.push_back(item);
  }
  if (items.empty()) {
    Show(kStrSelectEntry);
    return TransferStart::NoSelection;
  }
  if (storage == kStoragePc) {
    // The computer's box needs no modem.
    for (const Item& item : items) DeletePcRecord(item.entry.record);
    if (hooks_.boxChanged) hooks_.boxChanged(pcBox_);
    if (pcBox_ == Inbox && hooks_.indicatorsChanged) hooks_.indicatorsChanged();
    if (hooks_.panesChanged) hooks_.panesChanged();
    if (hooks_.finished) hooks_.finished(TransferMode::Deleting, TransferEnd::Done);
    return TransferStart::Started;
  }
  if (TransferStart ready = CheckReady(); ready != TransferStart::Started) return ready;
  source_ = storage;
  destination_ = storage;
  items_ = std::move(items);
  current_ = 0;
  inboxInvolved_ = false;
  Acquire(TransferMode::Deleting);
  return TransferStart::Started;
}

void CSmsTransfer::BeginTransfer() {
  if (mode_ == TransferMode::Idle || mode_ == TransferMode::Reading) return;
  progress_ = 0;
  if (hooks_.openProgress) hooks_.openProgress(static_cast<int>(items_.size()));
  progressShown_ = true;
  // Deletes act on the first storage, writes on the second.
  if (mode_ == TransferMode::Deleting) {
    mem1_ = source_;
    mem2_ = kNoStorage;
  } else {
    mem1_ = IsDevice(source_) ? source_ : readStorage_;
    mem2_ = IsDevice(destination_) ? destination_ : kNoStorage;
  }
  std::string line = std::string(kCmdSelectStorage) + Quoted(mem1_);
  if (mem2_ != kNoStorage) line += "," + Quoted(mem2_);
  phase_ = Phase::Select;
  if (!Send(line + "\r", kStepSelected, kSelectStorageTimer, kSelectStorageMs)) Finish(TransferEnd::Failed, 0);
}

void CSmsTransfer::NextItem() {
  if (hooks_.incomingCall()) return Finish(TransferEnd::Stopped, 0);
  if (current_ >= items_.size()) return Finish(TransferEnd::Done, 0);
  const Item& item = items_[current_];
  if (mode_ == TransferMode::Deleting) return DeleteSource();
  if (destination_ == kStoragePc) {
    if (store_.Count(pcBox_) >= kSmsBoxCapacity) return Finish(TransferEnd::Failed, kStrPcBoxFull);
    ChangeResult added = store_.AddRecord(pcBox_, item.entry.record, false);
    if (!added.changed) return Finish(TransferEnd::Failed, kStrPcBoxFull);
    if (hooks_.boxChanged) hooks_.boxChanged(pcBox_);
    // The device copy goes only when the computer's copy is on disk.
    if (mode_ == TransferMode::Moving && !added.saved.ok) return Finish(TransferEnd::Failed, kStrTransferFailed);
    if (mode_ == TransferMode::Moving) return DeleteSource();
    return ItemDone();
  }
  // Into a device storage: every text is split the same way, whatever its
  // source, so a long text goes part by part with its headers.
  writing_ = item.entry.record;
  if (writing_.status < RecUnread || writing_.status > StoSent)
    writing_.status = source_ == kStoragePc && pcBox_ != Inbox ? StoUnsent : RecRead;
  const std::string_view text = writing_.Text();
  writingParts_ = SplitMessage(splitter_, text) && splitter_.isLong != 0;
  SmsRecord copy = writing_;
  ownHeader_ = !writingParts_ && CheckPartInfo(copy);
  splitter_.currentPart = 0;
  partsWritten_ = 0;
  WritePart();
}

void CSmsTransfer::WritePart() {
  if (hooks_.incomingCall()) return Finish(TransferEnd::Stopped, 0);
  if (StorageOf(destination_).Full(DeviceListBound(destination_)))
    return Finish(TransferEnd::Failed, FullMessage(destination_));
  // The number is checked before anything of this message is sent.
  if (WriteCommandLine(writing_, hooks_.now()).empty())
    return Finish(TransferEnd::Failed, kStrBadMessageNumber, std::string(writing_.Number()));
  // A text the modem cannot take in one block stops here, before any command.
  if (!BuildBlock()) return Finish(TransferEnd::Failed, kStrTransferTooLong);
  const bool gsm7 = writingParts_ ? splitter_.isGsm7 != 0 : IsGsm7Text(writing_.Text());
  phase_ = Phase::Parameters;
  if (!Send(WriteParametersLine(writing_.status, writingParts_ || ownHeader_, gsm7), kStepWriteParameters,
            kParametersTimer, kWriteParametersMs))
    Finish(TransferEnd::Failed, 0);
}

void CSmsTransfer::SendWriteCommand() {
  phase_ = Phase::Command;
  if (!Send(WriteCommandLine(writing_, hooks_.now()), kStepWriteData, kWriteTimer, kWriteMs))
    Finish(TransferEnd::Failed, 0);
}

bool CSmsTransfer::BuildBlock() {
  block_.clear();
  if (writingParts_) return PartDataBlock(splitter_, writing_.Text(), kWriteBlockLimit, block_);
  std::string header;
  if (ownHeader_ && !FormatConcatHeader(writing_.reference, writing_.partIndex, writing_.partCount, header))
    return false;
  block_ = header + EncodeUcs2Hex(writing_.Text());
  block_ += kCtrlZ;
  return block_.size() <= kWriteBlockLimit;
}

void CSmsTransfer::SendData() {
  phase_ = Phase::Data;
  if (!Send(block_, kStepWritten, kWriteTimer, kWriteMs)) Finish(TransferEnd::Failed, 0);
}

void CSmsTransfer::OnWritten(const std::vector<std::string>& lines) {
  const int index = IsConfirmed(lines, kAnsWritten) ? ParseWrittenIndex(lines[0]) : -1;
  if (index < 0) return Finish(TransferEnd::Failed, kStrTransferFailed);
  DeviceStorage& target = StorageOf(destination_);
  DeviceEntry entry;
  entry.index = static_cast<std::uint16_t>(index);
  entry.record = writing_;
  if (writingParts_) {
    SmsRecord& part = entry.record;
    part.flags = static_cast<std::uint8_t>((part.flags & ~kSmsFlagJoined) | kSmsFlagPartInfo);
    part.reference = splitter_.reference;
    part.partIndex = static_cast<std::uint8_t>(splitter_.currentPart + 1);
    part.partCount = splitter_.partCount;
    std::memset(part.text, 0, sizeof part.text);
    SetFieldText(part.text, splitter_.Part(splitter_.currentPart));
  }
  target.entries.push_back(entry);
  ++target.used;
  ++partsWritten_;
  if (hooks_.panesChanged) hooks_.panesChanged();
  if (writingParts_ && ++splitter_.currentPart < splitter_.partCount) return WritePart();
  // Every part is on the device: only now may the source go.
  if (mode_ != TransferMode::Moving) return ItemDone();
  if (source_ == kStoragePc) {
    DeletePcRecord(items_[current_].entry.record);
    if (hooks_.boxChanged) hooks_.boxChanged(pcBox_);
    return ItemDone();
  }
  DeleteSource();
}

void CSmsTransfer::DeleteSource() {
  phase_ = Phase::DeleteDevice;
  if (!Send(std::string(kCmdDeleteMessage) + std::to_string(items_[current_].entry.index) + "\r", kStepDeleted,
            kDeleteTimer, kDeleteMs))
    Finish(TransferEnd::Failed, 0);
}

bool CSmsTransfer::DeletePcRecord(const SmsRecord& record) {
  for (int i = 0; i < store_.Count(pcBox_); ++i) {
    auto held = store_.GetRecord(pcBox_, i);
    // The same bytes of the packed file record are the same stored message.
    // NOLINTNEXTLINE(bugprone-suspicious-memory-comparison)
    if (held && std::memcmp(&*held, &record, sizeof record) == 0) return store_.DeleteRecord(pcBox_, i).changed;
  }
  return false;
}

void CSmsTransfer::ItemDone() {
  ++current_;
  if (hooks_.stepProgress) hooks_.stepProgress(static_cast<int>(current_));
  if (hooks_.panesChanged) hooks_.panesChanged();
  NextItem();
}

// ---------------------------------------------------------------------------
// Answers and time-outs.

void CSmsTransfer::OnSelected(const std::vector<std::string>& lines, int mem1, int mem2) {
  int counts[4] = {0, 0, 0, 0};
  const int n = lines.empty() ? 0 : ParseSelectionCounts(lines[0], counts);
  if (n >= 2) {
    StorageOf(mem1).used = counts[0];
    StorageOf(mem1).total = counts[1];
  }
  if (n >= 4 && mem2 != kNoStorage) {
    StorageOf(mem2).used = counts[2];
    StorageOf(mem2).total = counts[3];
  }
  readStorage_ = mem1;
  if (mem2 != kNoStorage) writeStorage_ = mem2;
}

void CSmsTransfer::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message != kMsgSmsAnswer) return;
  CSmsChannel::Answer answer;
  if (!channel_.TakeAnswer(wParam, answer)) return;
  OnAnswer(answer);
}

void CSmsTransfer::OnAnswer(const CSmsChannel::Answer& answer) {
  const std::vector<std::string>& lines = answer.lines;
  const bool error = lines.empty() || IsErrorAnswer(lines);
  if (mode_ == TransferMode::Reading) {
    if (answer.step == kStepSelected) {
      if (!IsConfirmed(lines, kAnsSelectStorage)) {
        // The selection is tried twice; a storage that cannot be selected
        // is not read (its list would get the other storage's messages).
        if (selectAttempts_ < 2) return SelectForReading(mem1_);
        StorageOf(mem1_) = DeviceStorage{};
        runningIndex_ = std::max(runningIndex_, 0);
        readCount_ = 0;
        return ReadNext();
      }
      OnSelected(lines, mem1_, mem2_);
      if (!rangeSet_) {
        rangeSet_ = true;
        const int range = std::min(me_.used, kMaxMeEntries) + std::min(sm_.used, kMaxSmEntries);
        if (hooks_.openProgress) hooks_.openProgress(range);
      }
      return ReadNext();
    }
    if (answer.step == kStepRead) {
      const int storage = phase_ == Phase::ReadMe ? kStorageMe : kStorageSm;
      SmsRecord record = ZeroSmsRecord();
      if (!error && lines.size() >= 2 && TrimEnd(lines.back()) == "OK" &&
          ParseQcmgrAnswer(lines, record, AnyStatus)) {
        StorageOf(storage).entries.push_back(DeviceEntry{static_cast<std::uint16_t>(runningIndex_), record});
        ++readCount_;
        if (hooks_.stepProgress) hooks_.stepProgress(++progress_);
      }
      return ReadNext();
    }
    return;
  }
  switch (answer.step) {
    case kStepSelected:
      if (!IsConfirmed(lines, kAnsSelectStorage)) return Finish(TransferEnd::Failed, kStrTransferFailed);
      OnSelected(lines, mem1_, mem2_);
      return NextItem();
    case kStepWriteParameters:
      if (error) return Finish(TransferEnd::Failed, kStrTransferFailed);
      if (hooks_.incomingCall()) return Finish(TransferEnd::Stopped, 0);
      if (std::string_view centre = writing_.ServiceCentre(); !centre.empty() && IsSendableNumber(centre)) {
        phase_ = Phase::Centre;
        if (!Send(std::string(kCmdServiceCentre) + "\"" + std::string(centre) + "\"\r", kStepWriteCentre,
                  kServiceCentreTimer, kServiceCentreMs))
          Finish(TransferEnd::Failed, 0);
        return;
      }
      return SendWriteCommand();
    case kStepWriteCentre:
      // The service centre's answer is not examined.
      return SendWriteCommand();
    case kStepWriteData:
      if (!IsPrompt(lines)) return Finish(TransferEnd::Failed, kStrTransferFailed);
      return SendData();
    case kStepWritten: return OnWritten(lines);
    case kStepDeleted: {
      if (error || TrimEnd(lines.back()) != "OK") return Finish(TransferEnd::Failed, kStrTransferFailed);
      DeviceStorage& list = StorageOf(source_);
      const std::uint16_t index = items_[current_].entry.index;
      auto it = std::find_if(list.entries.begin(), list.entries.end(),
                             [index](const DeviceEntry& e) { return e.index == index; });
      if (it != list.entries.end()) list.entries.erase(it);
      if (list.used > 0) --list.used;
      return ItemDone();
    }
    default: return;
  }
}

void CSmsTransfer::TimedOut(int step) {
  if (gateClosed_) {
    gate_.Set();
    gateClosed_ = false;
  }
  if (step == kStepWriteData || step == kStepWritten) {
    // The modem may still be taking text: Ctrl-Z ends its text entry.
    const char ctrlZ[1] = {kCtrlZ};
    channel_.SendIgnored(std::string_view(ctrlZ, 1));
  }
  Finish(TransferEnd::TimedOut, kStrModemTimeout);
}

void CSmsTransfer::OnTimer(TimerId timerId) {
  int step = 0;
  bool answered = false;
  CSmsChannel::Answer answer;
  if (!channel_.OnTimer(timerId, step, answered, answer)) return;
  if (answered) return OnAnswer(answer);
  TimedOut(step);
}

void CSmsTransfer::Finish(TransferEnd end, int messageId, const std::string& detail) {
  const TransferMode mode = mode_;
  if (channel_.Outstanding()) channel_.Cancel();
  if (progressShown_ && hooks_.closeProgress) hooks_.closeProgress();
  progressShown_ = false;
  if (gateClosed_) {
    gate_.Set();
    gateClosed_ = false;
  }
  mode_ = TransferMode::Idle;
  phase_ = Phase::None;
  link_.Release(this);
  if (hooks_.panesChanged) hooks_.panesChanged();
  const bool pcInvolved = (mode == TransferMode::Copying || mode == TransferMode::Moving) &&
                          (source_ == kStoragePc || destination_ == kStoragePc);
  if (pcInvolved && hooks_.boxChanged) hooks_.boxChanged(pcBox_);
  if (pcInvolved && inboxInvolved_ && hooks_.indicatorsChanged) hooks_.indicatorsChanged();
  items_.clear();
  if (messageId != 0) Show(messageId, detail);
  if (hooks_.finished) hooks_.finished(mode, end);
}

void CSmsTransfer::Abort() {
  if (mode_ == TransferMode::Idle) return;
  channel_.Cancel();
  if (gateClosed_) {
    gate_.Set();
    gateClosed_ = false;
  }
  mode_ = TransferMode::Idle;
  phase_ = Phase::None;
  items_.clear();
  link_.Withdraw(this);
}

}  // namespace evdo::sms
