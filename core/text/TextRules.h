#pragma once
// Small rules about characters and texts, shared by every layer: blanks,
// trimming, ASCII case, decimal and hexadecimal digits and the characters of
// a dialled number. Bytes above 0x7F (code page text) are never blanks,
// digits or letters here, so a double-byte character is never cut or folded.
#include <cstdint>
#include <string>
#include <string_view>

namespace evdo {

// The six blanks of the C locale: space, tab, CR, LF, vertical tab, form feed.
constexpr bool IsAsciiSpace(char c) {
  return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}
constexpr bool IsSpaceOrTab(char c) { return c == ' ' || c == '\t'; }
// text without its leading and trailing ASCII spaces.
std::string_view TrimAsciiSpace(std::string_view text);
// True for "" and for a text of ASCII spaces only.
bool IsEmptyOrAsciiSpace(std::string_view text);

constexpr bool IsDecimalDigit(char c) { return c >= '0' && c <= '9'; }
// True when text is not empty and every character is '0'..'9'.
bool AllDecimalDigits(std::string_view text);

// 0..15 for '0'..'9', 'a'..'f', 'A'..'F'; -1 for any other character.
constexpr int HexDigitValue(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}
// The digit of a value 0..15.
constexpr char UpperHexDigit(unsigned value) { return "0123456789ABCDEF"[value & 0xF]; }
constexpr char LowerHexDigit(unsigned value) { return "0123456789abcdef"[value & 0xF]; }
// Two lower-case digits per byte.
std::string LowerHex(const std::uint8_t* bytes, std::size_t size);

// ASCII letters only change case; other bytes stay as they are.
constexpr char ToLowerAscii(char c) { return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c; }
constexpr char ToUpperAscii(char c) { return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c; }
std::string ToLowerAscii(std::string_view text);
std::string ToUpperAscii(std::string_view text);
// Equal when the texts differ only in the case of ASCII letters.
bool EqualIgnoringAsciiCase(std::string_view a, std::string_view b);
bool StartsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// The characters of a dialled number: '0'..'9', '*', '#' and '+'.
constexpr bool IsDialCharacter(char c) { return IsDecimalDigit(c) || c == '*' || c == '#' || c == '+'; }
// True when text is not empty and made of dial characters only.
bool IsDialString(std::string_view text);

}  // namespace evdo
