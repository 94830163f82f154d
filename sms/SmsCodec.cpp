#include "sms/SmsCodec.h"

#include <cstdio>
#include <algorithm>
#include <cstring>
#include <limits>

#include "core/text/TextRules.h"

namespace evdo::sms {
namespace {

constexpr const char* kStatusNames[] = {"REC UNREAD", "REC READ", "STO UNSENT", "STO SENT"};
constexpr int kStatusNameCount = 4;

// One group of four characters read as "%x" reads it: leading blanks, an
// optional sign and "0x" prefix, then hexadecimal digits up to the first
// other character. False when the group holds no digit there.
bool ReadHexGroup(std::string_view group, char16_t& unit) {
  std::size_t i = 0;
  while (i < group.size() && IsAsciiSpace(group[i])) ++i;
  bool negative = false;
  if (i < group.size() && (group[i] == '+' || group[i] == '-')) negative = group[i++] == '-';
  if (i + 2 < group.size() && group[i] == '0' && (group[i + 1] == 'x' || group[i + 1] == 'X') &&
      HexDigitValue(group[i + 2]) >= 0)
    i += 2;
  unsigned value = 0;
  std::size_t digits = 0;
  for (; i < group.size() && HexDigitValue(group[i]) >= 0; ++i, ++digits)
    value = value * 16 + static_cast<unsigned>(HexDigitValue(group[i]));
  if (digits == 0) return false;
  unit = static_cast<char16_t>(negative ? 0u - value : value);
  return true;
}

bool PartNumbersValid(unsigned seq, unsigned total) { return seq != 0 && total != 0 && seq <= total; }

}  // namespace

int StatusIndex(std::string_view name) {
  for (int i = 0; i < kStatusNameCount; ++i)
    if (name == kStatusNames[i]) return i;
  return UnknownStatus;
}

const char* StatusName(int status) {
  return status >= 0 && status < kStatusNameCount ? kStatusNames[status] : "";
}

bool IsGsm7Text(std::string_view text) {
  for (char16_t unit : ToUtf16(text))
    if (!IsGsm7Char(unit)) return false;
  return true;
}

std::uint16_t CountChars(std::string_view text) {
  const std::size_t n = evdo::CountChars(text);
  return static_cast<std::uint16_t>(std::min<std::size_t>(n, std::numeric_limits<std::uint16_t>::max()));
}

std::string EncodeUcs2Hex(std::string_view text) {
  const std::u16string units = ToUtf16(text);
  std::string hex;
  hex.reserve(units.size() * 4);
  for (char16_t u : units) {
    for (int shift = 12; shift >= 0; shift -= 4) hex += UpperHexDigit(u >> shift);
  }
  return hex;
}

std::string DecodeUcs2Hex(std::string_view hex) {
  std::u16string units;
  units.reserve(hex.size() / 4);
  for (std::size_t pos = 0; pos + 4 <= hex.size(); pos += 4) {
    char16_t unit;
    if (!ReadHexGroup(hex.substr(pos, 4), unit)) continue;
    units += unit == 0 ? static_cast<char16_t>(kDefaultChar) : unit;
  }
  return FromUtf16(units);
}

bool FormatPartLabel(unsigned seq, unsigned total, std::string& out) {
  if (!PartNumbersValid(seq, total)) return false;
  out = "(" + std::to_string(seq) + "/" + std::to_string(total) + ")";
  return true;
}

bool FormatConcatHeader(std::uint16_t reference, unsigned seq, unsigned total, std::string& out) {
  if (!PartNumbersValid(seq, total) || total > 0xFF) return false;
  char buf[40];  // room for any unsigned values, though they fit 14 digits
  if (reference < 256)
    std::snprintf(buf, sizeof buf, "050003%02X%02X%02X", unsigned{reference}, total, seq);
  else
    std::snprintf(buf, sizeof buf, "060804%04X%02X%02X", unsigned{reference}, total, seq);
  out = buf;
  return true;
}

bool CheckPartInfo(SmsRecord& record) {
  if (record.HasPartInfo() && record.partIndex != 0 && record.partCount != 0 &&
      record.partCount >= record.partIndex)
    return true;
  record.flags = static_cast<std::uint8_t>(record.flags & ~kSmsFlagPartInfo);
  record.reference = 0;
  record.partIndex = 0;
  record.partCount = 0;
  return false;
}

int ExtractNumbers(std::string_view text, NumberList& list) {
  std::memset(&list, 0, sizeof list);
  std::size_t runStart = 0, runLength = 0;
  auto endRun = [&] {
    if (runLength >= kMinNumberDigits && runLength <= kMaxNumberDigits && list.count < kMaxNumbers)
      std::memcpy(list.numbers[list.count++], text.data() + runStart, runLength);
    runLength = 0;
  };
  for (std::size_t pos = 0; pos < text.size() && list.count < kMaxNumbers;) {
    const char c = text[pos];
    if (IsDecimalDigit(c)) {
      if (runLength++ == 0) runStart = pos;
      ++pos;
      continue;
    }
    endRun();
    pos += CharLength(text, pos);
  }
  endRun();
  return list.count;
}

bool IsDialChar(int ch) {
  return ch == kBackspace || (ch >= 0 && ch <= 0x7F && IsDialCharacter(static_cast<char>(ch)));
}

bool IsRecipientChar(int ch) {
  return ch == kBackspace || ch == '+' || ch == ';' || (ch >= 0 && ch <= 0x7F && IsDecimalDigit(static_cast<char>(ch)));
}

std::size_t BytesForChars(std::size_t chars) {
  return chars * (SystemCodePage() == CodePage::Utf8 ? 4 : 2);
}

}  // namespace evdo::sms
