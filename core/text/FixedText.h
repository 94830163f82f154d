#pragma once
// Fixed-width text fields of the raw records: a NUL ends the text inside the
// field, and a completely full field has no terminator.
#include <cstddef>
#include <cstring>
#include <string>
#include <string_view>

#include "core/text/CodePage.h"

namespace evdo {

// The text held by a field of width n, bounded by the width.
inline std::string_view FieldText(const char* field, std::size_t n) {
  const void* nul = std::memchr(field, '\0', n);
  return std::string_view(field, nul ? static_cast<const char*>(nul) - field : n);
}
template <std::size_t N>
std::string_view FieldText(const char (&field)[N]) {
  return FieldText(field, N);
}

// Zero-fills the field and copies text into it, keeping room for the
// terminator (at most n - 1 bytes). A double-byte character is never split.
// Returns false when the text had to be cut.
inline bool SetFieldText(char* field, std::size_t n, std::string_view text) {
  std::memset(field, 0, n);
  std::string_view fit = CutToBytes(text, n - 1);
  if (!fit.empty()) std::memcpy(field, fit.data(), fit.size());  // an empty view may hold no pointer
  return fit.size() == text.size();
}
template <std::size_t N>
bool SetFieldText(char (&field)[N], std::string_view text) {
  return SetFieldText(field, N, text);
}

// Like SetFieldText but the text may fill the whole field, with no terminator.
inline bool SetFullFieldText(char* field, std::size_t n, std::string_view text) {
  std::memset(field, 0, n);
  std::string_view fit = CutToBytes(text, n);
  if (!fit.empty()) std::memcpy(field, fit.data(), fit.size());  // an empty view may hold no pointer
  return fit.size() == text.size();
}
template <std::size_t N>
bool SetFullFieldText(char (&field)[N], std::string_view text) {
  return SetFullFieldText(field, N, text);
}

}  // namespace evdo
