#include "internet/TrafficCounters.h"

#include <cstdio>
#include <limits>

#include "core/text/FixedText.h"

namespace evdo {
namespace {

std::int32_t SaturatingAdd(std::int32_t a, std::int32_t b) {
  const std::int64_t sum = std::int64_t{a} + b;
  if (sum > std::numeric_limits<std::int32_t>::max()) return std::numeric_limits<std::int32_t>::max();
  if (sum < std::numeric_limits<std::int32_t>::min()) return std::numeric_limits<std::int32_t>::min();
  return static_cast<std::int32_t>(sum);
}

// Starts the pair again under key, or adds to it when key is its key.
void Count(char (&field)[kCounterTextField], std::string_view key, std::int32_t& sent, std::int32_t& received,
           std::int32_t sentKB, std::int32_t receivedKB) {
  if (FieldText(field) != key) {
    SetFieldText(field, key);
    sent = sentKB;
    received = receivedKB;
    return;
  }
  sent = SaturatingAdd(sent, sentKB);
  received = SaturatingAdd(received, receivedKB);
}

void SetKeys(TrafficCounters& c, const LocalTime& now) {
  const std::string day = CounterDayKey(now);
  SetFieldText(c.dayKey, day);
  SetFieldText(c.monthKey, std::string_view(day).substr(0, kMonthKeyChars));
  SetFieldText(c.yearKey, std::string_view(day).substr(0, kYearKeyChars));
}

std::string Megabytes(std::int32_t kilobytes) {
  char buf[64];
  std::snprintf(buf, sizeof buf, "%.1f", kilobytes / 1024.0);
  return buf;
}

}  // namespace

std::string CounterDayKey(const LocalTime& t) {
  char buf[48];
  std::snprintf(buf, sizeof buf, "%4d-%2d-%2d", t.year, t.month, t.day);
  return buf;
}

std::string CounterUpdatedText(const LocalTime& t) {
  char buf[96];
  std::snprintf(buf, sizeof buf, "%d-%d-%d %d:%d:%d", t.year, t.month, t.day, t.hour, t.minute, t.second);
  return buf;
}

TrafficCounters FreshCounters(const LocalTime& now) {
  TrafficCounters c{};
  ResetCounters(c, now);
  return c;
}

void UpdateCounters(TrafficCounters& c, std::int32_t sentKB, std::int32_t receivedKB, std::int32_t minutes,
                    const LocalTime& now) {
  SetFieldText(c.updated, CounterUpdatedText(now));
  const std::string day = CounterDayKey(now);
  const std::string_view key(day);
  Count(c.dayKey, key, c.daySent, c.dayReceived, sentKB, receivedKB);
  Count(c.monthKey, key.substr(0, kMonthKeyChars), c.monthSent, c.monthReceived, sentKB, receivedKB);
  Count(c.yearKey, key.substr(0, kYearKeyChars), c.yearSent, c.yearReceived, sentKB, receivedKB);
  c.totalMinutes = SaturatingAdd(c.totalMinutes, minutes);
}

void ResetCounters(TrafficCounters& c, const LocalTime& now) {
  c.daySent = c.dayReceived = c.monthSent = c.monthReceived = c.yearSent = c.yearReceived = 0;
  c.totalMinutes = 0;
  SetFieldText(c.updated, CounterUpdatedText(now));
  SetKeys(c, now);
}

LoadResult CounterFile::LoadCounters(TrafficCounters& c, const LocalTime& created) {
  return file_.Load(c, FreshCounters(created));
}

CounterTexts ShowCounters(const TrafficCounters& c) {
  CounterTexts t;
  t.updated = FieldText(c.updated);
  t.daySent = Megabytes(c.daySent);
  t.dayReceived = Megabytes(c.dayReceived);
  t.monthSent = Megabytes(c.monthSent);
  t.monthReceived = Megabytes(c.monthReceived);
  t.yearSent = Megabytes(c.yearSent);
  t.yearReceived = Megabytes(c.yearReceived);
  const std::int32_t days = c.totalMinutes / 1440;
  const std::int32_t hours = (c.totalMinutes - days * 1440) / 60;
  char buf[64];
  std::snprintf(buf, sizeof buf, "%d %d:%d", days, hours, c.totalMinutes % 60);
  t.totalTime = buf;
  return t;
}

}  // namespace evdo
