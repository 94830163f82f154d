#pragma once
// The texts of the connection list and the monthly list, and the figures
// the hang-up path reads back from the connection window's texts.
#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "internet/LogData.h"

namespace evdo {

// How a connection's start is written in the connection list and its export.
constexpr const char* kLogStartFormat = "%Y-%m-%d %H:%M:%S";
constexpr const char* kLogDurationFormat = "%D:%H:%M:%S";

std::string KilobytesText(std::uint64_t bytes);  // "%.2f" of bytes / 1024

struct LogRowTexts {
  std::string start, duration, received, sent;
};
LogRowTexts LogRowTextsOf(const LogRecord& r);

// The sums of received and sent kilobytes shown below the connection list.
struct LogTotalTexts {
  std::string received, sent;
};
LogTotalTexts LogTotalTextsOf(const CLogData& log);

// The four comma-separated fields of an exported connection: start,
// duration, received and sent bytes.
std::array<std::string, 4> LogExportFields(const LogRecord& r);

struct MonthRowTexts {
  std::string month;  // "%d-%d"
  std::string received, sent;  // "%.2f Kbytes"
  std::string duration;
  std::string total;  // "%.2f Mbytes" from one megabyte on, else "%.2f Kbytes"
};
MonthRowTexts MonthRowTextsOf(const MonthRecord& r);

// Minutes of a duration text of the connection window: "HH:MM:SS" (8
// characters) or "DD:HH:MM:SS" (11 characters, seconds space-padded); any
// other length gives 0.
std::int32_t MinutesFromDurationText(std::string_view text);
// The whole kilobytes of a "%.2f" kilobyte text; 0 for an empty text.
std::int32_t KilobytesFromText(std::string_view text);
// The logged duration of a connection from its connect time in milliseconds.
std::int64_t DurationFromMilliseconds(std::uint32_t ms);

}  // namespace evdo
