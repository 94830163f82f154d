#include "core/settings/SettingData.h"

#include "core/files/RawRecord.h"

namespace evdo {

bool SettingData::Decode(const Bytes& content, std::int32_t& option) {
  if (content.size() != kSettingDataSize) return false;
  option = ReadI32(content.data());
  return true;
}

std::int32_t SettingData::Load(const std::string& path, std::string* error) {
  Bytes content;
  LoadResult r = DataFile::Read(path, content, kSettingDataSize);
  std::int32_t option = 0;
  if (r.Failed()) {
    if (error) *error = r.error;
    return 0;
  }
  if (r.status == LoadStatus::Loaded && !Decode(content, option)) {
    if (error) *error = path + " holds " + std::to_string(content.size()) + " bytes instead of 4";
    return 0;
  }
  return option;
}

FileResult SettingData::Save(std::int32_t option, const std::string& path) {
  Bytes content;
  AppendI32(content, option);
  return DataFile::Write(path, content);
}

}  // namespace evdo
