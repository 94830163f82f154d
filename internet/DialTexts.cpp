#include "internet/DialTexts.h"

#include <cstdio>

namespace evdo {

std::string DurationText(std::uint32_t previousMs, std::uint32_t currentMs) {
  const std::uint32_t days = previousMs / 86400000u;
  const std::uint32_t hours = previousMs / 3600000u % 24;
  const std::uint32_t minutes = previousMs / 60000u % 60;
  const std::uint32_t seconds = currentMs / 1000u % 60;
  char text[48];
  if (days != 0)
    std::snprintf(text, sizeof text, "%02u:%02u:%02u:%2u", days, hours, minutes, seconds);
  else
    std::snprintf(text, sizeof text, "%02u:%02u:%02u", hours, minutes, seconds);
  return text;
}

std::string KilobyteText(std::uint64_t bytes) {
  char text[32];
  std::snprintf(text, sizeof text, "%.2fKB", static_cast<double>(bytes) / 1024.0);
  return text;
}

std::uint64_t FollowCounter(std::uint64_t total, std::uint32_t previous, std::uint32_t current) {
  const std::uint32_t growth = current - previous;  // modulo 2^32
  if (growth < 0x80000000u) return total + growth;
  return total + current;
}

std::string GroupedBytes(std::uint64_t bytes) {
  std::string digits = std::to_string(bytes);
  std::string out;
  const std::size_t n = digits.size();
  for (std::size_t i = 0; i < n; ++i) {
    if (i != 0 && (n - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::int32_t MinutesOfDuration(const std::string& text) {
  auto number = [&text](std::size_t at) {
    int v = 0;
    for (std::size_t i = at; i < at + 2; ++i) {
      char c = text[i];
      if (c == ' ') continue;
      if (c < '0' || c > '9') return -1;
      v = v * 10 + (c - '0');
    }
    return v;
  };
  if (text.size() == 8) {
    int h = number(0), m = number(3);
    if (h < 0 || m < 0) return 0;
    return h * 60 + m;
  }
  if (text.size() == 11) {
    int d = number(0), h = number(3), m = number(6);
    if (d < 0 || h < 0 || m < 0) return 0;
    return d * 1440 + h * 60 + m;
  }
  return 0;
}

std::uint32_t TickRate(std::uint32_t current, std::uint32_t previous) {
  return current > previous ? (current - previous) * 8u : 0u;
}

int ActivityOf(std::uint32_t sendKBps, std::uint32_t receiveKBps) {
  if (sendKBps == 0 && receiveKBps == 0) return 0;
  if (sendKBps != 0 && receiveKBps != 0) return 1;
  return sendKBps != 0 ? 2 : 3;
}

}  // namespace evdo
