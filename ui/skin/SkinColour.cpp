#include "ui/skin/SkinColour.h"

#include <array>

namespace evdo {
namespace {

bool IsSeparator(char c) {
  return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f';
}

// Reads one optionally signed decimal number at pos into lowByte. False
// (pos unchanged) when no digit follows.
bool ReadNumber(std::string_view text, std::size_t& pos, std::uint8_t& lowByte) {
  std::size_t at = pos;
  while (at < text.size() && IsSeparator(text[at])) ++at;
  bool negative = false;
  if (at < text.size() && (text[at] == '-' || text[at] == '+')) negative = text[at++] == '-';
  std::size_t digits = at;
  std::uint32_t value = 0;  // modulo 2^32 keeps the low byte exact
  while (at < text.size() && text[at] >= '0' && text[at] <= '9')
    value = value * 10u + static_cast<std::uint32_t>(text[at++] - '0');
  if (at == digits) return false;
  if (negative) value = 0u - value;
  lowByte = static_cast<std::uint8_t>(value & 0xFFu);
  pos = at;
  return true;
}

}  // namespace

std::optional<SkinRgb> SkinColourValue::Parse(std::string_view value) {
  if (value.empty()) return std::nullopt;
  std::array<std::uint8_t, 3> parts{};
  std::size_t pos = 0;
  for (auto& part : parts)
    if (!ReadNumber(value, pos, part)) break;
  return SkinRgb{parts[0], parts[1], parts[2]};
}

}  // namespace evdo
