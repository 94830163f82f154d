#pragma once
// What a PIN, PUK or new PIN may be: 4 to 8 decimal digits. Only such a
// code is ever put between the double quotes of a card command, so no quote,
// CR or other character typed or pasted can add a command of its own.
#include <cstddef>
#include <string>
#include <string_view>

namespace evdo {

inline constexpr std::size_t kPinMinDigits = 4;
inline constexpr std::size_t kPinMaxDigits = 8;

// A complete code: 4 to 8 digits and nothing else.
bool IsPinCode(std::string_view text);
// What an edit box may hold while the user types: at most 8 digits.
bool IsPinInput(std::string_view text);
// A pasted text made fit for the edit box: its digits, at most 8; blanks,
// dashes and line ends around the code are dropped. Empty when the text
// holds anything else (letters, quotes, control characters): such a paste is
// refused as a whole.
std::string PinFromPaste(std::string_view text);

}  // namespace evdo
