#pragma once
// Readers for the modem's status answers and status notification lines. They
// take single lines (without CR LF) and never fail: a malformed line gives a
// defined value, stated at each reader.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace evdo {

// Line prefixes of the status answers and notifications, kept exactly.
inline constexpr std::string_view kCsmssAnswerPrefix = "$CSMSS:";
inline constexpr std::string_view kOperatorAnswerPrefix = "-GMI: ";
inline constexpr std::string_view kNetworkTypeAnswerPrefix = "$NWRAT: ";
inline constexpr std::string_view kRoamingAnswerPrefix = "$ROAM: ";
inline constexpr std::string_view kServiceCentreAnswerPrefix = "+CSCA: ";
inline constexpr std::string_view kRssiPrefix = "+RSSI: ";
inline constexpr std::string_view kCsmssNotificationPrefix = "+CSMSS:";
inline constexpr std::string_view kNetworkStatusPrefix = "Network status: ";
inline constexpr std::string_view kNetworkServicePrefix = "Network Service: ";
inline constexpr std::string_view kRoamingStatusPrefix = "Roaming status: ";
inline constexpr std::string_view kSimReadyPrefix = "SIM_READY: ";
inline constexpr std::string_view kCurrentPlmnPrefix = "Current PLMN: ";
inline constexpr std::string_view kSrvStatusPrefix = "Srv status: ";
inline constexpr std::string_view kNoCarrierLine = "NO CARRIER";
inline constexpr std::string_view kOkLine = "OK";

// The signal level that means "no signal".
inline constexpr int kNoSignalLevel = 6;
// Widest number field of a signal answer or "+RSSI: " line.
inline constexpr std::size_t kSignalFieldWidth = 4;
// Highest network type with a picture of its own.
inline constexpr int kHighestNetworkType = 2;

// A decimal number: leading blanks skipped, an optional sign, then digits as
// far as they go; text after them is ignored. No digits read as 0; a value
// beyond the range of int is held at the nearest limit.
int ReadNumber(std::string_view text);

// True when line begins with prefix (compared over the prefix's length).
bool StartsWith(std::string_view line, std::string_view prefix);

// The number after prefix when line begins with it, else nothing.
std::optional<int> NumberAfter(std::string_view line, std::string_view prefix);

// The number after prefix up to the first comma ("$NWRAT: 2,1" gives 2).
std::optional<int> NumberAfterUpToComma(std::string_view line, std::string_view prefix);

// What the service query ("AT+CAD?") says about the card, read from its first
// line: the tests run in the order "SIM PIN", "SIM PUK", "1", "0", "5", and
// the first hit counts. pinLock is set only where the answer decides it.
struct ServiceAnswer {
  std::int16_t simState;
  std::optional<std::int16_t> pinLock;
};
std::optional<ServiceAnswer> ReadServiceAnswer(std::string_view line0);

// The signal field of a line: the text from `from` up to the first comma (or
// the end of the line), read as a number when it holds at most four
// characters and at least one digit; otherwise nothing.
std::optional<int> ReadSignalField(std::string_view text);

// Signal level of a signal query answer ("20, 99" gives 3): n / 6, at most 6.
// A first line without a readable field gives level 6 (no signal).
int SignalLevelFromAnswer(std::string_view line0);

// Signal level of a "+RSSI: " line: the field after the first blank, at most
// 6. A line without a readable field gives level 6 (no signal).
int SignalLevelFromRssi(std::string_view line);

// The network type as the window shows it: 0 (no picture) for values outside
// 0..2.
int ShownNetworkType(int value);

// Text between the first two double quotes after prefix ("-GMI: \"name\"").
// No quote gives an empty text; an opening quote without a closing one takes
// the rest of the line.
std::string QuotedTextAfter(std::string_view line, std::string_view prefix);

// The operator name of a "Current PLMN: " line: the text after the prefix
// without its enclosing double quotes. Only quotes are removed, so an
// unquoted name is kept whole.
std::string PlmnName(std::string_view line);

// The number of a service centre answer ("+CSCA: \"+8613800100500\",145"):
// the text between its first two double quotes; empty when the line is not a
// service centre answer or has no quote.
std::string ServiceCentreNumber(std::string_view line0);

}  // namespace evdo
