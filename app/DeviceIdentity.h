#pragma once
// The device texts of the About window: the modem's identity ("AT+GSN") and
// its firmware version ("AT+GMR"), read once the device is initialised.
#include <string>
#include <string_view>

namespace evdo {

constexpr const char* kCmdIdentity = "AT+GSN\r";
constexpr const char* kCmdFirmware = "AT+GMR\r";
constexpr std::size_t kIdentityDigits = 14;

// The Luhn check digit of a text of decimal digits, or -1 when the text holds
// anything else.
int LuhnCheckDigit(std::string_view digits);

// A 14-digit identity (longer ones are first cut to 14) completed with its
// Luhn check digit to 15 digits. Anything that is not, after the cut, 14
// decimal digits (an electronic serial number in hexadecimal, for instance) is
// returned as it was given.
std::string CompleteIdentity(std::string_view identity);

// The value of an information answer such as "+GSN: 12345" or "12345": the
// text after an optional "+GSN:"/"+GMR:"-style prefix, without surrounding
// blanks or double quotes, on one line (a CR or LF inside becomes a blank).
// Empty when the answer carries no value.
std::string AnswerValue(std::string_view line, std::string_view prefix);

}  // namespace evdo
