#include "sms/SmsCommands.h"

#include <algorithm>
#include <cstdio>

#include "sms/MessageSplitter.h"
#include "sms/SmsCodec.h"

namespace evdo::sms {

namespace {

std::string_view TrimEnd(std::string_view line) {
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n' || line.back() == ' '))
    line.remove_suffix(1);
  return line;
}

bool LeadingInt(std::string_view text, int& out) {
  std::size_t i = 0;
  while (i < text.size() && text[i] == ' ') ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  if (i >= text.size() || text[i] < '0' || text[i] > '9') return false;
  long value = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    value = value * 10 + (text[i] - '0');
    if (value > 1000000) return false;
  }
  out = static_cast<int>(negative ? -value : value);
  return true;
}

}  // namespace

bool IsSendableNumber(std::string_view number) {
  if (number.empty() || number.size() > kMaxNumberChars) return false;
  for (char c : number)
    if (c == kBackspace || !IsDialChar(static_cast<unsigned char>(c))) return false;
  return true;
}

const char* NumberType(std::string_view number) {
  return !number.empty() && number.front() == '+' ? "145" : "129";
}

Recipients ParseRecipients(std::string_view field) {
  Recipients r;
  std::size_t pos = 0;
  while (pos <= field.size()) {
    std::size_t end = field.find(';', pos);
    if (end == std::string_view::npos) end = field.size();
    std::string_view number = field.substr(pos, end - pos);
    pos = end + 1;
    if (number.empty()) continue;
    if (number.size() > kMaxNumberChars) {
      r.tooLong = true;
      break;
    }
    if (r.numbers.size() == kMaxRecipients) {
      r.tooMany = true;
      break;
    }
    r.numbers.emplace_back(number);
  }
  return r;
}

FieldCheck CheckRecipientsField(std::string_view field) {
  for (char c : field)
    if (c == kBackspace || !IsRecipientChar(static_cast<unsigned char>(c))) return kRefuseBeep;
  Recipients r = ParseRecipients(field);
  if (r.tooLong) return kRefuseBeep;
  if (r.tooMany) return kRefuseTooMany;
  return kFieldAccepted;
}

std::size_t TextLimit(std::string_view text) {
  return IsGsm7Text(text) ? kMaxGsm7TextChars : kMaxUcs2TextChars;
}

bool IsTextWithinLimit(std::string_view text) { return CountChars(text) <= TextLimit(text); }

TextCounters CountText(std::string_view text) {
  TextCounters c;
  const bool gsm7 = IsGsm7Text(text);
  const std::size_t n = CountChars(text);
  const std::size_t limit = gsm7 ? kMaxGsm7TextChars : kMaxUcs2TextChars;
  const std::size_t single = gsm7 ? kGsm7SingleChars : kUcs2SingleChars;
  const std::size_t perPart = gsm7 ? kGsm7PartChars : kUcs2PartChars;
  char buffer[48];
  std::snprintf(buffer, sizeof buffer, "(%zu / %zu)", n, limit);
  c.count = buffer;
  std::size_t left;
  if (n <= single) {
    left = single - n;
  } else {
    left = n % perPart == 0 ? 0 : perPart - n % perPart;
    std::size_t parts = (n + perPart - 1) / perPart;
    std::snprintf(buffer, sizeof buffer, "%zu/%d", parts, kMaxPartsShown);
    c.part = buffer;
  }
  std::snprintf(buffer, sizeof buffer, "(%zu)", left);
  c.left = buffer;
  return c;
}

std::string SendParametersLine(bool isLong, bool gsm7, bool deliveryReport, std::uint8_t validity) {
  int fo = isLong ? 113 : 17;
  if (deliveryReport) fo |= 0x20;
  else fo &= ~0x20;
  char line[64];
  std::snprintf(line, sizeof line, "%.*s%d,%d,%d,%d\r", static_cast<int>(kCmdParameters.size()),
                kCmdParameters.data(), fo, validity, 0, gsm7 ? 0 : 8);
  return line;
}

std::string WriteParametersLine(std::int32_t status, bool asPart, bool gsm7) {
  char line[64];
  const int dcs = gsm7 ? 0 : 8;
  const int p = static_cast<int>(kCmdParameters.size());
  if (status == StoUnsent || status == StoSent) {
    std::snprintf(line, sizeof line, "%.*s%d,%d,%d,%d\r", p, kCmdParameters.data(), asPart ? 113 : 17,
                  kWriteValidityPeriod, 0, dcs);
  } else {
    std::snprintf(line, sizeof line, "%.*s%d,,%d,%d\r", p, kCmdParameters.data(), asPart ? 68 : 0, 0, dcs);
  }
  return line;
}

bool IsErrorAnswer(std::span<const std::string> lines) {
  if (lines.empty()) return false;
  std::string_view first = TrimEnd(lines[0]);
  return first == "ERROR" || first.starts_with(kAnsCmsError);
}

bool IsConfirmed(std::span<const std::string> lines, std::string_view prefix) {
  return lines.size() == 2 && std::string_view(lines[0]).starts_with(prefix) && TrimEnd(lines[1]) == "OK";
}

bool IsPrompt(std::span<const std::string> lines) {
  return lines.size() == 1 && std::string_view(lines[0]).starts_with(">");
}

bool ParseStoredNotice(std::string_view line, StoredNotice& out) {
  out = StoredNotice{};
  line = TrimEnd(line);
  if (!line.starts_with(kNoticeStored)) return false;
  line.remove_prefix(kNoticeStored.size());
  std::size_t comma = line.find(',');
  if (comma == std::string_view::npos) return false;
  std::string_view name = line.substr(0, std::min(comma, kMaxStorageNameChars));
  if (name.empty()) return false;
  if (!LeadingInt(line.substr(comma + 1), out.index)) return false;
  out.name = std::string(name);
  std::string_view bare = name.front() == '"' ? name.substr(1) : name;
  if (bare.starts_with("ME")) out.kind = StoredNotice::Me;
  else if (bare.starts_with("SM")) out.kind = StoredNotice::Sm;
  else if (bare.starts_with("ALL")) out.kind = StoredNotice::All;
  else return false;
  // The name goes into a command line as it came: only letters and quotes.
  for (char c : name)
    if (c != '"' && (c < 'A' || c > 'Z')) return false;
  return true;
}

bool ParseDeliveryReport(std::string_view line, DeliveryReport& out) {
  out = DeliveryReport{};
  line = TrimEnd(line);
  if (!line.starts_with(kNoticeReport)) return false;
  line.remove_prefix(kNoticeReport.size());
  std::size_t open = line.find('"');
  if (open == std::string_view::npos) return false;
  std::size_t close = line.find('"', open + 1);
  if (close == std::string_view::npos) return false;
  out.number = std::string(line.substr(open + 1, std::min(close - open - 1, kMaxReportNumberChars)));
  std::size_t comma = line.rfind(',');
  if (comma == std::string_view::npos || comma < close) return false;
  std::string_view status = line.substr(comma + 1);
  while (!status.empty() && status.front() == ' ') status.remove_prefix(1);
  out.status = std::string(status.substr(0, kMaxReportStatusChars));
  return !out.status.empty();
}

}  // namespace evdo::sms
