#pragma once
// Colours of a skin's "Colours" section.
#include <cstdint>
#include <optional>
#include <string_view>

namespace evdo {

struct SkinRgb {
  std::uint8_t red = 0;
  std::uint8_t green = 0;
  std::uint8_t blue = 0;
  friend bool operator==(const SkinRgb&, const SkinRgb&) = default;
};

// A colour of the theme; nullopt stands for the platform's own colour.
using SkinColour = std::optional<SkinRgb>;

class SkinColourValue {
public:
  // Three decimal numbers separated by blanks, tabs or line breaks, read as
  // red, green and blue. Each keeps its low byte; reading stops at the first
  // text that is not a number, and every missing number counts as 0.
  // nullopt when the value is empty.
  static std::optional<SkinRgb> Parse(std::string_view value);
};

}  // namespace evdo
