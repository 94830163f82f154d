#pragma once
// Message text rules that do not talk to the modem: status names, the GSM
// 7-bit test, character counts, the hexadecimal UCS-2 form of texts on the
// serial line, part labels and concatenation headers, numbers in a text and
// the key filters of number fields. Texts are in the system code page.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/text/CodePage.h"
#include "sms/SmsRecord.h"

namespace evdo::sms {

// "REC UNREAD", "REC READ", "STO UNSENT", "STO SENT" for 0..3; 4 for any
// other text (exact, case-sensitive).
int StatusIndex(std::string_view name);
// The name of status 0..3; "" for any other value.
const char* StatusName(int status);

// A UTF-16 unit of the GSM default alphabet or of its extension table.
bool IsGsm7Char(char16_t unit);
// Every character of the text is GSM 7-bit representable (an empty text is).
bool IsGsm7Text(std::string_view text);

// Characters of the text, a multi-byte character counting once; saturates
// at 65535 so that a huge text is never mistaken for a short one.
std::uint16_t CountChars(std::string_view text);

// Each UTF-16 unit of the text as four upper-case hexadecimal digits.
std::string EncodeUcs2Hex(std::string_view text);
// Reads length / 4 groups of four characters as "%x" would (leading blanks,
// sign and "0x" accepted, lower case too); a group without any hexadecimal
// digit is skipped, and U+0000 becomes the default character so that the
// rest of the text is kept. The units are converted to the system code page.
std::string DecodeUcs2Hex(std::string_view hex);

// "(seq/total)"; false and out untouched when seq is 0, total is 0 or
// seq > total.
bool FormatPartLabel(unsigned seq, unsigned total, std::string& out);
// The user data header in hexadecimal, its length octet included:
// "050003RRTTSS" for a reference below 256, else "060804RRRRTTSS". Same
// refusal rule as FormatPartLabel.
bool FormatConcatHeader(std::uint16_t reference, unsigned seq, unsigned total, std::string& out);
// Keeps the part information when flag 2 is set, partIndex and partCount
// are non-zero and partCount >= partIndex; otherwise clears it and false.
bool CheckPartInfo(SmsRecord& record);

// Numbers found in a text: runs of 5 to 40 ASCII digits.
constexpr int kMaxNumbers = 10;
constexpr std::size_t kNumberEntrySize = 42;
constexpr std::size_t kMinNumberDigits = 5;
constexpr std::size_t kMaxNumberDigits = 40;
struct NumberList {
  char numbers[kMaxNumbers][kNumberEntrySize];
  int count;
  std::string_view Number(int i) const { return FieldText(numbers[i]); }
};
int ExtractNumbers(std::string_view text, NumberList& list);

constexpr int kBackspace = 8;
// '0'..'9', '#', '*', '+' and backspace.
bool IsDialChar(int ch);
// '0'..'9', '+', ';' and backspace.
bool IsRecipientChar(int ch);

// The text before the first NUL, as a C string would read it.
inline std::string_view BeforeNul(std::string_view text) { return text.substr(0, text.find('\0')); }

// The byte bound of a number of characters in the system code page: two
// bytes per character in code page 936, four in UTF-8.
std::size_t BytesForChars(std::size_t chars);

}  // namespace evdo::sms
