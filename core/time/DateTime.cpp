#include "core/time/DateTime.h"

#include <cmath>
#include <cstdio>

namespace evdo {
namespace {

constexpr double kMinDate = -657434.0;   // 1 January 100
constexpr double kMaxDate = 2958465.99999;  // 31 December 9999

bool IsLeap(int y) { return (y % 4 == 0 && y % 100 != 0) || y % 400 == 0; }

int DaysInMonth(int y, int m) {
  static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return m == 2 && IsLeap(y) ? 29 : kDays[m - 1];
}

// Days from 1 January of year 1 (proleptic Gregorian) to the given date.
std::int64_t DaysFromCivil(int y, int m, int d) {
  y -= m <= 2;
  const std::int64_t era = (y >= 0 ? y : y - 399) / 400;
  const unsigned yoe = static_cast<unsigned>(y - era * 400);
  const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
  const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + static_cast<std::int64_t>(doe) - 719468;  // days since 1970-01-01
}

void CivilFromDays(std::int64_t z, int& y, int& m, int& d) {
  z += 719468;
  const std::int64_t era = (z >= 0 ? z : z - 146096) / 146097;
  const unsigned doe = static_cast<unsigned>(z - era * 146097);
  const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
  const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
  const unsigned mp = (5 * doy + 2) / 153;
  d = static_cast<int>(doy - (153 * mp + 2) / 5 + 1);
  m = static_cast<int>(mp < 10 ? mp + 3 : mp - 9);
  y = static_cast<int>(yoe + era * 400 + (m <= 2));
}

const std::int64_t kEpochOffset = DaysFromCivil(1899, 12, 30);  // in days since 1970

// The stored double is signed days with a fraction that is always the time
// of day, so 6:00 on 29 December 1899 is -1.25. Convert to a linear count.
double ToLinear(double v) {
  if (v >= 0) return v;
  const double whole = std::ceil(v);
  return whole + (whole - v);
}

double FromLinear(double linear) {
  if (linear >= 0) return linear;
  const double whole = std::floor(linear);
  return whole - (linear - whole);
}

}  // namespace

DateTime DateTime::FromLocal(int year, int month, int day, int hour, int minute, int second) {
  if (year < 100 || year > 9999 || month < 1 || month > 12 || day < 1 ||
      day > DaysInMonth(year, month) || hour < 0 || hour > 23 || minute < 0 || minute > 59 ||
      second < 0 || second > 59)
    return MakeInvalid();
  const std::int64_t days = DaysFromCivil(year, month, day) - kEpochOffset;
  const double frac = (hour * 3600 + minute * 60 + second) / 86400.0;
  return DateTime(FromLinear(static_cast<double>(days) + frac), Valid);
}

DateTime DateTime::FromLocal(const LocalTime& t) {
  return FromLocal(t.year, t.month, t.day, t.hour, t.minute, t.second);
}

DateTime DateTime::FromTimeT(std::time_t t) {
  std::tm tm{};
  if (!localtime_r(&t, &tm)) return MakeInvalid();
  return FromLocal(tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min,
                   tm.tm_sec);
}

DateTime DateTime::Now() { return FromTimeT(std::time(nullptr)); }

std::optional<LocalTime> DateTime::ToLocal() const {
  if (status_ != Valid || !std::isfinite(value_) || value_ < kMinDate || value_ > kMaxDate)
    return std::nullopt;
  // Linear seconds since the epoch of the value, rounded to the second.
  double linear = ToLinear(value_);
  const auto totalSeconds = static_cast<std::int64_t>(std::llround(linear * 86400.0));
  std::int64_t days = totalSeconds >= 0 ? totalSeconds / 86400 : -((-totalSeconds + 86399) / 86400);
  std::int64_t secs = totalSeconds - days * 86400;
  LocalTime t;
  CivilFromDays(days + kEpochOffset, t.year, t.month, t.day);
  t.hour = static_cast<int>(secs / 3600);
  t.minute = static_cast<int>(secs / 60 % 60);
  t.second = static_cast<int>(secs % 60);
  const std::int64_t unixDays = days + kEpochOffset;
  t.dayOfWeek = static_cast<int>(((unixDays % 7) + 7 + 4) % 7);  // 1970-01-01 was a Thursday
  t.dayOfYear = static_cast<int>(unixDays - DaysFromCivil(t.year, 1, 1) + 1);
  return t;
}

namespace {

std::tm ToTm(const LocalTime& t) {
  std::tm tm{};
  tm.tm_year = t.year - 1900;
  tm.tm_mon = t.month - 1;
  tm.tm_mday = t.day;
  tm.tm_hour = t.hour;
  tm.tm_min = t.minute;
  tm.tm_sec = t.second;
  tm.tm_wday = t.dayOfWeek;
  tm.tm_yday = t.dayOfYear - 1;
  tm.tm_isdst = -1;
  return tm;
}

}  // namespace

std::optional<std::time_t> DateTime::ToTimeT() const {
  auto t = ToLocal();
  if (!t) return std::nullopt;
  std::tm tm = ToTm(*t);
  return std::mktime(&tm);
}

std::string DateTime::Format(const char* format) const {
  auto t = ToLocal();
  if (!t) return {};
  std::tm tm = ToTm(*t);
  char buf[256];
  std::size_t n = std::strftime(buf, sizeof buf, format, &tm);
  return std::string(buf, n);
}

std::int64_t DateTime::SecondsBetween(const DateTime& a, const DateTime& b) {
  return std::llround((ToLinear(b.value_) - ToLinear(a.value_)) * 86400.0);
}

DateTime DateTime::AddSeconds(std::int64_t seconds) const {
  if (status_ != Valid) return *this;
  return DateTime(FromLinear(ToLinear(value_) + static_cast<double>(seconds) / 86400.0), Valid);
}

bool DateTime::operator==(const DateTime& o) const {
  if (status_ != o.status_) return false;
  return status_ != Valid || value_ == o.value_;
}

std::partial_ordering DateTime::operator<=>(const DateTime& o) const {
  if (status_ != o.status_) return status_ <=> o.status_;
  if (status_ != Valid) return std::partial_ordering::equivalent;
  return ToLinear(value_) <=> ToLinear(o.value_);
}

std::string TimeSpan::Format(const char* format) const {
  std::string out;
  char buf[32];
  for (const char* p = format; *p; ++p) {
    if (*p != '%' || !p[1]) {
      out += *p;
      continue;
    }
    switch (*++p) {
      case 'D': std::snprintf(buf, sizeof buf, "%lld", static_cast<long long>(Days())); break;
      case 'H': std::snprintf(buf, sizeof buf, "%02d", Hours()); break;
      case 'M': std::snprintf(buf, sizeof buf, "%02d", Minutes()); break;
      case 'S': std::snprintf(buf, sizeof buf, "%02d", SecondsPart()); break;
      case '%': std::snprintf(buf, sizeof buf, "%%"); break;
      default: std::snprintf(buf, sizeof buf, "%%%c", *p); break;
    }
    out += buf;
  }
  return out;
}

}  // namespace evdo
