#include "device/status/StatusAnswers.h"

#include "core/text/TextRules.h"

#include <algorithm>
#include <climits>

#include "device/status/PinStatus.h"

namespace evdo {

namespace {

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

std::string_view TrimBlanks(std::string_view text) {
  while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
  return text;
}

std::string_view UpToComma(std::string_view text) {
  return text.substr(0, text.find(','));
}

bool Contains(std::string_view line, std::string_view what) {
  return line.find(what) != std::string_view::npos;
}

}  // namespace

int ReadNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && IsBlank(text[i])) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
  long long value = 0;
  for (; i < text.size() && IsDecimalDigit(text[i]); ++i) {
    value = std::min<long long>(value * 10 + (text[i] - '0'), 1LL + INT_MAX);
  }
  if (negative) value = -value;
  return static_cast<int>(std::clamp<long long>(value, INT_MIN, INT_MAX));
}

bool StartsWith(std::string_view line, std::string_view prefix) {
  return line.substr(0, prefix.size()) == prefix;
}

std::optional<int> NumberAfter(std::string_view line, std::string_view prefix) {
  if (!StartsWith(line, prefix)) return std::nullopt;
  return ReadNumber(line.substr(prefix.size()));
}

std::optional<int> NumberAfterUpToComma(std::string_view line, std::string_view prefix) {
  if (!StartsWith(line, prefix)) return std::nullopt;
  return ReadNumber(UpToComma(line.substr(prefix.size())));
}

std::optional<ServiceAnswer> ReadServiceAnswer(std::string_view line0) {
  if (Contains(line0, "SIM PIN")) return ServiceAnswer{kSimStatePinRequired, kPinLockOn};
  if (Contains(line0, "SIM PUK")) return ServiceAnswer{kSimStatePukRequired, std::nullopt};
  if (Contains(line0, "1")) return ServiceAnswer{kSimStateReady, kPinLockOff};
  if (Contains(line0, "0")) return ServiceAnswer{kSimStateNoService, std::nullopt};
  if (Contains(line0, "5")) return ServiceAnswer{kSimStateUnusable, std::nullopt};
  return std::nullopt;
}

std::optional<int> ReadSignalField(std::string_view text) {
  std::string_view field = TrimBlanks(UpToComma(text));
  if (field.empty() || field.size() > kSignalFieldWidth || !IsDecimalDigit(field.front())) {
    return std::nullopt;
  }
  return ReadNumber(field);
}

int SignalLevelFromAnswer(std::string_view line0) {
  std::optional<int> n = ReadSignalField(line0);
  if (!n) return kNoSignalLevel;
  return std::min(*n / 6, kNoSignalLevel);
}

int SignalLevelFromRssi(std::string_view line) {
  std::size_t blank = line.find(' ');
  if (blank == std::string_view::npos) return kNoSignalLevel;
  std::optional<int> level = ReadSignalField(line.substr(blank + 1));
  if (!level) return kNoSignalLevel;
  return std::min(*level, kNoSignalLevel);
}

int ShownNetworkType(int value) {
  return value >= 0 && value <= kHighestNetworkType ? value : 0;
}

std::string QuotedTextAfter(std::string_view line, std::string_view prefix) {
  if (!StartsWith(line, prefix)) return {};
  std::string_view rest = line.substr(prefix.size());
  std::size_t open = rest.find('"');
  if (open == std::string_view::npos) return {};
  rest.remove_prefix(open + 1);
  return std::string(rest.substr(0, rest.find('"')));
}

std::string PlmnName(std::string_view line) {
  if (!StartsWith(line, kCurrentPlmnPrefix)) return {};
  std::string_view name = line.substr(kCurrentPlmnPrefix.size());
  if (!name.empty() && name.back() == '"') name.remove_suffix(1);
  if (!name.empty() && name.front() == '"') name.remove_prefix(1);
  return std::string(name);
}

std::string ServiceCentreNumber(std::string_view line0) {
  return QuotedTextAfter(line0, kServiceCentreAnswerPrefix);
}

}  // namespace evdo
