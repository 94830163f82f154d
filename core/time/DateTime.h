#pragma once
// The date-time value of the data files: days since 30 December 1899 as an
// 8-byte double (the fraction is the local time of day) plus a 32-bit status.
#include <compare>
#include <cstdint>
#include <ctime>
#include <optional>
#include <string>

namespace evdo {

struct LocalTime {
  int year = 1899, month = 12, day = 30;  // month 1..12, day 1..31
  int hour = 0, minute = 0, second = 0;
  int dayOfWeek = 0;  // 0 = Sunday, filled on conversion from a value
  int dayOfYear = 1;  // 1..366, filled on conversion from a value
};

class DateTime {
public:
  enum Status : std::int32_t { Valid = 0, Invalid = 1, Null = 2 };

  DateTime() = default;  // 0.0, valid: 30 December 1899 00:00:00
  DateTime(double value, std::int32_t status) : value_(value), status_(status) {}

  // An impossible date or time (30 February, 25:00) gives status Invalid.
  static DateTime FromLocal(int year, int month, int day, int hour = 0, int minute = 0,
                            int second = 0);
  static DateTime FromLocal(const LocalTime& t);
  static DateTime FromTimeT(std::time_t t);  // in local time
  static DateTime Now();
  static DateTime MakeNull() { return DateTime(0.0, Null); }
  static DateTime MakeInvalid() { return DateTime(0.0, Invalid); }

  double Value() const { return value_; }
  std::int32_t GetStatus() const { return status_; }
  bool IsValid() const { return status_ == Valid; }

  // Broken-down local time, rounded to the nearest second; nullopt when the
  // value is not valid or out of range (years 100..9999).
  std::optional<LocalTime> ToLocal() const;
  std::optional<std::time_t> ToTimeT() const;

  // strftime-style formatting of the local time ("%y/%m/%d,%H:%M:%S+00").
  // An invalid value formats as "".
  std::string Format(const char* format) const;

  // Whole seconds from a to b (b - a); values must be valid.
  static std::int64_t SecondsBetween(const DateTime& a, const DateTime& b);
  DateTime AddSeconds(std::int64_t seconds) const;

  // Values compare by their time; ordering of non-valid values is by status.
  bool operator==(const DateTime& o) const;
  std::partial_ordering operator<=>(const DateTime& o) const;

private:
  double value_ = 0.0;
  std::int32_t status_ = Valid;
};

// A span of time in seconds with the two formats of the system.
class TimeSpan {
public:
  explicit TimeSpan(std::int64_t seconds = 0) : seconds_(seconds) {}
  std::int64_t Seconds() const { return seconds_; }
  std::int64_t Days() const { return seconds_ / 86400; }
  int Hours() const { return static_cast<int>(seconds_ / 3600 % 24); }
  int TotalHours() const { return static_cast<int>(seconds_ / 3600); }
  int Minutes() const { return static_cast<int>(seconds_ / 60 % 60); }
  int SecondsPart() const { return static_cast<int>(seconds_ % 60); }
  // Supports %D (days), %H (hours of the day, two digits), %M, %S and %%.
  std::string Format(const char* format) const;

private:
  std::int64_t seconds_;
};

}  // namespace evdo
