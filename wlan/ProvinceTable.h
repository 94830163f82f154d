#pragma once
// The province list of the WLAN settings window: 33 names of 32 bytes in
// the system code page, the first a prompt to choose a province.
#include <array>
#include <cstddef>
#include <string>
#include <string_view>

namespace evdo {

constexpr std::size_t kProvinceCount = 33;
constexpr std::size_t kProvinceBytes = 32;
// The names in UTF-8 (the window shows them; the file keeps code page text).
extern const std::array<const char*, kProvinceCount> kProvincesUtf8;
// The entry whose code page text equals stored (exactly), else 0.
std::size_t ProvinceIndex(std::string_view storedAnsi);
// The system code page text of entry index (entry 0 when out of range).
std::string ProvinceAnsi(std::size_t index);

}  // namespace evdo
