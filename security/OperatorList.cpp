#include "security/OperatorList.h"

#include <cctype>
#include <cstring>

#include "security/SecurityIds.h"

namespace evdo {

namespace {

constexpr int kPreferenceCount = 4;

bool IsControl(unsigned char c) { return c < 0x20 || c == 0x7F; }

void SkipBlanks(std::string_view text, std::size_t& at) {
  while (at < text.size() && (text[at] == ' ' || text[at] == '\t')) ++at;
}

bool Expect(std::string_view text, std::size_t& at, char c) {
  SkipBlanks(text, at);
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

// A quoted text: its content with control characters dropped. False when
// there is no closing quote.
bool ReadQuoted(std::string_view text, std::size_t& at, std::string& out) {
  if (!Expect(text, at, '"')) return false;
  std::size_t end = text.find('"', at);
  if (end == std::string_view::npos) return false;
  out.clear();
  for (std::size_t i = at; i < end; ++i) {
    if (!IsControl(static_cast<unsigned char>(text[i]))) out += text[i];
  }
  at = end + 1;
  return true;
}

bool ReadDigits(std::string_view text, std::size_t& at, std::int32_t& out, std::size_t maxDigits) {
  SkipBlanks(text, at);
  std::size_t start = at;
  std::int64_t value = 0;
  while (at < text.size() && text[at] >= '0' && text[at] <= '9') {
    if (at - start >= maxDigits) return false;
    value = value * 10 + (text[at] - '0');
    ++at;
  }
  if (at == start) return false;
  out = static_cast<std::int32_t>(value);
  return true;
}

// One entry's text between "(" and ")".
bool ParseEntry(std::string_view text, NetworkEntry& entry) {
  std::size_t at = 0;
  std::int32_t state = 0;
  if (!ReadDigits(text, at, state, 1) || state > 3) return false;
  std::string longName;
  std::string shortName;
  if (!Expect(text, at, ',') || !ReadQuoted(text, at, longName)) return false;
  if (!Expect(text, at, ',') || !ReadQuoted(text, at, shortName)) return false;
  if (longName.size() >= kLongNameSize || shortName.size() >= kShortNameSize) return false;
  if (shortName.empty()) return false;
  if (!Expect(text, at, ',')) return false;
  std::int32_t numeric = 0;
  std::string numericText;
  SkipBlanks(text, at);
  if (at < text.size() && text[at] == '"') {
    if (!ReadQuoted(text, at, numericText)) return false;
    std::size_t n = 0;
    if (!ReadDigits(numericText, n, numeric, 9)) return false;
    SkipBlanks(numericText, n);
    if (n != numericText.size()) return false;
  } else if (!ReadDigits(text, at, numeric, 9)) {
    return false;
  }
  std::int32_t technology = -1;
  SkipBlanks(text, at);
  if (at < text.size()) {
    if (!Expect(text, at, ',') || !ReadDigits(text, at, technology, 1)) return false;
    SkipBlanks(text, at);
    if (at != text.size()) return false;
  }
  entry = NetworkEntry{};
  entry.operatorState = state;
  std::memcpy(entry.longName, longName.data(), longName.size());
  std::memcpy(entry.shortName, shortName.data(), shortName.size());
  entry.numericCode = numeric;
  entry.accessTechnology = technology;
  return true;
}

}  // namespace

bool IsSearchError(std::string_view line0) {
  constexpr std::string_view kError = "+CME ERROR:";
  if (line0.size() < kError.size()) return false;
  for (std::size_t i = 0; i < kError.size(); ++i) {
    if (std::toupper(static_cast<unsigned char>(line0[i])) != kError[i]) return false;
  }
  return true;
}

bool ExtractOperatorListText(std::string_view line0, std::string_view& listText) {
  listText = {};
  std::size_t open = line0.find('(');
  if (open == std::string_view::npos) return false;
  bool quoted = false;
  for (std::size_t i = open; i + 1 < line0.size(); ++i) {
    if (line0[i] == '"') quoted = !quoted;
    if (!quoted && line0[i] == ',' && line0[i + 1] == ',') {
      listText = line0.substr(open, i - open);
      return true;
    }
  }
  // A stray quote in a broken entry: the first ",," then.
  std::size_t end = line0.find(",,", open);
  if (end == std::string_view::npos) return false;
  listText = line0.substr(open, end - open);
  return true;
}

OperatorList ParseOperatorList(std::string_view listText) {
  OperatorList list;
  std::size_t at = 0;
  while (at < listText.size()) {
    std::size_t open = listText.find('(', at);
    if (open == std::string_view::npos) break;
    // The entry ends at the first ")" outside quotes.
    bool quoted = false;
    std::size_t close = std::string_view::npos;
    for (std::size_t i = open + 1; i < listText.size(); ++i) {
      if (listText[i] == '"') quoted = !quoted;
      if (!quoted && listText[i] == ')') {
        close = i;
        break;
      }
      if (!quoted && listText[i] == '(') break;  // a new entry before this one ended
    }
    NetworkEntry entry;
    if (close != std::string_view::npos && list.count < kMaxOperators &&
        ParseEntry(listText.substr(open + 1, close - open - 1), entry)) {
      list.entries[list.count++] = entry;
      at = close + 1;
      continue;
    }
    // A broken entry (a stray quote, a missing field) or no room: skip to
    // where the next entry plainly starts.
    ++list.skipped;
    std::size_t next = listText.find("),(", open + 1);
    if (next == std::string_view::npos) break;
    at = next + 2;
  }
  return list;
}

OperatorList ParseSearchAnswer(std::string_view line0) {
  std::string_view listText;
  if (!ExtractOperatorListText(line0, listText)) return {};
  return ParseOperatorList(listText);
}

bool IsCommandSafeName(std::string_view name, std::size_t maxBytes) {
  if (name.empty() || name.size() > maxBytes) return false;
  for (char c : name) {
    if (c == '"' || IsControl(static_cast<unsigned char>(c))) return false;
  }
  return true;
}

std::string ManualRegistrationCommand(std::string_view shortName) {
  if (!IsCommandSafeName(shortName, kShortNameSize - 1)) return {};
  return std::string(kCmdManualRegistrationPrefix) + std::string(shortName) + "\"\r";
}

std::string PreferenceCommand(int index) {
  if (index < 0 || index >= kPreferenceCount) return {};
  return std::string(kCmdPreferencePrefix) + std::to_string(index + 1) + "\r";
}

}  // namespace evdo
