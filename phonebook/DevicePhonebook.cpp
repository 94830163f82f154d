#include "phonebook/DevicePhonebook.h"

#include <algorithm>
#include <cctype>
#include <cstring>

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "core/text/TextRules.h"
#include "sms/SmsCodec.h"

namespace evdo {
namespace {

constexpr std::size_t kMaxNumberBytes = kDeviceNumberWidth - 1;

// A decimal number of at most nine digits; false for anything else.
bool ParseLocation(std::string_view text, int& out) {
  if (text.empty() || text.size() > 9) return false;
  int value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  return true;
}

}  // namespace

std::string_view DeviceEntry::Name() const { return FieldText(name); }
std::string_view DeviceEntry::Number() const { return FieldText(number); }

void DeviceEntry::Set(std::int32_t location, std::string_view newName, std::string_view newNumber) {
  index = location;
  SetFieldText(name, sizeof name, CutToBytes(newName, sizeof name - 1));
  SetFieldText(number, sizeof number, newNumber.substr(0, std::min(newNumber.size(), sizeof number - 1)));
}

void DeviceBook::Reset(int total) {
  entries_.assign(static_cast<std::size_t>(std::clamp(total, 0, kMaxDeviceLocations)), DeviceEntry{});
}

int DeviceBook::FirstEmpty() const {
  for (int k = 0; k < Total(); ++k)
    if (At(k).Empty()) return k;
  return -1;
}

int DeviceBook::Used() const {
  return static_cast<int>(std::count_if(entries_.begin(), entries_.end(), [](const DeviceEntry& e) { return !e.Empty(); }));
}

const char* SelectCommand(PbMemory memory) { return memory == PbMemory::SM ? kCmdSelectSm : kCmdSelectMe; }
const char* MemoryName(PbMemory memory) { return memory == PbMemory::SM ? "SM" : "ME"; }

std::string ReadCommand(int location) { return kCmdReadPrefix + std::to_string(location) + "\r"; }

bool PbAnswer::Failed(const std::vector<std::string>& lines) {
  if (lines.empty()) return true;
  return std::any_of(lines.begin(), lines.end(), [](const std::string& l) { return EqualIgnoringAsciiCase(TrimAsciiSpace(l), "ERROR"); });
}

bool PbAnswer::EndsOk(const std::vector<std::string>& lines) {
  return !lines.empty() && EqualIgnoringAsciiCase(TrimAsciiSpace(lines.back()), "OK");
}

int PbAnswer::Capacity(std::string_view firstLine, bool* clipped) {
  const std::size_t comma = firstLine.rfind(',');
  std::string_view digits = TrimAsciiSpace(comma == std::string_view::npos ? firstLine : firstLine.substr(comma + 1));
  // As a decimal conversion reads it: leading digits, the rest ignored. The
  // value saturates instead of overflowing.
  long long total = 0;
  bool over = false;
  for (char c : digits) {
    if (c < '0' || c > '9') break;
    total = total * 10 + (c - '0');
    if (total > kMaxDeviceLocations) {
      over = true;
      total = kMaxDeviceLocations;
      break;
    }
  }
  if (clipped) *clipped = over;
  return static_cast<int>(total);
}

bool PbAnswer::Entry(std::string_view line, int total, std::string_view unnamed, DeviceEntry& out) {
  const std::size_t colon = line.find(':');
  if (colon == std::string_view::npos) return false;
  const std::size_t comma = line.find(',', colon + 1);
  if (comma == std::string_view::npos) return false;
  int location = 0;
  if (!ParseLocation(TrimAsciiSpace(line.substr(colon + 1, comma - colon - 1)), location)) return false;
  if (location < 1 || location > total) return false;

  std::string_view number;
  std::size_t numberEnd = comma;
  if (const std::size_t open = line.find('"', comma); open != std::string_view::npos) {
    const std::size_t close = line.find('"', open + 1);
    numberEnd = close == std::string_view::npos ? line.size() : close;
    number = TrimAsciiSpace(line.substr(open + 1, numberEnd - open - 1));
  }
  number = number.substr(0, std::min(number.size(), kMaxNumberBytes));

  // The name is the last quoted text of the line, after the number.
  std::string name;
  std::string_view body = TrimAsciiSpace(line);
  if (body.size() >= 2 && body.back() == '"') {
    body.remove_suffix(1);
    const std::size_t open = body.rfind('"');
    if (open != std::string_view::npos && open > numberEnd) {
      std::string_view hex = TrimAsciiSpace(body.substr(open + 1));
      if (!hex.empty()) name = sms::DecodeUcs2Hex(hex);
    }
  }
  if (name.empty()) name = std::string(unnamed);
  out.Set(location, name, number);
  return true;
}

std::string ShortenForDevice(std::string_view name) {
  std::string_view cut = CutToBytes(name, kDeviceNameBytes);
  std::size_t chars = 0, pos = 0, sixCharsEnd = 0;
  bool multiByte = false;
  while (pos < cut.size()) {
    const std::size_t length = CharLength(cut, pos);
    if (length > 1) multiByte = true;
    pos += length;
    if (++chars == kDeviceDoubleByteNameChars) sixCharsEnd = pos;
  }
  if (multiByte && chars > kDeviceDoubleByteNameChars) cut = cut.substr(0, sixCharsEnd);
  return std::string(cut);
}

WriteRefusal CheckDeviceNumber(std::string_view number) {
  if (number.empty()) return WriteRefusal::EmptyNumber;
  if (number.size() > kMaxNumberBytes) return WriteRefusal::NumberTooLong;
  for (std::size_t i = 0; i < number.size(); ++i) {
    const char c = number[i];
    const bool dial = (c >= '0' && c <= '9') || c == '*' || c == '#' || (c == '+' && i == 0);
    if (!dial) return WriteRefusal::NumberCharacters;
  }
  if (number == "+") return WriteRefusal::NumberCharacters;
  return WriteRefusal::None;
}

std::string BuildWriteCommand(int location, std::string_view number, std::string_view hexName,
                              WriteRefusal* refusal) {
  if (refusal) *refusal = WriteRefusal::None;
  std::string command = kCmdWritePrefix + std::to_string(location);
  if (number.empty()) return command + "\r";
  if (WriteRefusal r = CheckDeviceNumber(number); r != WriteRefusal::None) {
    if (refusal) *refusal = r;
    return {};
  }
  // The name travels as hexadecimal digits only; anything else is refused.
  const bool hexOnly = std::all_of(hexName.begin(), hexName.end(), [](char c) {
    return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F') || (c >= 'a' && c <= 'f');
  });
  if (!hexOnly || hexName.size() % 4 != 0 || hexName.size() > 4 * kDeviceNameBytes) {
    if (refusal) *refusal = WriteRefusal::NameNotEncoded;
    return {};
  }
  command += ",\"";
  command += number;
  command += "\"," + std::to_string(kDeviceNumberType) + ",\"";
  command += hexName;
  command += "\"\r";
  return command;
}

}  // namespace evdo
