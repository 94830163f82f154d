#pragma once
// Text in the system code page. Every stored and displayed text of the system
// is a byte string in this code page: code page 936 (GBK as Windows maps it,
// 0x80 is the euro sign) by default, or UTF-8 when selected.
#include <cstddef>
#include <string>
#include <string_view>

namespace evdo {

enum class CodePage { Cp936, Utf8 };

// The code page used where none is named. Chosen once at start-up.
CodePage SystemCodePage();
void SelectSystemCodePage(CodePage cp);

// Parses a code page name: "936", "cp936", "gbk" or "utf-8", "utf8"
// (case-insensitive). False for anything else.
bool ParseCodePageName(std::string_view name, CodePage& cp);

// The default character that replaces what a conversion cannot map.
constexpr char kDefaultChar = '?';

// True when b starts a multi-byte character in cp.
bool IsLeadByte(unsigned char b, CodePage cp = SystemCodePage());

// Bytes taken by the character starting at text[pos] (at least 1, never past
// the end of text).
std::size_t CharLength(std::string_view text, std::size_t pos, CodePage cp = SystemCodePage());

// Number of characters; a multi-byte character counts once. A truncated
// trailing lead byte counts as one character.
std::size_t CountChars(std::string_view text, CodePage cp = SystemCodePage());

// Longest prefix of text that fits maxBytes without splitting a character.
std::string_view CutToBytes(std::string_view text, std::size_t maxBytes, CodePage cp = SystemCodePage());

// Conversions. Undecodable bytes and unencodable characters become '?'.
std::u16string ToUtf16(std::string_view text, CodePage cp = SystemCodePage());
std::string FromUtf16(std::u16string_view text, CodePage cp = SystemCodePage());
std::string ToUtf8(std::string_view text, CodePage cp = SystemCodePage());
std::string FromUtf8(std::string_view utf8, CodePage cp = SystemCodePage());

// UTF-8 <-> UTF-16 without a code page. Broken sequences become U+FFFD.
std::u16string Utf8ToUtf16(std::string_view utf8);
std::string Utf16ToUtf8(std::u16string_view text);

}  // namespace evdo
