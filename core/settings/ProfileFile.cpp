#include "core/settings/ProfileFile.h"

#include <cstdint>

#include "core/text/CodePage.h"
#include "core/text/TextRules.h"

namespace evdo {
namespace {


// The section name of a "[name]" line, or nullopt for any other line.
std::optional<std::string_view> SectionName(std::string_view line) {
  line = TrimAsciiSpace(line);
  if (line.empty() || line.front() != '[') return std::nullopt;
  auto close = line.find(']');
  if (close == std::string_view::npos) return std::nullopt;
  return TrimAsciiSpace(line.substr(1, close - 1));
}

bool IsComment(std::string_view line) {
  line = TrimAsciiSpace(line);
  return !line.empty() && line.front() == ';';
}

// Key and value of a "key=value" line.
bool SplitEntry(std::string_view line, std::string_view& key, std::string_view& value) {
  if (IsComment(line)) return false;
  auto eq = line.find('=');
  if (eq == std::string_view::npos) return false;
  key = TrimAsciiSpace(line.substr(0, eq));
  value = TrimAsciiSpace(line.substr(eq + 1));
  return !key.empty();
}

std::string_view Unquote(std::string_view v) {
  if (v.size() >= 2 && (v.front() == '"' || v.front() == '\'') && v.back() == v.front())
    return v.substr(1, v.size() - 2);
  return v;
}

}  // namespace

ProfileFile ProfileFile::Parse(std::string_view content) {
  ProfileFile p;
  // A UTF-8 byte-order mark is not part of the first line (it would hide the
  // first section); it is kept and written back in front of the file.
  if (content.starts_with(kUtf8Bom)) {
    p.bom_ = true;
    content.remove_prefix(kUtf8Bom.size());
  }
  if (content.find("\r\n") == std::string_view::npos && content.find('\n') != std::string_view::npos)
    p.eol_ = "\n";
  std::size_t start = 0;
  while (start < content.size()) {
    auto nl = content.find('\n', start);
    std::string_view line = content.substr(start, nl == std::string_view::npos ? nl : nl - start);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    p.lines_.emplace_back(line);
    if (nl == std::string_view::npos) break;
    start = nl + 1;
  }
  return p;
}

LoadResult ProfileFile::Load(const std::string& path, ProfileFile& profile) {
  Bytes content;
  LoadResult r = DataFile::Read(path, content, kMaxBytes);
  profile = Parse(std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
  return r;
}

FileResult ProfileFile::Save(const std::string& path) const {
  std::string text = Serialize();
  return DataFile::Write(path, text.data(), text.size());
}

std::optional<ProfileFile::Range> ProfileFile::FindSection(std::string_view section) const {
  for (std::size_t i = 0; i < lines_.size(); ++i) {
    auto name = SectionName(lines_[i]);
    if (!name || !EqualIgnoringAsciiCase(*name, TrimAsciiSpace(section))) continue;
    std::size_t end = i + 1;
    while (end < lines_.size() && !SectionName(lines_[end])) ++end;
    return Range{i, end};
  }
  return std::nullopt;
}

std::optional<std::size_t> ProfileFile::FindKey(const Range& r, std::string_view key) const {
  for (std::size_t i = r.header + 1; i < r.end; ++i) {
    std::string_view k, v;
    if (SplitEntry(lines_[i], k, v) && EqualIgnoringAsciiCase(k, TrimAsciiSpace(key))) return i;
  }
  return std::nullopt;
}

std::optional<std::string> ProfileFile::Get(std::string_view section, std::string_view key) const {
  auto r = FindSection(section);
  if (!r) return std::nullopt;
  auto i = FindKey(*r, key);
  if (!i) return std::nullopt;
  std::string_view k, v;
  SplitEntry(lines_[*i], k, v);
  v = Unquote(v);
  // A value ends at a NUL byte, as it would in a C buffer.
  return std::string(v.substr(0, v.find('\0')));
}

std::string ProfileFile::GetString(std::string_view section, std::string_view key,
                                   std::string_view defaultValue, std::size_t capacity) const {
  auto v = Get(section, key);
  std::string_view text = v ? std::string_view(*v) : defaultValue;
  if (capacity == 0) return {};
  return std::string(CutToBytes(text, capacity - 1));
}

std::int32_t ProfileFile::ParseProfileInt(std::string_view text) {
  text = TrimAsciiSpace(text);
  if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
    bool negative = text.front() == '-';
    text.remove_prefix(1);
    if (negative) return 0;
  }
  // The profile reader gives an unsigned 32-bit value (digits beyond it wrap)
  // which the settings store in signed 32-bit fields: 2147483648 reads as
  // -2147483648, 4294967295 as -1, 4294967296 as 0.
  std::uint32_t value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') break;
    value = value * 10 + static_cast<std::uint32_t>(c - '0');
  }
  return static_cast<std::int32_t>(value);
}

std::int32_t ProfileFile::GetInt(std::string_view section, std::string_view key,
                                 std::int32_t defaultValue) const {
  auto v = Get(section, key);
  return v ? ParseProfileInt(*v) : defaultValue;
}

// The value as written in a key line so that Get reads it back unchanged: a
// line break ends it (it cannot be kept in a line and must not add lines),
// and a value that reading would change (blanks at either end, or enclosing
// quotes of its own) is put between double quotes.
std::string ProfileFile::QuoteValue(std::string_view value) {
  value = value.substr(0, value.find('\n'));
  const bool blankEnds = !value.empty() && TrimAsciiSpace(value).size() != value.size();
  if (blankEnds || Unquote(value).size() != value.size()) return "\"" + std::string(value) + "\"";
  return std::string(value);
}

void ProfileFile::Set(std::string_view section, std::string_view key, std::string_view value) {
  std::string entry = std::string(TrimAsciiSpace(key)) + "=" + QuoteValue(value);
  auto r = FindSection(section);
  if (!r) {
    if (!lines_.empty() && lines_.back().empty()) lines_.pop_back();
    std::string header(1, '[');
    header.append(TrimAsciiSpace(section));
    header.push_back(']');
    lines_.push_back(std::move(header));
    lines_.push_back(entry);
    return;
  }
  if (auto i = FindKey(*r, key)) {
    lines_[*i] = entry;
    return;
  }
  // After the last non-blank line of the section.
  std::size_t at = r->end;
  while (at > r->header + 1 && TrimAsciiSpace(lines_[at - 1]).empty()) --at;
  lines_.insert(lines_.begin() + static_cast<std::ptrdiff_t>(at), entry);
}

std::string ProfileFile::Serialize() const {
  std::string out = bom_ ? std::string(kUtf8Bom) : std::string();
  for (const auto& line : lines_) {
    out += line;
    out += eol_;
  }
  return out;
}

}  // namespace evdo
