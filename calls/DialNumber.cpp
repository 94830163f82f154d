#include "calls/DialNumber.h"

namespace evdo {

bool IsDialCharacter(char c) { return (c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+'; }

DialCheck CheckDialNumber(std::string_view number) {
  if (number.empty()) return DialCheck::Empty;
  for (char c : number)
    if (!IsDialCharacter(c)) return DialCheck::BadCharacter;
  if (number.size() > kNumberFieldMax) return DialCheck::TooLong;
  return DialCheck::Ok;
}

bool IsAcceptableFieldText(std::string_view text, bool inCall) {
  for (char c : text)
    if (!IsDialCharacter(c)) return false;
  return inCall || text.size() <= kNumberFieldMax;
}

std::string NumberFromTelLink(std::string_view link) {
  constexpr std::string_view kScheme = "tel:";
  if (link.size() >= kScheme.size()) {
    bool scheme = true;
    for (std::size_t i = 0; i < kScheme.size(); ++i)
      if ((link[i] | 0x20) != kScheme[i] && link[i] != kScheme[i]) scheme = false;
    if (scheme) link.remove_prefix(kScheme.size());
  }
  if (std::size_t cut = link.find(';'); cut != std::string_view::npos) link = link.substr(0, cut);
  std::string out;
  for (std::size_t i = 0; i < link.size(); ++i) {
    char c = link[i];
    if (c == '%' && link.substr(i, 3) == "%20") {
      i += 2;
      continue;
    }
    if (c == '%' && (link.substr(i, 3) == "%23")) {  // an escaped '#'
      out += '#';
      i += 2;
      continue;
    }
    if (c == '-' || c == '.' || c == ' ' || c == '(' || c == ')') continue;
    out += c;
  }
  return out;
}

std::optional<std::string> NumberFromCallerLine(std::string_view line) {
  constexpr std::string_view kPrefix = "+CLIP: ";
  if (line.substr(0, kPrefix.size()) != kPrefix) return std::nullopt;
  line.remove_prefix(kPrefix.size());
  std::string_view number = line;
  if (!line.empty() && line.front() == '"') {
    std::size_t end = line.find('"', 1);
    if (end == std::string_view::npos) return std::nullopt;
    number = line.substr(1, end - 1);
  } else if (std::size_t comma = line.find(','); comma != std::string_view::npos) {
    number = line.substr(0, comma);
  }
  if (CheckDialNumber(number) != DialCheck::Ok) return std::nullopt;
  return std::string(number);
}

}  // namespace evdo
