#pragma once
// One short message as the store, the file "SmsData.dat" and every message
// operation hold it: a packed 1644-byte record of little-endian integers and
// NUL-padded text fields in the system code page.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/time/DateTime.h"
#include "core/text/FixedText.h"

namespace evdo {

// The message boxes of the store. AllBoxes stands for the three together in
// the operations that accept it.
enum SmsBox : int { Inbox = 0, Outbox = 1, Saved = 2, AllBoxes = 3 };
constexpr int kSmsBoxCount = 3;

// Values of SmsRecord::status.
enum SmsStatus : std::int32_t { RecUnread = 0, RecRead = 1, StoUnsent = 2, StoSent = 3, UnknownStatus = 4 };

// Bits of SmsRecord::flags.
constexpr std::uint8_t kSmsFlagNew = 1;       // not yet shown to the user
constexpr std::uint8_t kSmsFlagPartInfo = 2;  // reference, partIndex, partCount are valid
constexpr std::uint8_t kSmsFlagJoined = 4;    // text joined from several received parts

constexpr std::size_t kSmsNumberSize = 40;
constexpr std::size_t kSmsTextSize = 1532;
constexpr std::size_t kSmsServiceCentreSize = 40;

#pragma pack(push, 1)

// A date-time as the records hold it: the day count, then its status.
struct RecordTime {
  double value;
  std::int32_t status;

  DateTime Get() const { return DateTime(value, status); }
  void Set(const DateTime& t) {
    value = t.Value();
    status = t.GetStatus();
  }
};

struct SmsRecord {
  std::uint8_t flags;
  std::uint8_t reserved1[3];
  std::int32_t status;
  char number[kSmsNumberSize];  // a full field has no terminator
  std::uint8_t reserved2[4];
  RecordTime time;
  std::uint16_t reference;
  std::uint8_t partIndex;  // 1-based
  std::uint8_t partCount;
  char text[kSmsTextSize];  // NUL-terminated
  char serviceCentre[kSmsServiceCentreSize];
  std::uint8_t reserved3[4];

  std::string_view Number() const { return FieldText(number); }
  std::string_view Text() const { return FieldText(text); }
  std::string_view ServiceCentre() const { return FieldText(serviceCentre); }
  DateTime Time() const { return time.Get(); }
  bool HasPartInfo() const { return (flags & kSmsFlagPartInfo) != 0; }
};

#pragma pack(pop)

constexpr std::size_t kSmsRecordSize = 1644;
static_assert(sizeof(RecordTime) == 12);
static_assert(sizeof(SmsRecord) == kSmsRecordSize);
static_assert(offsetof(SmsRecord, flags) == 0);
static_assert(offsetof(SmsRecord, reserved1) == 1);
static_assert(offsetof(SmsRecord, status) == 4);
static_assert(offsetof(SmsRecord, number) == 8);
static_assert(offsetof(SmsRecord, reserved2) == 48);
static_assert(offsetof(SmsRecord, time) == 52);
static_assert(offsetof(SmsRecord, reference) == 64);
static_assert(offsetof(SmsRecord, partIndex) == 66);
static_assert(offsetof(SmsRecord, partCount) == 67);
static_assert(offsetof(SmsRecord, text) == 68);
static_assert(offsetof(SmsRecord, serviceCentre) == 1600);
static_assert(offsetof(SmsRecord, reserved3) == 1640);

// A record with every byte zero, as every record starts.
inline SmsRecord ZeroSmsRecord() {
  SmsRecord r;
  std::memset(&r, 0, sizeof r);
  return r;
}

}  // namespace evdo
