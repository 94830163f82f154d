#pragma once
// Test parameter values as printable one-line text.
#include <string>
#include <string_view>

namespace evdo::test {

inline std::string Escaped(std::string_view text) {
  std::string out;
  for (char c : text) {
    if (c == '\n') out += "\\n";
    else if (c == '\r') out += "\\r";
    else if (c == '\t') out += "\\t";
    else out += c;
  }
  return out;
}

}  // namespace evdo::test
