#pragma once
// The rules for the numbers the call page dials: what the number field
// accepts, and the check every number passes before it reaches "AT+CDV ",
// wherever it came from (typed, pasted, a contact, a message, the history,
// the command line or a tel: link).
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace evdo {

// The number field holds at most this many characters while idle.
constexpr std::size_t kNumberFieldMax = 40;

// '0'..'9', '*', '#' and '+'.
bool IsDialCharacter(char c);

// Why a number is refused for dialling.
enum class DialCheck { Ok, Empty, TooLong, BadCharacter };

// A number may be dialled when it is 1..40 dial characters.
DialCheck CheckDialNumber(std::string_view number);

// The number field's edit rule: only dial characters, and while idle at
// most 40 of them.
bool IsAcceptableFieldText(std::string_view text, bool inCall);

// The number of a "tel:" link (RFC 3966): the part before any ';'
// parameter, with its visual separators ('-', '.', ' ', '(', ')') dropped
// and "%20" taken as a blank. The result still has to pass CheckDialNumber.
std::string NumberFromTelLink(std::string_view link);

// The number of a "+CLIP: " line ("+CLIP: "13800138000",129), or nullopt
// when the line carries no number made of dial characters.
std::optional<std::string> NumberFromCallerLine(std::string_view line);

}  // namespace evdo
