#include "sms/ModemAnswer.h"

#include "core/text/TextRules.h"

#include <algorithm>
#include <array>

#include "core/text/FixedText.h"
#include "sms/SmsCodec.h"

namespace evdo::sms {
namespace {

constexpr std::uint32_t kNumberCeiling = 1000000;  // larger values saturate here


// The value of the leading digits; false when the text does not start with one.
bool LeadingNumber(std::string_view text, std::uint32_t& value) {
  value = 0;
  std::size_t i = 0;
  for (; i < text.size() && IsDecimalDigit(text[i]); ++i)
    value = std::min(kNumberCeiling, value * 10 + static_cast<std::uint32_t>(text[i] - '0'));
  return i > 0;
}

// Exactly three numbers separated by sep, each starting with a digit.
bool ThreeNumbers(std::string_view text, char sep, std::array<std::uint32_t, 3>& out) {
  for (int i = 0; i < 3; ++i) {
    const std::size_t end = text.find(sep);
    const bool last = i == 2;
    if (last != (end == std::string_view::npos)) return false;
    if (!LeadingNumber(text.substr(0, end), out[i])) return false;
    if (!last) text.remove_prefix(end + 1);
  }
  return true;
}

std::string_view TrimLineEnd(std::string_view line) {
  line = BeforeNul(line);
  while (!line.empty() && (line.back() == '\r' || line.back() == '\n')) line.remove_suffix(1);
  return line;
}

// The quoted fields of the header, in order (at most five). A field runs
// from its opening quote to the first comma outside quotes after it; the
// opening quote and a closing quote are stripped.
struct QuotedFields {
  std::array<std::string_view, kMaxAnswerFields> field;
  int count = 0;
  std::string_view Get(int n) const { return n >= 1 && n <= count ? field[n - 1] : std::string_view(); }
};

QuotedFields SplitQuotedFields(std::string_view line) {
  QuotedFields f;
  std::array<std::size_t, kMaxAnswerFields> start{}, end{};
  int open = 0;  // fields whose end is not yet known: count - open .. count - 1
  bool inside = false;
  for (std::size_t i = 0; i < line.size(); ++i) {
    if (line[i] == '"') {
      if (!inside && f.count < kMaxAnswerFields) {
        start[f.count++] = i;
        ++open;
      }
      inside = !inside;
    } else if (line[i] == ',' && !inside) {
      for (; open > 0; --open) end[f.count - open] = i;
    }
  }
  for (; open > 0; --open) end[f.count - open] = line.size();
  for (int k = 0; k < f.count; ++k) {
    std::string_view v = line.substr(start[k] + 1, end[k] - start[k] - 1);
    if (!v.empty() && v.back() == '"') v.remove_suffix(1);
    f.field[k] = v;
  }
  return f;
}

bool FilterAccepts(int filter, int status) {
  switch (filter) {
    case ReceivedOnly: return status == RecUnread || status == RecRead;
    case StoredOnly: return status == StoUnsent || status == StoSent;
    case AnyStatus: return true;
    default: return false;
  }
}

}  // namespace

bool ParseModemTime(std::string_view stamp, DateTime& out) {
  stamp = BeforeNul(stamp.substr(0, kMaxStampLength));
  const std::size_t comma = stamp.find_first_of(",+");
  if (comma == std::string_view::npos || stamp[comma] == '+' || comma + 1 == stamp.size()) return false;
  std::array<std::uint32_t, 3> date{}, time{};
  if (!ThreeNumbers(stamp.substr(0, comma), '/', date) || !ThreeNumbers(stamp.substr(comma + 1), ':', time))
    return false;
  const std::uint32_t month = date[1], day = date[2], hour = time[0], minute = time[1], second = time[2];
  if (month < 1 || month > 12 || day < 1 || day > 31 || hour > 23 || minute > 59 || second > 59) return false;
  out = DateTime::FromLocal(static_cast<int>(date[0] + 2000), static_cast<int>(month), static_cast<int>(day),
                            static_cast<int>(hour), static_cast<int>(minute), static_cast<int>(second));
  return true;
}

bool ParsePartInfo(std::string_view text, std::uint16_t& reference, std::uint8_t& seq, std::uint8_t& total) {
  reference = 0, seq = 0, total = 0;
  const std::size_t first = text.find('/');
  if (first == std::string_view::npos) return false;
  const std::size_t second = text.find('/', first + 1);
  if (second == std::string_view::npos) return false;
  const std::string_view seqField = text.substr(first + 1, second - first - 1);
  const std::string_view totalField = text.substr(second + 1);
  if (seqField.empty() || totalField.empty()) return false;
  std::uint32_t r = 0, s = 0, t = 0;
  LeadingNumber(text.substr(0, first), r);
  LeadingNumber(seqField, s);
  LeadingNumber(totalField, t);
  if (s == 0 || t == 0 || t < s || r > 0xFFFF || t > 0xFF) return false;
  reference = static_cast<std::uint16_t>(r);
  seq = static_cast<std::uint8_t>(s);
  total = static_cast<std::uint8_t>(t);
  return true;
}

bool ParseQcmgrAnswer(std::span<const std::string> lines, SmsRecord& out, int filter) {
  out = ZeroSmsRecord();
  if (lines.empty()) return false;
  std::string_view header = TrimLineEnd(lines[0]);
  const std::string_view prefix = kQcmgrPrefix;
  if (!header.starts_with(prefix)) return false;
  header.remove_prefix(prefix.size());
  const QuotedFields f = SplitQuotedFields(header);

  const int status = StatusIndex(f.Get(1));
  if (status == UnknownStatus || !FilterAccepts(filter, status)) return false;
  out.status = status;
  SetFullFieldText(out.number, f.Get(2));

  const bool received = status == RecUnread || status == RecRead;
  DateTime time;
  const std::string_view stamp = received ? f.Get(3) : std::string_view();
  out.time.Set(!stamp.empty() && ParseModemTime(stamp, time) ? time : DateTime::Now());
  SetFullFieldText(out.serviceCentre, f.Get(received ? 4 : 3));

  const std::string_view partInfo = f.Get(received ? 5 : 4);
  if (!partInfo.empty() && ParsePartInfo(partInfo, out.reference, out.partIndex, out.partCount))
    out.flags |= kSmsFlagPartInfo;

  if (lines.size() == 3) {
    const std::string text = DecodeUcs2Hex(TrimLineEnd(lines[1]));
    SetFieldText(out.text, CutToBytes(text, BytesForChars(kReceivedTextChars)));
  }
  return true;
}

bool ParseDirectNotice(std::span<const std::string> lines, const DateTime& now, SmsRecord& out) {
  out = ZeroSmsRecord();
  if (lines.empty()) return false;
  std::string_view header = TrimLineEnd(lines[0]);
  constexpr std::string_view prefix = "+CMT: ";
  if (!header.starts_with(prefix)) return false;
  header.remove_prefix(prefix.size());
  const QuotedFields f = SplitQuotedFields(header);
  out.status = RecUnread;
  SetFullFieldText(out.number, f.Get(1));
  DateTime time;
  const std::string_view stamp = f.Get(2);
  out.time.Set(!stamp.empty() && ParseModemTime(stamp, time) ? time : now);
  SetFullFieldText(out.serviceCentre, f.Get(3));
  const std::string_view partInfo = f.Get(4);
  if (!partInfo.empty() && ParsePartInfo(partInfo, out.reference, out.partIndex, out.partCount))
    out.flags |= kSmsFlagPartInfo;
  if (lines.size() == 2) {
    const std::string text = DecodeUcs2Hex(TrimLineEnd(lines[1]));
    SetFieldText(out.text, CutToBytes(text, 320));
  }
  return true;
}

}  // namespace evdo::sms
