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
#include "core/files/StoreFile.h"
#include "core/time/DateTime.h"
#include "sms/SmsDataImage.h"
#include "sms/SmsRecord.h"

namespace evdo {

class CSmsData {
public:
  explicit CSmsData(std::string path = kSmsDataFile);
  virtual ~CSmsData();
  CSmsData(const CSmsData&) = delete;
  CSmsData& operator=(const CSmsData&) = delete;

  // Load; when the file does not exist, ClearAll, which creates it. A
  // damaged file that was set aside is replaced by a new empty one; an
  // unreadable one is left as it is, the boxes start empty and saves are
  // refused. A failed creation is added to the result's error.
  LoadResult LoadOrCreate();
  // Missing: the boxes empty. Damaged or Unreadable: see StoreFile.
  LoadResult Load();
  // Takes the boxes from content laid out as the file. Refused content
  // leaves the boxes empty and gives the reasons; "" when accepted.
  std::string LoadFromBytes(const Bytes& content);
  FileResult Save();
  // The file content for the current boxes.
  void Encode(Bytes& out) const;

  std::optional<SmsRecord> GetRecord(int box, int index) const;

  // Builds a zeroed record from the fields (number and service centre cut to
  // 40 bytes, text to 1531 bytes plus its terminator) and inserts it.
  ChangeResult AddMessage(int box, std::int32_t status, std::string_view number, const DateTime& time,
                       std::string_view text, std::string_view serviceCentre, std::uint8_t flags,
                       std::uint16_t reference, std::uint8_t partIndex, std::uint8_t partCount,
                       bool overwrite);
  // Inserts before the first record that is not newer. A full box refuses
  // unless overwrite, which first removes the oldest record (in the inbox the
  // oldest read one when there is one).
  ChangeResult AddRecord(int box, const SmsRecord& record, bool overwrite);
  ChangeResult ReplaceRecord(int box, int index, const SmsRecord& record);
  ChangeResult DeleteRecord(int box, int index);
  ChangeResult ClearBox(int box);  // 0..2, or AllBoxes
  ChangeResult ClearAll() { return ClearBox(AllBoxes); }

  int Count(int box) const;  // AllBoxes: the sum
  bool IsEmpty(int box) const;
  bool IsFull(int box) const;  // AllBoxes: all three full
  int CountUnread() const;
  // Clears bits in the flags of the box's records (AllBoxes: of every box),
  // of all of them or only of the first that has one of the bits set. Saves
  // only when something changed; changed tells whether it did.
  ChangeResult ClearFlag(int box, std::uint8_t bits, bool all);

  const std::string& FileName() const { return file_.Path(); }

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
  ChangeResult SaveChange();

  StoreFile file_;
  std::unique_ptr<Boxes> boxes_;
  mutable Bytes image_;
};

}  // namespace evdo
