#pragma once
// Splitting of a long text into at most five numbered parts, and the data
// block that carries one part (or a whole short text) to the modem.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace evdo::sms {

constexpr int kMaxParts = 5;
constexpr std::size_t kGsm7SingleChars = 160;
constexpr std::size_t kGsm7PartChars = 153;
constexpr std::size_t kUcs2SingleChars = 70;
constexpr std::size_t kUcs2PartChars = 67;
constexpr std::size_t kMaxSplitChars = kMaxParts * kGsm7PartChars;  // 765
constexpr std::size_t kMaxUcs2Chars = kMaxParts * kUcs2PartChars;   // 335
// A part holds 153 characters of up to four bytes (UTF-8) and a terminator.
constexpr std::size_t kPartBufferSize = 4 * kGsm7PartChars + 2;

// Bounds of the data block written after the "> " prompt.
constexpr std::size_t kSendBlockLimit = 800;
constexpr std::size_t kWriteBlockLimit = 1000;
constexpr char kCtrlZ = 26;

struct MessageSplitter {
  int isLong = 0;
  int isGsm7 = 1;
  std::uint8_t reference = 255;  // the first long text uses 0
  std::uint8_t partCount = 0;
  std::uint8_t currentPart = 0;  // advanced by the caller
  char parts[kMaxParts][kPartBufferSize] = {};

  std::string_view Part(int i) const;
};

// Splits text (up to its first NUL) into parts: one message up to 160
// GSM 7-bit or 70 other characters; beyond that parts of 153 or 67
// characters, a multi-byte character never split. Refuses an empty text,
// more than 765 characters, and more than 335 characters that are not all
// GSM 7-bit (they would not fit five parts). Only a long text takes a new
// reference; a short one leaves the parts empty.
bool SplitMessage(MessageSplitter& splitter, std::string_view text);

// The block for the splitter's current part (long text) or for the whole
// text (short text): concatenation header and hexadecimal UCS-2, then byte
// 26. False when the current part does not exist or the block would exceed
// limit bytes.
bool PartDataBlock(const MessageSplitter& splitter, std::string_view text, std::size_t limit,
                   std::string& block);

}  // namespace evdo::sms
