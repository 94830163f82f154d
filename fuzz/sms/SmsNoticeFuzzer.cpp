// What the modem says about messages on its own or in answer to a read. The
// first byte picks the parser (low two bits) and the code page (high bit);
// the rest is the modem's lines. Each parser is held to what its callers
// rely on:
//  0 "+CMT: " (a message delivered directly): a sound received record, the
//    text within its field and terminated, part numbers in order;
//  1 "+CMTI: ": a storage name of at most 4 characters of capitals and
//    quotes (it goes into a command line as it came), a known storage;
//  2 "+CDS: ": a number of at most 39 characters without quotes, a status
//    of 1 to 5 characters;
//  3 "$QCMGR: " read answers with each filter: the status one the filter
//    lets through, the text within its field.
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "core/text/CodePage.h"
#include "fuzz/support/FuzzSupport.h"
#include "sms/ModemAnswer.h"
#include "sms/SmsCodec.h"
#include "sms/SmsCommands.h"

namespace {

using namespace evdo;
using namespace evdo::sms;
using fuzz::Require;

std::vector<std::string> Lines(std::string_view text) {
  std::vector<std::string> lines;
  for (std::string_view l : fuzz::SplitLines(text, 6)) lines.emplace_back(l);
  return lines;
}

bool Terminated(const char* field, std::size_t size) { return std::memchr(field, '\0', size) != nullptr; }

void SoundRecord(const SmsRecord& r) {
  Require(Terminated(r.text, sizeof r.text), "the text is terminated within its field");
  Require(r.Number().size() <= kSmsNumberSize, "the number fits its field");
  Require(r.ServiceCentre().size() <= kSmsServiceCentreSize, "the service centre fits its field");
  if (r.HasPartInfo()) Require(r.partIndex >= 1 && r.partIndex <= r.partCount, "part numbers are in order");
}

void Direct(std::string_view input) {
  SmsRecord r;
  if (!ParseDirectNotice(Lines(input), DateTime::FromLocal(2024, 5, 1, 12), r)) return;
  Require(r.status == RecUnread, "a delivered message is unread");
  Require(r.Text().size() <= kMaxDirectTextBytes, "at most 320 bytes of a delivered text");
  SoundRecord(r);
}

void Stored(std::string_view input) {
  StoredNotice notice;
  if (!ParseStoredNotice(input, notice)) return;
  Require(!notice.name.empty() && notice.name.size() <= kMaxStorageNameChars, "a storage name of 1 to 4 characters");
  for (char c : notice.name) Require(c == '"' || (c >= 'A' && c <= 'Z'), "a storage name of capitals and quotes");
  Require(notice.kind != StoredNotice::Other, "a known storage");
}

void Report(std::string_view input) {
  DeliveryReport report;
  if (!ParseDeliveryReport(input, report)) return;
  Require(report.number.size() <= kMaxReportNumberChars, "at most 39 characters of a reported number");
  Require(report.number.find('"') == std::string::npos, "a reported number holds no quote");
  Require(!report.status.empty() && report.status.size() <= kMaxReportStatusChars, "a status of 1 to 5 characters");
}

void Read(std::string_view input) {
  const auto lines = Lines(input);
  for (int filter : {ReceivedOnly, StoredOnly, AnyStatus}) {
    SmsRecord r;
    if (!ParseQcmgrAnswer(lines, r, filter)) continue;
    Require(r.status >= 0 && r.status <= 3, "a read status is one of the four");
    if (filter == ReceivedOnly) Require(r.status == RecUnread || r.status == RecRead, "filter 0: received only");
    if (filter == StoredOnly) Require(r.status == StoUnsent || r.status == StoSent, "filter 1: stored only");
    Require(r.Text().size() <= BytesForChars(kReceivedTextChars), "a read text fits its field");
    SoundRecord(r);
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size < 1) return 0;
  SelectSystemCodePage(data[0] & 0x80 ? CodePage::Utf8 : CodePage::Cp936);
  const std::string_view input(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] & 3) {
    case 0: Direct(input); break;
    case 1: Stored(input); break;
    case 2: Report(input); break;
    default: Read(input); break;
  }
  return 0;
}
