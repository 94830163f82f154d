#include "security/PinCode.h"

namespace evdo {

namespace {

bool IsDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

bool IsPinCode(std::string_view text) {
  return text.size() >= kPinMinDigits && IsPinInput(text);
}

bool IsPinInput(std::string_view text) {
  if (text.size() > kPinMaxDigits) return false;
  for (char c : text) {
    if (!IsDigit(c)) return false;
  }
  return true;
}

std::string PinFromPaste(std::string_view text) {
  std::string digits;
  for (char c : text) {
    if (IsDigit(c)) {
      digits += c;
    } else if (c != ' ' && c != '-' && c != '\t' && c != '\r' && c != '\n') {
      return {};
    }
  }
  if (digits.size() > kPinMaxDigits) return {};
  return digits;
}

}  // namespace evdo
