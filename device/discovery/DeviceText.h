#pragma once
// How discovery compares device texts: property texts live in 256-byte
// buffers, descriptions and names lose their trailing blanks and are
// compared without regard to letter case. Only single-byte letters fold;
// the bytes of a double-byte character are compared as they are.
#include <cstddef>
#include <string>
#include <string_view>

namespace evdo {

// Capacity of a property buffer, terminator included.
inline constexpr std::size_t kPropertyBufferSize = 256;

// The property as a 256-byte buffer holds it: a text that does not fit
// cannot be read, and reads as empty.
std::string_view PropertyText(std::string_view property);

// text without trailing blanks (spaces, tabs, line ends).
std::string_view TrimTrailingBlanks(std::string_view text);

// text with its single-byte letters in lower case.
std::string LowerCase(std::string_view text);

// True when a and b are equal without regard to letter case.
bool EqualsIgnoringCase(std::string_view a, std::string_view b);

}  // namespace evdo
