#include "internet/ArchiveLog.h"

#include <limits>
#include <memory>

namespace evdo {

bool FitsArchiveSeconds(std::int64_t seconds) {
  return seconds >= std::numeric_limits<std::int32_t>::min() && seconds <= std::numeric_limits<std::int32_t>::max();
}

ChangeResult DurationRefused(const std::string& path, std::int64_t seconds) {
  return ChangeResult::Refused(path + " not saved: a duration of " + std::to_string(seconds) +
                          " seconds does not fit the file's 32-bit seconds");
}

void WriteArchiveRecord(ArchiveWriter& out, const LogRecord& r) {
  out.WriteDateTime(r.start);
  out.WriteSeconds(r.duration);
  out.WriteUInt32(r.received);
  out.WriteUInt32(r.sent);
}

bool ReadArchiveRecord(ArchiveReader& in, LogRecord& r) {
  return in.ReadDateTime(r.start) && in.ReadSeconds(r.duration) && in.ReadUInt32(r.received) &&
         in.ReadUInt32(r.sent);
}

void WriteArchiveRecord(ArchiveWriter& out, const MonthRecord& r) {
  out.WriteDateTime(r.month);
  out.WriteUInt32(r.received);
  out.WriteUInt32(r.sent);
  out.WriteSeconds(r.duration);
  out.WriteUInt32(r.total);
}

bool ReadArchiveRecord(ArchiveReader& in, MonthRecord& r) {
  return in.ReadDateTime(r.month) && in.ReadUInt32(r.received) && in.ReadUInt32(r.sent) &&
         in.ReadSeconds(r.duration) && in.ReadUInt32(r.total);
}

template <class Record, std::size_t RecordBytes>
LoadResult ArchiveLog<Record, RecordBytes>::Load() {
  Zero();
  dirty_ = false;
  return file_.Load([this](const Bytes& c, std::string& e) { return LoadFromBytes(c, e); });
}

template <class Record, std::size_t RecordBytes>
LoadResult ArchiveLog<Record, RecordBytes>::LoadOrCreate() {
  LoadResult r = Load();
  if (r.status == LoadStatus::Loaded || file_.SavesRefused()) return r;
  Zero();
  dirty_ = true;
  if (FileResult saved = Save(); !saved) r.error += (r.error.empty() ? "" : "; ") + saved.error;
  return r;
}

template <class Record, std::size_t RecordBytes>
FileResult ArchiveLog<Record, RecordBytes>::Save() {
  if (!dirty_) return FileResult::Ok();
  Bytes content;
  if (FileResult encoded = Serialize(content); !encoded) return encoded;
  FileResult r = file_.Save(content);
  if (r) dirty_ = false;
  return r;
}

template <class Record, std::size_t RecordBytes>
bool ArchiveLog<Record, RecordBytes>::LoadFromBytes(const Bytes& content, std::string& error) {
  ArchiveReader in(content);
  std::int32_t count = 0;
  if (!in.ReadInt32(count)) {
    error = "holds " + std::to_string(content.size()) + " bytes, fewer than its 4-byte count";
    return false;
  }
  if (count < 0 || count > kMaxLogRecords) {
    error = "claims " + std::to_string(count) + " records; at most 1000 are kept";
    return false;
  }
  const std::size_t expected = 4 + std::size_t(count) * RecordBytes;
  if (content.size() != expected) {
    error = "holds " + std::to_string(content.size()) + " bytes where its count announces " + std::to_string(expected);
    return false;
  }
  auto loaded = std::make_unique<std::array<Record, kMaxLogRecords>>();
  for (int i = 0; i < count; ++i) ReadArchiveRecord(in, (*loaded)[i]);
  records_ = *loaded;
  count_ = count;
  return true;
}

template <class Record, std::size_t RecordBytes>
FileResult ArchiveLog<Record, RecordBytes>::Serialize(Bytes& out) const {
  ArchiveWriter w;
  w.WriteInt32(count_);
  for (int i = 0; i < count_; ++i) WriteArchiveRecord(w, records_[i]);
  if (!w.Ok()) return FileResult::Fail(file_.Path() + " not saved: " + w.Error());
  out = w.Content();
  return FileResult::Ok();
}

template <class Record, std::size_t RecordBytes>
void ArchiveLog<Record, RecordBytes>::Append(const Record& r) {
  if (count_ == kMaxLogRecords) {
    for (int i = 0; i + 1 < count_; ++i) records_[i] = records_[i + 1];
    --count_;
  }
  records_[count_++] = r;
}

template <class Record, std::size_t RecordBytes>
void ArchiveLog<Record, RecordBytes>::RemoveAt(int index) {
  for (int i = index; i + 1 < count_; ++i) records_[i] = records_[i + 1];
  records_[--count_] = Record{};
}

template <class Record, std::size_t RecordBytes>
void ArchiveLog<Record, RecordBytes>::Zero() {
  records_.fill(Record{});
  count_ = 0;
}

template class ArchiveLog<LogRecord, kLogRecordBytes>;
template class ArchiveLog<MonthRecord, kMonthRecordBytes>;

}  // namespace evdo
