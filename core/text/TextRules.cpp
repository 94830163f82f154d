#include "core/text/TextRules.h"

#include <algorithm>

namespace evdo {

std::string_view TrimAsciiSpace(std::string_view text) {
  while (!text.empty() && IsAsciiSpace(text.front())) text.remove_prefix(1);
  while (!text.empty() && IsAsciiSpace(text.back())) text.remove_suffix(1);
  return text;
}

bool IsEmptyOrAsciiSpace(std::string_view text) { return std::all_of(text.begin(), text.end(), IsAsciiSpace); }

bool AllDecimalDigits(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDecimalDigit);
}

std::string LowerHex(const std::uint8_t* bytes, std::size_t size) {
  std::string out;
  out.reserve(2 * size);
  for (std::size_t i = 0; i < size; ++i) {
    out += LowerHexDigit(bytes[i] >> 4);
    out += LowerHexDigit(bytes[i]);
  }
  return out;
}

std::string ToLowerAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToLowerAscii(c);
  return out;
}

std::string ToUpperAscii(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = ToUpperAscii(c);
  return out;
}

bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b) {
  return a.size() == b.size() &&
         std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) { return ToLowerAscii(x) == ToLowerAscii(y); });
}

bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
  return text.size() >= prefix.size() && EqualIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}

bool IsDialString(std::string_view text) {
  return !text.empty() && std::all_of(text.begin(), text.end(), IsDialCharacter);
}

}  // namespace evdo
