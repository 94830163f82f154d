// Feeds modem answers, hexadecimal texts, time stamps, part information and
// message texts to the codec. The first byte picks the function (low bits)
// and the code page (high bit); the rest is the input.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "core/text/CodePage.h"
#include "sms/MessageSplitter.h"
#include "sms/ModemAnswer.h"
#include "sms/PartAssembler.h"
#include "sms/SmsCodec.h"

namespace {

using namespace evdo;
using namespace evdo::sms;

void Require(bool condition) {
  if (!condition) std::abort();
}

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  while (!text.empty() && lines.size() < 6) {
    const std::size_t end = text.find('\n');
    lines.emplace_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

void Answer(std::string_view input, int filter) {
  SmsRecord r;
  if (!ParseQcmgrAnswer(Lines(input), r, filter)) return;
  Require(r.status >= 0 && r.status <= 3);
  Require(r.Text().size() <= BytesForChars(kReceivedTextChars));
  if (r.HasPartInfo()) Require(r.partIndex >= 1 && r.partIndex <= r.partCount);
}

void Split(std::string_view input) {
  static MessageSplitter splitter;
  if (!SplitMessage(splitter, input)) return;
  std::string block;
  if (!splitter.isLong) {
    Require(PartDataBlock(splitter, input, kSendBlockLimit, block));
    return;
  }
  std::string joined;
  for (int i = 0; i < splitter.partCount; ++i) {
    joined += splitter.Part(i);
    splitter.currentPart = static_cast<std::uint8_t>(i);
    Require(PartDataBlock(splitter, input, kSendBlockLimit, block));
  }
  Require(joined == BeforeNul(input));
}

void Numbers(std::string_view input) {
  NumberList list;
  const int n = ExtractNumbers(input, list);
  Require(n >= 0 && n <= kMaxNumbers);
  for (int i = 0; i < n; ++i) {
    const std::string_view number = list.Number(i);
    Require(number.size() >= kMinNumberDigits && number.size() <= kMaxNumberDigits);
    Require(number.find_first_not_of("0123456789") == std::string_view::npos);
  }
}

void Parts(std::string_view input) {
  static PartAssembler assembler;
  SmsRecord r = ZeroSmsRecord();
  if (input.size() < 4) return;
  r.flags = static_cast<std::uint8_t>(input[0]);
  r.reference = static_cast<std::uint8_t>(input[1]) % 4;
  r.partIndex = static_cast<std::uint8_t>(input[2]) % 8;
  r.partCount = static_cast<std::uint8_t>(input[3]) % 8;
  SetFieldText(r.text, input.substr(4));
  assembler.AddPart(r);
  SmsRecord out;
  while (assembler.TakeComplete(out) >= 0) Require(out.Text().size() <= kMaxParts * kPartTextBytes);
  ExpiredParts expired;
  if (!input.empty() && input.back() == '!') assembler.ExpireSlot(kFirstPartTimerId + input[0] % 16, expired);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SelectSystemCodePage(data[0] & 0x80 ? CodePage::Utf8 : CodePage::Cp936);
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] & 0x0F) {
    case 0: Answer(input, (data[0] >> 4) % 4); break;
    case 1: DecodeUcs2Hex(input); break;
    case 2: {
      DateTime t;
      ParseModemTime(input, t);
      std::uint16_t reference;
      std::uint8_t seq, total;
      if (ParsePartInfo(input, reference, seq, total)) Require(seq >= 1 && seq <= total);
      break;
    }
    case 3: Split(input); break;
    case 4: Numbers(input); break;
    case 5: Parts(input); break;
    case 6: Require(DecodeUcs2Hex(EncodeUcs2Hex(input)).size() <= 4 * input.size()); break;
    default: IsGsm7Text(input); sms::CountChars(input); break;
  }
  return 0;
}
