#pragma once
// A settings file in the profile ("INI") format, read and written with the
// semantics of the Windows profile functions: section and key names are
// case-insensitive, blanks around names and values and one pair of enclosing
// quotes around a value are removed, the first of duplicate sections or keys
// wins, and a write changes one key in place, keeping every other line.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/DataFile.h"

namespace evdo {

class ProfileFile {
public:
  ProfileFile() = default;
  static ProfileFile Parse(std::string_view content);

  // A settings file beyond this is not read (status Damaged).
  static constexpr std::size_t kMaxBytes = std::size_t{1} << 20;

  // Missing file: an empty profile and status Missing.
  static LoadResult Load(const std::string& path, ProfileFile& profile);
  FileResult Save(const std::string& path) const;

  // The value, or nullopt when the section or key is missing.
  std::optional<std::string> Get(std::string_view section, std::string_view key) const;

  // The value cut to capacity - 1 bytes (never splitting a character), or
  // the default when missing.
  std::string GetString(std::string_view section, std::string_view key,
                        std::string_view defaultValue, std::size_t capacity) const;

  // The integer made of the value's leading decimal digits (0 when there
  // are none or the value is negative) taken as an unsigned 32-bit value and
  // stored signed, as the profile reader does (ParseProfileInt), or the
  // default when missing.
  std::int32_t GetInt(std::string_view section, std::string_view key,
                      std::int32_t defaultValue) const;

  // Sets key=value in section: the first matching key line is replaced; a new
  // key goes after the last entry of the section; a new section goes at the end.
  // The value is written so that Get gives it back (see QuoteValue).
  void Set(std::string_view section, std::string_view key, std::string_view value);

  std::string Serialize() const;

  static std::int32_t ParseProfileInt(std::string_view text);

  // A value as a key line holds it: cut at a line break, and between double
  // quotes when it has blanks at either end or enclosing quotes of its own.
  static std::string QuoteValue(std::string_view value);

private:
  struct Range {
    std::size_t header;  // index of the [section] line
    std::size_t end;     // one past the last line of the section
  };
  std::optional<Range> FindSection(std::string_view section) const;
  std::optional<std::size_t> FindKey(const Range& r, std::string_view key) const;

  static constexpr std::string_view kUtf8Bom = "\xEF\xBB\xBF";

  std::vector<std::string> lines_;
  std::string eol_ = "\r\n";
  bool bom_ = false;
};

}  // namespace evdo
