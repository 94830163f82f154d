// "EVDO.ini": arbitrary file text. The settings are read from it, every
// setting is then given a value taken from the file's own lines (so that a
// real file gives real values: names with blanks, quotes, Chinese text) and
// saved over it. Reading the file back must give every value saved, and
// every key of the file that is not a setting must keep its value.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>

#include "core/text/TextRules.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

using namespace evdo;

// Keys and section names are trimmed as the profile file trims them.
std::string_view Trim(std::string_view s) { return TrimAsciiSpace(s); }

bool SameNoCase(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i)
    if (std::tolower(static_cast<unsigned char>(a[i])) != std::tolower(static_cast<unsigned char>(b[i]))) return false;
  return true;
}

bool IsSetting(std::string_view section, std::string_view key) {
  for (const auto& s : TextSettings())
    if (SameNoCase(section, s.section) && SameNoCase(key, s.key)) return true;
  for (const auto& s : IntSettings())
    if (SameNoCase(section, s.section) && SameNoCase(key, s.key)) return true;
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using fuzz::Require;
  SelectSystemCodePage(size > 0 && (data[0] & 1) ? CodePage::Utf8 : CodePage::Cp936);
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const std::string path = fuzz::FreshPath("EVDO.ini");
  fuzz::WriteAll(path, Bytes(data, data + size));
  const ProfileFile before = ProfileFile::Parse(text);

  CSetupData settings;
  LoadSettings(settings, path);
  for (const auto& s : TextSettings()) {
    const std::string v = before.GetString(s.section, s.key, s.defaultValue, s.capacity);
    Require(v.size() < s.capacity, "a text setting fits its buffer");
    Require(FieldText(s.field(settings), s.capacity) == std::string_view(v).substr(0, v.find('\0')),
            "the loaded setting is the value in the file");
  }

  // New values from the file's lines.
  const auto lines = fuzz::SplitLines(text);
  std::size_t next = 0;
  for (const auto& s : TextSettings()) {
    if (next >= lines.size()) break;
    std::string_view v = lines[next++];
    v = CutToBytes(v.substr(0, v.find('\0')), s.capacity - 1);
    SetFieldText(s.field(settings), s.capacity, v);
  }
  for (const auto& s : IntSettings()) {
    if (next >= lines.size()) break;
    std::uint32_t v = 0;
    for (char c : lines[next++]) v = v * 31 + static_cast<unsigned char>(c);
    settings.*s.field = static_cast<std::int32_t>(v & 0x7FFFFFFF);
  }
  Require(static_cast<bool>(SaveSettings(settings, path)), "the settings are saved");

  CSetupData back;
  LoadSettings(back, path);
  for (const auto& s : TextSettings())
    Require(FieldText(s.field(back), s.capacity) == FieldText(s.field(settings), s.capacity),
            "a text setting loads as it was saved");
  for (const auto& s : IntSettings())
    Require(back.*s.field == settings.*s.field, "a number setting loads as it was saved");

  // Every other key keeps its value.
  Bytes saved = fuzz::ReadAll(path);
  const ProfileFile after =
      ProfileFile::Parse(std::string_view(reinterpret_cast<const char*>(saved.data()), saved.size()));
  std::string_view section;
  for (std::string_view line : lines) {
    const std::string_view t = Trim(line);
    if (!t.empty() && t.front() == '[' && t.find(']') != std::string_view::npos) {
      section = Trim(t.substr(1, t.find(']') - 1));
      continue;
    }
    const std::size_t eq = line.find('=');
    if (eq == std::string_view::npos) continue;
    const std::string_view key = Trim(line.substr(0, eq));
    if (key.empty() || IsSetting(section, key)) continue;
    Require(before.Get(section, key) == after.Get(section, key), "a key that is not a setting is kept");
  }
  return 0;
}
