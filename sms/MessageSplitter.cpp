#include "sms/MessageSplitter.h"

#include <cstring>

#include "core/text/CodePage.h"
#include "sms/SmsCodec.h"

namespace evdo::sms {

std::string_view MessageSplitter::Part(int i) const {
  if (i < 0 || i >= kMaxParts) return {};
  return FieldText(parts[i]);
}

bool SplitMessage(MessageSplitter& s, std::string_view text) {
  s.isLong = 0;
  s.isGsm7 = 1;
  s.partCount = 0;
  s.currentPart = 0;
  std::memset(s.parts, 0, sizeof s.parts);

  text = BeforeNul(text);
  const std::size_t n = CountChars(text);
  if (n == 0 || n > kMaxSplitChars) return false;
  s.isGsm7 = IsGsm7Text(text) ? 1 : 0;
  if (!s.isGsm7 && n > kMaxUcs2Chars) return false;
  s.isLong = n > (s.isGsm7 ? kGsm7SingleChars : kUcs2SingleChars) ? 1 : 0;
  if (!s.isLong) return true;

  ++s.reference;
  const std::size_t perPart = s.isGsm7 ? kGsm7PartChars : kUcs2PartChars;
  const std::size_t byteBound = BytesForChars(perPart);
  int part = 0;
  std::size_t chars = 0, bytes = 0;
  for (std::size_t pos = 0; pos < text.size();) {
    const std::size_t len = CharLength(text, pos);
    if (bytes + len > byteBound) return false;  // cannot happen within the limits above
    std::memcpy(s.parts[part] + bytes, text.data() + pos, len);
    bytes += len;
    pos += len;
    if (++chars == perPart && pos < text.size() && part < kMaxParts - 1) {
      ++part;
      chars = bytes = 0;
    }
  }
  s.partCount = static_cast<std::uint8_t>(part + 1);
  return true;
}

bool PartDataBlock(const MessageSplitter& s, std::string_view text, std::size_t limit, std::string& block) {
  std::string out;
  if (s.isLong) {
    if (s.currentPart >= s.partCount || !FormatConcatHeader(s.reference, s.currentPart + 1u, s.partCount, out))
      return false;
    out += EncodeUcs2Hex(s.Part(s.currentPart));
  } else {
    out = EncodeUcs2Hex(BeforeNul(text));
  }
  out += kCtrlZ;
  if (out.size() > limit) return false;
  block = std::move(out);
  return true;
}

}  // namespace evdo::sms
