#pragma once
// CSmsData: the program's own message store. Three boxes of at most 500
// records each, held wholly in memory in order of time (newest first), and
// written to "SmsData.dat" after every change.
#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"
#include "core/time/DateTime.h"
#include "sms/SmsDataImage.h"
#include "sms/SmsRecord.h"

namespace evdo {

// What loading the store found. A refused file (damaged or unreadable) is
// never overwritten: it is renamed beside itself (keptAs) and the store
// starts with empty boxes. When it cannot be renamed, the store refuses every
// save so that the file stays as it is.
struct [[nodiscard]] SmsLoadResult {
  LoadStatus status = LoadStatus::Missing;
  std::string error;   // Failed: why the file was refused
  std::string keptAs;  // Failed: the refused file's new name, "" when it could not be renamed
  FileResult created;  // LoadOrCreate: the creation of a new file; ok when none was made
  explicit operator bool() const { return status == LoadStatus::Loaded; }
};

// The outcome of a change. changed: the store did what was asked (in
// memory); saved: the save that followed, ok when none was needed. A failed
// save keeps the change in memory; the next successful save writes it.
struct [[nodiscard]] SmsChange {
  bool changed = false;
  FileResult saved;
  explicit operator bool() const { return changed; }
};

class CSmsData {
public:
  explicit CSmsData(std::string path = kSmsDataFile);
  virtual ~CSmsData();
  CSmsData(const CSmsData&) = delete;
  CSmsData& operator=(const CSmsData&) = delete;

  // Load; when the file does not exist, ClearAll, which creates it. A
  // refused file that was set aside is replaced by a new empty one.
  SmsLoadResult LoadOrCreate();
  // Missing: false and the boxes unchanged.
  SmsLoadResult Load();
  // Takes the boxes from content laid out as the file. Refused content
  // leaves the boxes empty and gives the reasons; "" when accepted.
  std::string LoadFromBytes(const Bytes& content);
  FileResult Save();
  // The file content for the current boxes.
  void Encode(Bytes& out) const;

  std::optional<SmsRecord> GetRecord(int box, int index) const;

  // Builds a zeroed record from the fields (number and service centre cut to
  // 40 bytes, text to 1531 bytes plus its terminator) and inserts it.
  SmsChange AddMessage(int box, std::int32_t status, std::string_view number, const DateTime& time,
                       std::string_view text, std::string_view serviceCentre, std::uint8_t flags,
                       std::uint16_t reference, std::uint8_t partIndex, std::uint8_t partCount,
                       bool overwrite);
  // Inserts before the first record that is not newer. A full box refuses
  // unless overwrite, which first removes the oldest record (in the inbox the
  // oldest read one when there is one).
  SmsChange AddRecord(int box, const SmsRecord& record, bool overwrite);
  SmsChange ReplaceRecord(int box, int index, const SmsRecord& record);
  SmsChange DeleteRecord(int box, int index);
  SmsChange ClearBox(int box);  // 0..2, or AllBoxes
  SmsChange ClearAll() { return ClearBox(AllBoxes); }

  int Count(int box) const;  // AllBoxes: the sum
  bool IsEmpty(int box) const;
  bool IsFull(int box) const;  // AllBoxes: all three full
  int CountUnread() const;
  // Clears bits in the flags of the box's records (AllBoxes: of every box),
  // of all of them or only of the first that has one of the bits set. Saves
  // only when something changed; changed tells whether it did.
  SmsChange ClearFlag(int box, std::uint8_t bits, bool all);

  const std::string& FileName() const { return path_; }

private:
  struct Boxes {
    std::uint16_t counts[kSmsBoxCount];
    SmsRecord records[kSmsBoxCount][kSmsBoxCapacity];
  };

  static bool IsBox(int box) { return box >= 0 && box < kSmsBoxCount; }
  int Victim(int box) const;
  int InsertPosition(int box, const RecordTime& time) const;
  void RemoveAt(int box, int index);
  void Empty(int box);
  SmsChange SaveChange();
  SmsLoadResult Refuse(std::string error);

  std::string path_;
  std::unique_ptr<Boxes> boxes_;
  std::string saveRefusal_;  // non-empty: why saves are refused
  mutable Bytes image_;
};

}  // namespace evdo
