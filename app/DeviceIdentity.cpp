#include "app/DeviceIdentity.h"

#include <algorithm>

namespace evdo {
namespace {

bool AllDigits(std::string_view text) {
  return !text.empty() &&
         std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; });
}

std::string_view Trim(std::string_view text) {
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '"' || c == '\r' || c == '\n'; };
  while (!text.empty() && blank(text.front())) text.remove_prefix(1);
  while (!text.empty() && blank(text.back())) text.remove_suffix(1);
  return text;
}

}  // namespace

int LuhnCheckDigit(std::string_view digits) {
  if (!AllDigits(digits)) return -1;
  // Doubling starts with the rightmost digit, as the check digit will follow it.
  int sum = 0;
  bool doubled = true;
  for (auto it = digits.rbegin(); it != digits.rend(); ++it) {
    int d = *it - '0';
    if (doubled) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
    sum += d;
    doubled = !doubled;
  }
  return (10 - sum % 10) % 10;
}

std::string CompleteIdentity(std::string_view identity) {
  std::string_view cut = identity.substr(0, std::min(identity.size(), kIdentityDigits));
  if (cut.size() != kIdentityDigits || !AllDigits(cut)) return std::string(identity);
  return std::string(cut) + static_cast<char>('0' + LuhnCheckDigit(cut));
}

std::string AnswerValue(std::string_view line, std::string_view prefix) {
  std::string_view text = Trim(line);
  if (text.substr(0, prefix.size()) == prefix) text.remove_prefix(prefix.size());
  // A stray line break inside the line (kept by the dispatcher) would break
  // the text shown in two.
  std::string value(Trim(text));
  std::replace_if(value.begin(), value.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
  return value;
}

}  // namespace evdo
