#include "sms/SmsData.h"

#include <cstring>

namespace evdo {
namespace {

// Records are ordered by their day count; the status of the time does not
// take part, so records with a time that is not valid keep a fixed place.
bool NotNewer(const RecordTime& a, const RecordTime& b) {
  return DateTime(a.value, DateTime::Valid) <= DateTime(b.value, DateTime::Valid);
}

}  // namespace

CSmsData::CSmsData(std::string path)
    : file_(std::move(path), kSmsMaxFileSize), boxes_(std::make_unique<Boxes>()) {
  std::memset(boxes_.get(), 0, sizeof(Boxes));
}

CSmsData::~CSmsData() = default;

LoadResult CSmsData::LoadOrCreate() {
  LoadResult result = Load();
  if (result.status == LoadStatus::Missing ||
      (result.status == LoadStatus::Damaged && !file_.SavesRefused())) {
    if (ChangeResult created = ClearAll(); !created.saved)
      result.error += (result.error.empty() ? "" : "; ") + created.Error();
  }
  return result;
}

LoadResult CSmsData::Load() {
  Empty(AllBoxes);
  return file_.Load([this](const Bytes& content, std::string& error) {
    error = LoadFromBytes(content);
    return error.empty();
  });
}

std::string CSmsData::LoadFromBytes(const Bytes& content) {
  Empty(AllBoxes);
  std::vector<std::string> problems = SmsDataImage::Check(content);
  if (!problems.empty()) {
    std::string joined;
    for (const auto& p : problems) joined += (joined.empty() ? "" : "; ") + p;
    return joined;
  }
  const SmsCounts counts = SmsDataImage::Counts(content);
  for (int box = 0; box < kSmsBoxCount; ++box) {
    boxes_->counts[box] = counts[box];
    for (int i = 0; i < counts[box]; ++i)
      boxes_->records[box][i] = SmsDataImage::RecordAt(content, counts, box, i);
  }
  return {};
}

void CSmsData::Encode(Bytes& out) const {
  SmsBoxRecords boxes;
  for (int box = 0; box < kSmsBoxCount; ++box)
    boxes[box] = std::span<const SmsRecord>(boxes_->records[box], boxes_->counts[box]);
  SmsDataImage::Encode(boxes, out);
}

FileResult CSmsData::Save() {
  if (file_.SavesRefused()) return file_.Save({});
  Encode(image_);
  return file_.Save(image_);
}

ChangeResult CSmsData::SaveChange() { return ChangeResult::Saved(Save()); }

std::optional<SmsRecord> CSmsData::GetRecord(int box, int index) const {
  if (!IsBox(box) || index < 0 || index >= boxes_->counts[box]) return std::nullopt;
  return boxes_->records[box][index];
}

ChangeResult CSmsData::AddMessage(int box, std::int32_t status, std::string_view number,
                               const DateTime& time, std::string_view text,
                               std::string_view serviceCentre, std::uint8_t flags,
                               std::uint16_t reference, std::uint8_t partIndex,
                               std::uint8_t partCount, bool overwrite) {
  SmsRecord r = ZeroSmsRecord();
  r.flags = flags;
  r.status = status;
  SetFullFieldText(r.number, number);
  r.time.Set(time);
  r.reference = reference;
  r.partIndex = partIndex;
  r.partCount = partCount;
  SetFieldText(r.text, text);
  SetFullFieldText(r.serviceCentre, serviceCentre);
  return AddRecord(box, r, overwrite);
}

ChangeResult CSmsData::AddRecord(int box, const SmsRecord& record, bool overwrite) {
  if (!IsBox(box)) return {};
  if (boxes_->counts[box] >= kSmsBoxCapacity) {
    if (!overwrite) return {};
    RemoveAt(box, Victim(box));
  }
  const int at = InsertPosition(box, record.time);
  SmsRecord* records = boxes_->records[box];
  std::memmove(&records[at + 1], &records[at], (boxes_->counts[box] - at) * sizeof(SmsRecord));
  records[at] = record;
  ++boxes_->counts[box];
  return SaveChange();
}

int CSmsData::Victim(int box) const {
  const int last = boxes_->counts[box] - 1;
  if (box == Inbox) {
    for (int i = last; i >= 0; --i)
      if (boxes_->records[box][i].status == RecRead) return i;
  }
  return last;
}

int CSmsData::InsertPosition(int box, const RecordTime& time) const {
  const int count = boxes_->counts[box];
  for (int i = 0; i < count; ++i)
    if (NotNewer(boxes_->records[box][i].time, time)) return i;
  return count;
}

ChangeResult CSmsData::ReplaceRecord(int box, int index, const SmsRecord& record) {
  if (!IsBox(box) || index < 0 || index >= boxes_->counts[box]) return {};
  boxes_->records[box][index] = record;
  return SaveChange();
}

ChangeResult CSmsData::DeleteRecord(int box, int index) {
  if (!IsBox(box) || index < 0 || index >= boxes_->counts[box]) return {};
  RemoveAt(box, index);
  return SaveChange();
}

void CSmsData::RemoveAt(int box, int index) {
  SmsRecord* records = boxes_->records[box];
  const int count = boxes_->counts[box];
  std::memmove(&records[index], &records[index + 1], (count - index - 1) * sizeof(SmsRecord));
  records[count - 1] = ZeroSmsRecord();
  --boxes_->counts[box];
}

ChangeResult CSmsData::ClearBox(int box) {
  if (!IsBox(box) && box != AllBoxes) return {};
  Empty(box);
  return SaveChange();
}

void CSmsData::Empty(int box) {
  for (int b = 0; b < kSmsBoxCount; ++b) {
    if (box != AllBoxes && b != box) continue;
    boxes_->counts[b] = 0;
    std::memset(boxes_->records[b], 0, sizeof boxes_->records[b]);
  }
}

int CSmsData::Count(int box) const {
  if (box == AllBoxes) return boxes_->counts[0] + boxes_->counts[1] + boxes_->counts[2];
  return IsBox(box) ? boxes_->counts[box] : 0;
}

bool CSmsData::IsEmpty(int box) const { return Count(box) == 0; }

bool CSmsData::IsFull(int box) const {
  if (box == AllBoxes) return Count(AllBoxes) == kSmsBoxCount * kSmsBoxCapacity;
  return IsBox(box) && boxes_->counts[box] == kSmsBoxCapacity;
}

int CSmsData::CountUnread() const {
  int unread = 0;
  for (int i = 0; i < boxes_->counts[Inbox]; ++i)
    if (boxes_->records[Inbox][i].status == RecUnread) ++unread;
  return unread;
}

ChangeResult CSmsData::ClearFlag(int box, std::uint8_t bits, bool all) {
  if (!IsBox(box) && box != AllBoxes) return {};
  bool changed = false;
  for (int b = 0; b < kSmsBoxCount; ++b) {
    if (box != AllBoxes && b != box) continue;
    for (int i = 0; i < boxes_->counts[b]; ++i) {
      SmsRecord& r = boxes_->records[b][i];
      if ((r.flags & bits) == 0) continue;
      r.flags = static_cast<std::uint8_t>(r.flags & ~bits);
      changed = true;
      if (!all) return SaveChange();
    }
  }
  return changed ? SaveChange() : ChangeResult{};
}

}  // namespace evdo
