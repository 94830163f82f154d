#include "internet/ConnProfile.h"

#include <cstring>

#include "core/text/FixedText.h"
#include "core/files/RawRecord.h"

namespace evdo {
namespace {

std::string_view NameOf(const ConnProfileRecord& r) { return FieldText(r.name); }

void AppendError(std::string& to, const std::string& more) {
  if (!more.empty()) to += (to.empty() ? "" : "; ") + more;
}

}  // namespace

CConnProfile::CConnProfile(std::string profilePath, std::string settingPath)
    : profiles_(std::move(profilePath), kConnProfileMaxFileSize, FileAccess::OwnerOnly),
      setting_(std::move(settingPath), kConnSettingBytes) {}

LoadResult CConnProfile::Load() {
  Zero();
  selected_.clear();
  // The selection is read even without a profile file: the next start reads
  // it beside the (then saved) profiles, so this one must see it too.
  LoadResult sel = setting_.Load([this](const Bytes& c, std::string& e) { return SelectionFromBytes(c, selected_, e); });
  if (!DataFile::Exists(profiles_.Path())) {
    LoadResult missing{LoadStatus::Missing, {}};
    if (sel.Failed()) AppendError(missing.error, sel.error);
    return missing;
  }
  LoadResult r = profiles_.Load([this](const Bytes& c, std::string& e) { return LoadFromBytes(c, e); });
  if (sel.Failed()) AppendError(r.error, sel.error);
  return r;
}

LoadResult CConnProfile::LoadOrReset() {
  LoadResult r = Load();
  if (r.status != LoadStatus::Loaded && !profiles_.SavesRefused()) AppendError(r.error, Reset().error);
  return r;
}

FileResult CConnProfile::Reset() {
  Zero();
  return profiles_.Save(Encode());
}

bool CConnProfile::LoadFromBytes(const Bytes& content, std::string& error) {
  if (content.size() < 2) {
    error = "holds " + std::to_string(content.size()) + " bytes, fewer than its 2-byte count";
    return false;
  }
  const std::uint16_t count = ReadU16(content.data());
  if (count > kMaxConnProfiles) {
    error = "claims " + std::to_string(count) + " profiles, more than 512";
    return false;
  }
  const std::size_t expected = 2 + std::size_t{count} * sizeof(ConnProfileRecord);
  if (content.size() != expected) {
    error = "holds " + std::to_string(content.size()) + " bytes where its count announces " + std::to_string(expected);
    return false;
  }
  Zero();
  count_ = count;
  for (int i = 0; i < count; ++i)
    slots_[i] = ReadRecord<ConnProfileRecord>(content.data() + 2 + std::size_t(i) * sizeof(ConnProfileRecord));
  return true;
}

Bytes CConnProfile::Encode() const {
  Bytes out;
  out.reserve(2 + std::size_t{count_} * sizeof(ConnProfileRecord));
  AppendU16(out, count_);
  for (int i = 0; i < count_; ++i) AppendRecord(out, slots_[i]);
  return out;
}

bool CConnProfile::SelectionFromBytes(const Bytes& content, std::string& name, std::string& error) {
  if (content.size() != kConnSettingBytes) {
    error = "holds " + std::to_string(content.size()) + " bytes instead of 257";
    return false;
  }
  name = std::string(FieldText(reinterpret_cast<const char*>(content.data()), kConnSettingBytes));
  return true;
}

bool CConnProfile::Get(int index, ConnProfileRecord& out) const {
  if (index < 0 || index >= count_) return false;
  out = slots_[index];
  return true;
}

ChangeResult CConnProfile::Add(const ConnProfileRecord& record) {
  if (IsFull()) return ChangeResult::Refused("512 connection profiles are stored; no room for another");
  if (record.isDefault) ClearDefaultMarks();
  slots_[count_++] = record;
  return ChangeResult::Saved(profiles_.Save(Encode()));
}

ChangeResult CConnProfile::Set(int index, const ConnProfileRecord& record) {
  if (index < 0 || index >= count_) return ChangeResult::Refused("no connection profile " + std::to_string(index));
  if (record.isDefault) ClearDefaultMarks();
  slots_[index] = record;
  return ChangeResult::Saved(profiles_.Save(Encode()));
}

ChangeResult CConnProfile::Delete(int index) {
  if (index < 0 || index >= count_) return ChangeResult::Refused("no connection profile " + std::to_string(index));
  for (int i = index; i + 1 < count_; ++i) slots_[i] = slots_[i + 1];
  slots_[--count_] = ConnProfileRecord{};
  return ChangeResult::Saved(profiles_.Save(Encode()));
}

int CConnProfile::IndexByName(std::string_view name) const {
  for (int i = 0; i < count_; ++i)
    if (NameOf(slots_[i]) == name) return i;
  return -1;
}

int CConnProfile::MarkSelected() {
  const int index = IndexByName(selected_);
  if (index < 0) return count_;
  slots_[index].isDefault = 1;
  return index;
}

ChangeResult CConnProfile::SaveSelection(int index) {
  if (index < 0 || index >= count_) return ChangeResult::Refused("no connection profile " + std::to_string(index));
  const std::string_view name = NameOf(slots_[index]);
  Bytes content(kConnSettingBytes, 0);
  std::memcpy(content.data(), name.data(), name.size());
  FileResult r = setting_.Save(content);
  if (!r) return {false, r, 0};
  selected_ = std::string(NameOf(slots_[index]));
  return ChangeResult::Saved(r);
}

void CConnProfile::ClearDefaultMarks() {
  for (int i = 0; i < count_; ++i) slots_[i].isDefault = 0;
}

void CConnProfile::Zero() {
  count_ = 0;
  slots_.fill(ConnProfileRecord{});
}

}  // namespace evdo
