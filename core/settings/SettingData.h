#pragma once
// "SettingData.dat": the option chosen on the traffic settings page, one
// signed 32-bit little-endian integer.
#include <cstdint>
#include <string>

#include "core/files/DataFile.h"

namespace evdo {

constexpr const char* kSettingDataFile = "SettingData.dat";
constexpr std::size_t kSettingDataSize = 4;

class SettingData {
public:
  // The option index; 0 when the file is absent. A file that is not exactly
  // 4 bytes is refused (error set) and option 0 is used.
  static std::int32_t Load(const std::string& path = kSettingDataFile, std::string* error = nullptr);
  static FileResult Save(std::int32_t option, const std::string& path = kSettingDataFile);
  static bool Decode(const Bytes& content, std::int32_t& option);
};

}  // namespace evdo
