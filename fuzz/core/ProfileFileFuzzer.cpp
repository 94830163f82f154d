// Feeds arbitrary bytes to the settings reader and writer.
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/settings/ProfileFile.h"
#include "core/settings/SetupData.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  std::string_view text(reinterpret_cast<const char*>(data), size);
  auto profile = evdo::ProfileFile::Parse(text);
  for (const auto& s : evdo::TextSettings()) {
    std::string v = profile.GetString(s.section, s.key, s.defaultValue, s.capacity);
    if (v.size() >= s.capacity) __builtin_trap();
  }
  for (const auto& s : evdo::IntSettings()) profile.GetInt(s.section, s.key, s.defaultValue);
  profile.Set("Main", "Main_nLanguage", "16");
  auto again = evdo::ProfileFile::Parse(profile.Serialize());
  if (again.Get("Main", "Main_nLanguage") != "16") __builtin_trap();
  return 0;
}
