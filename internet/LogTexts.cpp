#include "internet/LogTexts.h"

#include <cstdint>
#include <cstdio>

namespace evdo {
namespace {

constexpr std::uint64_t kMegabyte = 1048576;

std::string Printf(const char* format, double value) {
  char buf[64];
  std::snprintf(buf, sizeof buf, format, value);
  return buf;
}

// The leading decimal number of text, as atoi reads it (0 when none).
std::int64_t LeadingNumber(std::string_view text) {
  std::size_t i = 0;
  while (i < text.size() && (text[i] == ' ' || text[i] == '\t')) ++i;
  bool negative = false;
  if (i < text.size() && (text[i] == '-' || text[i] == '+')) negative = text[i++] == '-';
  std::int64_t v = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9' && v < (std::int64_t{1} << 40); ++i)
    v = v * 10 + (text[i] - '0');
  return negative ? -v : v;
}

std::int32_t Clamp32(std::int64_t v) {
  if (v > INT32_MAX) return INT32_MAX;
  if (v < INT32_MIN) return INT32_MIN;
  return static_cast<std::int32_t>(v);
}

}  // namespace

std::string KilobytesText(std::uint64_t bytes) { return Printf("%.2f", bytes / 1024.0); }

LogRowTexts LogRowTextsOf(const LogRecord& r) {
  return {r.start.Format(kLogStartFormat), TimeSpan(r.duration).Format(kLogDurationFormat), KilobytesText(r.received),
          KilobytesText(r.sent)};
}

LogTotalTexts LogTotalTextsOf(const CLogData& log) {
  std::uint64_t received = 0, sent = 0;
  for (int i = 0; i < log.Count(); ++i) {
    received += log.At(i).received;
    sent += log.At(i).sent;
  }
  return {KilobytesText(received), KilobytesText(sent)};
}

std::array<std::string, 4> LogExportFields(const LogRecord& r) {
  return {r.start.Format(kLogStartFormat), TimeSpan(r.duration).Format(kLogDurationFormat), std::to_string(r.received),
          std::to_string(r.sent)};
}

MonthRowTexts MonthRowTextsOf(const MonthRecord& r) {
  MonthRowTexts t;
  if (auto m = r.month.ToLocal()) t.month = std::to_string(m->year) + "-" + std::to_string(m->month);
  t.received = Printf("%.2f Kbytes", r.received / 1024.0);
  t.sent = Printf("%.2f Kbytes", r.sent / 1024.0);
  t.duration = TimeSpan(r.duration).Format(kLogDurationFormat);
  t.total = r.total >= kMegabyte ? Printf("%.2f Mbytes", double(r.total) / kMegabyte)
                                 : Printf("%.2f Kbytes", r.total / 1024.0);
  return t;
}

std::int32_t MinutesFromDurationText(std::string_view text) {
  auto field = [&](std::size_t at) { return LeadingNumber(text.substr(at, 2)); };
  if (text.size() == 8) return Clamp32(field(0) * 60 + field(3));
  if (text.size() == 11) return Clamp32(field(0) * 1440 + field(3) * 60 + field(6));
  return 0;
}

std::int32_t KilobytesFromText(std::string_view text) { return Clamp32(LeadingNumber(text)); }

std::int64_t DurationFromMilliseconds(std::uint32_t ms) {
  const std::int64_t days = ms / 86400000, hours = ms / 3600000 % 24, minutes = ms / 60000 % 60,
                     seconds = ms / 1000 % 60;
  return ((days * 24 + hours) * 60 + minutes) * 60 + seconds;
}

}  // namespace evdo
