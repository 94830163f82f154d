#pragma once
// The operator list of a network search ("AT+COPS=?"): the answer's first
// line holds entries (state,"long name","short name","numeric",technology)
// up to the first ",,", after which the lists of supported modes follow.
// Entries are fixed records; an entry whose names do not fit their fields,
// or that breaks the pattern, is skipped and counted, never cut or written
// past a field.
#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace evdo {

inline constexpr std::size_t kLongNameSize = 17;   // at most 16 characters
inline constexpr std::size_t kShortNameSize = 19;  // at most 18 characters
inline constexpr std::size_t kMaxOperators = 32;

struct NetworkEntry {
  std::int32_t operatorState = 0;     // 0 unknown, 1 available, 2 current, 3 forbidden
  char longName[kLongNameSize] = {};
  char shortName[kShortNameSize] = {};
  std::int32_t numericCode = 0;
  std::int32_t accessTechnology = -1;  // 0..9; -1 when the entry has none
};
static_assert(sizeof(NetworkEntry) == 48);

struct OperatorList {
  std::array<NetworkEntry, kMaxOperators> entries{};
  std::size_t count = 0;
  std::size_t skipped = 0;  // entries that broke the pattern or did not fit
};

// True when the search answer's first line is an error ("+CME ERROR:",
// letter case ignored).
bool IsSearchError(std::string_view line0);
// The list text of the first line: from its first "(" to the first ",,"
// after it (outside quotes). False (empty) when either is missing.
bool ExtractOperatorListText(std::string_view line0, std::string_view& listText);
// Reads the entries of a list text.
OperatorList ParseOperatorList(std::string_view listText);
// Both steps for a whole first line.
OperatorList ParseSearchAnswer(std::string_view line0);

// A name that may stand between the double quotes of a command: not empty,
// at most maxBytes bytes, no double quote, no control character.
bool IsCommandSafeName(std::string_view name, std::size_t maxBytes);
// "AT+COPS=1,1,\"name\"\r" for manual registration; empty when the name is
// not safe for a short-name field.
std::string ManualRegistrationCommand(std::string_view shortName);
// "AT+PHPREF=n\r" with n = index + 1; empty for an index outside 0..3.
std::string PreferenceCommand(int index);

}  // namespace evdo
