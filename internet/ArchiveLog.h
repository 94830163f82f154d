#pragma once
// The shape shared by the connection log and the monthly totals: a dirty
// flag, up to 1000 records (oldest first) and their count, kept in a file
// written through the archive stream: a 32-bit count, then the records.
#include <array>
#include <cstdint>
#include <string>

#include "core/files/ArchiveStream.h"
#include "core/files/DataFile.h"
#include "core/files/StoreFile.h"
#include "internet/LogRecord.h"

namespace evdo {

constexpr std::int32_t kMaxLogRecords = 1000;

// Whether seconds fits the files' signed 32-bit seconds.
bool FitsArchiveSeconds(std::int64_t seconds);
// A change refused for such a duration.
ChangeResult DurationRefused(const std::string& path, std::int64_t seconds);

// The archive encoding of one record of each kind.
void WriteArchiveRecord(ArchiveWriter& out, const LogRecord& r);
bool ReadArchiveRecord(ArchiveReader& in, LogRecord& r);
void WriteArchiveRecord(ArchiveWriter& out, const MonthRecord& r);
bool ReadArchiveRecord(ArchiveReader& in, MonthRecord& r);

template <class Record, std::size_t RecordBytes>
class ArchiveLog {
public:
  explicit ArchiveLog(std::string path) : file_(std::move(path), 4 + std::size_t{kMaxLogRecords} * RecordBytes) {}
  virtual ~ArchiveLog() = default;

  // Reads the file. Missing: Missing and the store stays empty. A count
  // above 1000 or below 0, or a size that does not match the count: the file
  // is set aside, the store is empty and the status is Damaged. Unreadable:
  // left as it is, the store is empty and saves are refused.
  LoadResult Load();
  // Load; when nothing was loaded, an empty store is saved at once.
  LoadResult LoadOrCreate();
  // Writes the whole file when something changed. A record that cannot be
  // stored (a duration beyond 32-bit seconds) fails the save and nothing is
  // written; a failed save keeps the changes and the dirty flag, so the next
  // save writes them.
  FileResult Save();

  bool LoadFromBytes(const Bytes& content, std::string& error);
  FileResult Serialize(Bytes& out) const;

  std::int32_t Count() const { return count_; }
  const Record& At(int index) const { return records_[index]; }
  bool IsDirty() const { return dirty_; }
  const std::string& Path() const { return file_.Path(); }

protected:
  // Appends, dropping the oldest record when 1000 are held.
  void Append(const Record& r);
  void RemoveAt(int index);
  Record& Last() { return records_[count_ - 1]; }
  void SetDirty() { dirty_ = true; }

private:
  void Zero();

  bool dirty_ = false;
  std::array<Record, kMaxLogRecords> records_{};
  std::int32_t count_ = 0;
  StoreFile file_;
};

}  // namespace evdo
