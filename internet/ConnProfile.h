#pragma once
// The connection profiles: up to 512 profiles in "ConnProfile.dat" and the
// name of the profile last selected on the Internet page in
// "ConnSetting.dat". Every change is saved at once.
//
// "ConnProfile.dat": unsigned 16-bit count, then count records of 960 bytes.
// "ConnSetting.dat": exactly 257 bytes, the selected name, zero-padded.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"
#include "core/files/StoreFile.h"
#include "internet/ConnProfileRecord.h"

namespace evdo {

constexpr const char* kConnProfileFile = "ConnProfile.dat";
constexpr const char* kConnSettingFile = "ConnSetting.dat";
constexpr std::uint16_t kMaxConnProfiles = 512;
constexpr std::size_t kConnSettingBytes = kProfileNameField;
constexpr std::size_t kConnProfileMaxFileSize = 2 + std::size_t{kMaxConnProfiles} * sizeof(ConnProfileRecord);

class CConnProfile {
public:
  CConnProfile(std::string profilePath = kConnProfileFile, std::string settingPath = kConnSettingFile);

  // Reads "ConnSetting.dat" (when present) and "ConnProfile.dat". Loaded when
  // the profiles were read; Missing when there is no profile file; Failed
  // when it was refused: Damaged (count above 512, size not matching the
  // count; set aside) or Unreadable (left as it is); the store is empty. A refused "ConnSetting.dat" (not
  // 257 bytes) is set aside too and no profile is marked; that is reported in
  // error while the status stays that of the profiles.
  LoadResult Load();
  // Load; when nothing was loaded, Reset (an empty store saved at once).
  LoadResult LoadOrReset();
  FileResult Reset();

  bool LoadFromBytes(const Bytes& content, std::string& error);
  Bytes Encode() const;
  // Decodes "ConnSetting.dat" content into the selected name.
  static bool SelectionFromBytes(const Bytes& content, std::string& name, std::string& error);

  std::uint16_t Count() const { return count_; }
  bool IsEmpty() const { return count_ == 0; }
  bool IsFull() const { return count_ == kMaxConnProfiles; }
  // False when index is not below Count().
  bool Get(int index, ConnProfileRecord& out) const;

  // Appends; a default record takes the default mark from every other one.
  // Refused when full.
  ChangeResult Add(const ConnProfileRecord& record);
  ChangeResult Set(int index, const ConnProfileRecord& record);
  ChangeResult Delete(int index);

  bool ExistsByName(std::string_view name) const { return IndexByName(name) >= 0; }
  int IndexByName(std::string_view name) const;
  // Marks the profile named in "ConnSetting.dat" as default in memory only
  // and returns its index; Count() when none has that name.
  int MarkSelected();
  // Writes the name of the profile at index as "ConnSetting.dat".
  ChangeResult SaveSelection(int index);

  const std::string& SelectedName() const { return selected_; }
  const std::string& Path() const { return profiles_.Path(); }

private:
  void ClearDefaultMarks();
  void Zero();

  std::string selected_;
  std::uint16_t count_ = 0;
  std::array<ConnProfileRecord, kMaxConnProfiles> slots_{};
  StoreFile profiles_;
  StoreFile setting_;
};

}  // namespace evdo
