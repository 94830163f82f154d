#pragma once
// The call history: three lists (missed, received, dialled) of at most 50
// calls each, newest first, kept in "HistData.dat". Every change is saved at
// once.
//
// "HistData.dat": three unsigned 16-bit counts (missed, received, dialled),
// then the records of each list in turn, newest first, 64 bytes each.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"
#include "core/files/StoreFile.h"
#include "calls/HistRecord.h"

namespace evdo {

constexpr const char* kHistDataFile = "HistData.dat";

// List selectors; the call kind of the call page. kAllHistLists is accepted by
// Clear, IsEmpty and IsFull.
enum HistList : int { kMissedCalls = 0, kReceivedCalls = 1, kDialledCalls = 2, kAllHistLists = 3 };
constexpr int kHistListCount = 3;
constexpr std::uint16_t kHistListCapacity = 50;
constexpr std::size_t kHistCountsBytes = 2 * kHistListCount;
constexpr std::size_t kHistMaxFileSize = kHistCountsBytes + std::size_t{kHistListCount} * kHistListCapacity * sizeof(HistRecord);

class CHistData {
public:
  explicit CHistData(std::string path = kHistDataFile);

  // Reads the file. A missing file is created with three empty lists. A file
  // whose counts exceed 50 or whose size does not match its counts is set
  // aside (status Damaged) and the lists start empty; an unreadable file is
  // left as it is (Unreadable) and changes are not saved over it.
  LoadResult Load();
  // Replaces the lists with the file content; false (lists unchanged) with
  // the reason when the content is not a sound history file.
  bool LoadFromBytes(const Bytes& content, std::string& error);
  // The file content for the current lists.
  Bytes Encode() const;

  std::uint16_t Count(int list) const;
  // False when list or slot is out of range.
  bool Get(int list, int slot, HistRecord& out) const;

  // Records a call: a number already in the list is moved (its repeat count
  // goes up by one, wrapping at 8 bits), the oldest call is dropped when the
  // list is full, and the call goes before every call that did not start
  // later. Saves.
  ChangeResult Add(int list, HistRecord record);
  ChangeResult Remove(int list, int slot);
  ChangeResult Clear(int list);
  bool IsEmpty(int list) const;
  bool IsFull(int list) const;
  FileResult Save();

  // First slot whose number equals number, both without a leading "+86";
  // -1 when none.
  int FindSlot(int list, std::string_view number) const;

  const std::string& Path() const { return file_.Path(); }

private:
  struct List {
    std::uint16_t count = 0;
    std::array<HistRecord, kHistListCapacity> slots{};
  };

  static bool ValidList(int list) { return list >= 0 && list < kHistListCount; }
  void RemoveSlot(List& l, int slot);
  void ClearLists(int list);

  std::array<List, kHistListCount> lists_{};
  StoreFile file_;
};

}  // namespace evdo
