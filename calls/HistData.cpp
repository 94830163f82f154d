#include "calls/HistData.h"

#include <cstring>

#include "core/files/RawRecord.h"

namespace evdo {
namespace {

constexpr std::string_view kChinaPrefix = "+86";

std::string_view WithoutChinaPrefix(std::string_view number) {
  if (number.substr(0, kChinaPrefix.size()) == kChinaPrefix) number.remove_prefix(kChinaPrefix.size());
  return number;
}

}  // namespace

CHistData::CHistData(std::string path) : file_(std::move(path), kHistMaxFileSize) {}

LoadResult CHistData::Load() {
  ClearLists(kAllHistLists);
  LoadResult r = file_.Load([this](const Bytes& c, std::string& e) { return LoadFromBytes(c, e); });
  if (r.status == LoadStatus::Loaded) return r;
  // Missing, or refused and set aside: start with an empty file.
  if (!file_.SavesRefused()) {
    if (FileResult saved = Save(); !saved) r.error += (r.error.empty() ? "" : "; ") + saved.error;
  }
  return r;
}

bool CHistData::LoadFromBytes(const Bytes& content, std::string& error) {
  if (content.size() < kHistCountsBytes) {
    error = "holds " + std::to_string(content.size()) + " bytes, fewer than the 6 bytes of its counts";
    return false;
  }
  std::array<std::uint16_t, kHistListCount> counts{};
  std::size_t records = 0;
  for (int i = 0; i < kHistListCount; ++i) {
    counts[i] = ReadU16(content.data() + 2 * i);
    if (counts[i] > kHistListCapacity) {
      error = "list " + std::to_string(i) + " claims " + std::to_string(counts[i]) + " calls, more than 50";
      return false;
    }
    records += counts[i];
  }
  const std::size_t expected = kHistCountsBytes + records * sizeof(HistRecord);
  if (content.size() != expected) {
    error = "holds " + std::to_string(content.size()) + " bytes where its counts announce " + std::to_string(expected);
    return false;
  }
  const std::uint8_t* p = content.data() + kHistCountsBytes;
  std::array<List, kHistListCount> loaded{};
  for (int i = 0; i < kHistListCount; ++i) {
    loaded[i].count = counts[i];
    for (int s = 0; s < counts[i]; ++s, p += sizeof(HistRecord)) loaded[i].slots[s] = ReadRecord<HistRecord>(p);
  }
  lists_ = loaded;
  return true;
}

Bytes CHistData::Encode() const {
  Bytes out;
  for (const List& l : lists_) AppendU16(out, l.count);
  for (const List& l : lists_)
    for (int s = 0; s < l.count; ++s) AppendRecord(out, l.slots[s]);
  return out;
}

std::uint16_t CHistData::Count(int list) const { return ValidList(list) ? lists_[list].count : 0; }

bool CHistData::Get(int list, int slot, HistRecord& out) const {
  if (!ValidList(list) || slot < 0 || slot >= lists_[list].count) return false;
  out = lists_[list].slots[slot];
  return true;
}

ChangeResult CHistData::Add(int list, HistRecord record) {
  if (!ValidList(list)) return ChangeResult::Refused("no call list " + std::to_string(list));
  List& l = lists_[list];
  record.SetNumber(std::string(record.Number()));
  std::uint8_t repeat = 1;
  if (int found = FindSlot(list, record.Number()); found >= 0) {
    repeat = static_cast<std::uint8_t>(l.slots[found].repeatCount + 1);
    RemoveSlot(l, found);
  }
  if (l.count == kHistListCapacity) RemoveSlot(l, kHistListCapacity - 1);
  record.repeatCount = repeat;
  const DateTime start = record.Start();
  int at = 0;
  while (at < l.count && l.slots[at].Start() > start) ++at;
  for (int s = l.count; s > at; --s) l.slots[s] = l.slots[s - 1];
  l.slots[at] = record;
  ++l.count;
  return ChangeResult::Saved(Save());
}

ChangeResult CHistData::Remove(int list, int slot) {
  if (!ValidList(list) || slot < 0 || slot >= lists_[list].count)
    return ChangeResult::Refused("no call in slot " + std::to_string(slot) + " of list " + std::to_string(list));
  RemoveSlot(lists_[list], slot);
  return ChangeResult::Saved(Save());
}

ChangeResult CHistData::Clear(int list) {
  if (!ValidList(list) && list != kAllHistLists) return ChangeResult::Refused("no call list " + std::to_string(list));
  ClearLists(list);
  return ChangeResult::Saved(Save());
}

bool CHistData::IsEmpty(int list) const {
  if (list == kAllHistLists) return Count(0) == 0 && Count(1) == 0 && Count(2) == 0;
  return Count(list) == 0;
}

bool CHistData::IsFull(int list) const {
  if (list == kAllHistLists)
    return Count(0) == kHistListCapacity && Count(1) == kHistListCapacity && Count(2) == kHistListCapacity;
  return Count(list) == kHistListCapacity;
}

FileResult CHistData::Save() { return file_.Save(Encode()); }

int CHistData::FindSlot(int list, std::string_view number) const {
  if (!ValidList(list)) return -1;
  const std::string_view wanted = WithoutChinaPrefix(number);
  const List& l = lists_[list];
  for (int s = 0; s < l.count; ++s)
    if (WithoutChinaPrefix(l.slots[s].Number()) == wanted) return s;
  return -1;
}

void CHistData::RemoveSlot(List& l, int slot) {
  for (int s = slot; s + 1 < l.count; ++s) l.slots[s] = l.slots[s + 1];
  l.slots[l.count - 1] = HistRecord{};
  --l.count;
}

void CHistData::ClearLists(int list) {
  for (int i = 0; i < kHistListCount; ++i)
    if (list == kAllHistLists || list == i) lists_[i] = List{};
}

}  // namespace evdo
