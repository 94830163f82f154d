#pragma once
// The texts of the Internet page's statistics: duration, kilobytes, bytes
// with thousands separators, and the minutes read back from a duration text.
#include <cstdint>
#include <string>

namespace evdo {

// "%02d:%02d:%02d" (hours, minutes, seconds), or "%02d:%02d:%02d:%2d" (days,
// hours, minutes, seconds) when there are days: days, hours and minutes come
// from previousMs, the seconds from currentMs.
std::string DurationText(std::uint32_t previousMs, std::uint32_t currentMs);
// bytes / 1024 as "%.2fKB".
std::string KilobyteText(std::uint64_t bytes);
// "%d" with a "," every three digits from the right.
std::string GroupedBytes(std::uint64_t bytes);
// A connection's byte count from the dial's 32-bit counter: total (at
// previous) plus the growth to current, across a wrap past 4 GiB; a counter
// that went back (a new interface) counts again from 0.
std::uint64_t FollowCounter(std::uint64_t total, std::uint32_t previous, std::uint32_t current);
// The minutes of a duration text: 8 characters h:m:s → h*60+m; 11
// characters d:h:m:s → d*1440+h*60+m; anything else 0.
std::int32_t MinutesOfDuration(const std::string& text);
// The rate of one direction in bits per second for a one-second tick: 0 when
// the counter did not grow.
std::uint32_t TickRate(std::uint32_t current, std::uint32_t previous);
// The traffic activity image number from the two rates in kilobytes a
// second: 0 none, 1 both, 2 sending only, 3 receiving only.
int ActivityOf(std::uint32_t sendKBps, std::uint32_t receiveKBps);

}  // namespace evdo
