// The message codec. The first byte picks the function (low three bits) and
// the code page (high bit); the rest is the input. Each function is held to
// a property a fault would break:
//  0 a modem answer ("$QCMGR:") parses into a sound record, or is refused;
//  1 text to hexadecimal UCS-2 and back gives the text (when the code page
//    holds it), every character as four upper-case hex digits;
//  2 hexadecimal from the modem decodes to text that encodes and decodes to
//    itself, without NUL;
//  3 a time stamp built from the input's numbers reads back as those
//    numbers; part information "ref/seq/total" likewise;
//  4 splitting a text into parts joins back to the text;
//  5 the numbers found in a text are runs of 5 to 40 digits of the text;
//  6 the parts of a long message, filed in any order, join to its text;
//  7 the 7-bit test and the character count agree with the UTF-16 form.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/CodePage.h"
#include "fuzz/support/FuzzSupport.h"
#include "sms/MessageSplitter.h"
#include "sms/ModemAnswer.h"
#include "sms/PartAssembler.h"
#include "sms/SmsCodec.h"

namespace {

using namespace evdo;
using namespace evdo::sms;
using fuzz::Require;

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view l : fuzz::SplitLines(text, 6)) lines.emplace_back(l);
  return lines;
}

void Answer(std::string_view input, int filter) {
  SmsRecord r;
  if (!ParseQcmgrAnswer(Lines(input), r, filter)) return;
  Require(r.status >= 0 && r.status <= 3, "a parsed status is one of the four");
  Require(r.Text().size() <= BytesForChars(kReceivedTextChars), "a parsed text fits its field");
  if (r.HasPartInfo()) Require(r.partIndex >= 1 && r.partIndex <= r.partCount, "part numbers are in order");
}

bool HexUpper(std::string_view hex) {
  return std::all_of(hex.begin(), hex.end(), [](char c) { return (c >= '0' && c <= '9') || (c >= 'A' && c <= 'F'); });
}

void EncodeDecode(std::string_view text) {
  const std::string hex = EncodeUcs2Hex(text);
  const std::u16string units = ToUtf16(text);
  Require(hex.size() == 4 * units.size() && HexUpper(hex), "four upper-case hex digits a character");
  const bool representable = FromUtf16(units) == text && units.find(u'\0') == std::u16string::npos;
  if (representable) Require(DecodeUcs2Hex(hex) == text, "decode(encode(text)) is the text");
}

void DecodeFromModem(std::string_view hex) {
  const std::string text = DecodeUcs2Hex(hex);
  Require(text.find('\0') == std::string::npos, "a decoded text holds no NUL");
  Require(DecodeUcs2Hex(EncodeUcs2Hex(text)) == text, "a decoded text encodes and decodes to itself");
}

void Stamps(std::string_view input) {
  if (input.size() < 8) return;
  auto n = [&](int i, int mod) { return static_cast<unsigned char>(input[i]) % mod; };
  const int yy = n(0, 100), mo = 1 + n(1, 12), dd = 1 + n(2, 28), hh = n(3, 24), mi = n(4, 60), ss = n(5, 60);
  char stamp[40];
  std::snprintf(stamp, sizeof stamp, "%02d/%02d/%02d,%02d:%02d:%02d%s", yy, mo, dd, hh, mi, ss,
                input[6] & 1 ? "+32" : "");
  DateTime t;
  Require(ParseModemTime(stamp, t), "a well-formed time stamp is read");
  const auto local = t.ToLocal();
  Require(local && local->year % 100 == yy && local->month == mo && local->day == dd && local->hour == hh &&
              local->minute == mi && local->second == ss,
          "a time stamp reads as its numbers");
  const unsigned ref = static_cast<unsigned char>(input[7]) * 256u + static_cast<unsigned char>(input[6]);
  const unsigned total = 1 + n(1, 255), seq = 1 + n(2, 255) % total;
  std::uint16_t r;
  std::uint8_t s, tt;
  Require(ParsePartInfo(std::to_string(ref) + "/" + std::to_string(seq) + "/" + std::to_string(total), r, s, tt) &&
              r == ref && s == seq && tt == total,
          "part information reads as its numbers");
  // Arbitrary text: whatever is accepted is in order.
  DateTime any;
  ParseModemTime(input, any);
  if (ParsePartInfo(input, r, s, tt)) Require(s >= 1 && s <= tt, "parsed part numbers are in order");
}

void Split(std::string_view input) {
  static MessageSplitter splitter;
  if (!SplitMessage(splitter, input)) return;
  std::string block;
  if (!splitter.isLong) {
    Require(PartDataBlock(splitter, input, kSendBlockLimit, block), "a short message makes its block");
    return;
  }
  std::string joined;
  for (int i = 0; i < splitter.partCount; ++i) {
    joined += splitter.Part(i);
    splitter.currentPart = static_cast<std::uint8_t>(i);
    Require(PartDataBlock(splitter, input, kSendBlockLimit, block), "every part makes its block");
  }
  Require(joined == BeforeNul(input), "the parts join to the text");
}

void Numbers(std::string_view input) {
  NumberList list;
  const int n = ExtractNumbers(input, list);
  Require(n >= 0 && n <= kMaxNumbers, "at most ten numbers");
  for (int i = 0; i < n; ++i) {
    const std::string_view number = list.Number(i);
    Require(number.size() >= kMinNumberDigits && number.size() <= kMaxNumberDigits, "5 to 40 digits");
    Require(number.find_first_not_of("0123456789") == std::string_view::npos, "digits only");
    Require(input.find(number) != std::string_view::npos, "a number is in the text");
  }
}

void Parts(std::string_view input) {
  if (input.size() < 3) return;
  PartAssembler assembler;
  const int total = 1 + static_cast<unsigned char>(input[0]) % kMaxParts;
  const std::uint16_t reference = static_cast<unsigned char>(input[1]);
  const unsigned order = static_cast<unsigned char>(input[2]);
  std::string_view rest = input.substr(3);
  std::vector<std::string> texts;
  for (int i = 0; i < total; ++i) {
    const std::size_t cut = std::min(rest.find('\x01'), rest.size());
    std::string t(rest.substr(0, std::min(cut, kPartTextBytes)));
    t = std::string(BeforeNul(t));
    if (t.empty()) t = "x";
    texts.push_back(t);
    rest.remove_prefix(cut < rest.size() ? cut + 1 : rest.size());
  }
  std::vector<int> sequence(total);
  for (int i = 0; i < total; ++i) sequence[i] = i;
  std::rotate(sequence.begin(), sequence.begin() + order % total, sequence.end());
  if (order & 0x80) std::reverse(sequence.begin(), sequence.end());
  for (int k : sequence) {
    SmsRecord r = ZeroSmsRecord();
    r.flags = kSmsFlagPartInfo;
    r.reference = reference;
    r.partIndex = static_cast<std::uint8_t>(k + 1);
    r.partCount = static_cast<std::uint8_t>(total);
    SetFieldText(r.number, "13800138000");
    SetFieldText(r.text, texts[k]);
    Require(assembler.AddPart(r) >= 0, "a sound part is filed");
  }
  SmsRecord out;
  Require(assembler.TakeComplete(out) >= 0, "a long message with every part is complete");
  std::string joined;
  for (const std::string& t : texts) joined += t;
  Require(out.Text() == joined, "the parts join in order to the text");
  Require(assembler.TakeComplete(out) < 0, "a joined message is taken once");
}

void Characters(std::string_view input) {
  const std::u16string units = ToUtf16(input);
  bool gsm7 = true;
  for (char16_t u : units) gsm7 = gsm7 && IsGsm7Char(u);
  Require(IsGsm7Text(input) == gsm7, "the 7-bit test is the test of every character");
  Require(sms::CountChars(input) == std::min<std::size_t>(evdo::CountChars(input), 65535), "characters count once");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  SelectSystemCodePage(data[0] & 0x80 ? CodePage::Utf8 : CodePage::Cp936);
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] & 0x07) {
    case 0: Answer(input, (data[0] >> 3) % 4); break;
    case 1: EncodeDecode(input); break;
    case 2: DecodeFromModem(input); break;
    case 3: Stamps(input); break;
    case 4: Split(input); break;
    case 5: Numbers(input); break;
    case 6: Parts(input); break;
    default: Characters(input); break;
  }
  return 0;
}
