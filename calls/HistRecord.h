#pragma once
// One call of the call history, 64 bytes, the same in memory and in
// "HistData.dat".
#include <cstddef>
#include <cstdint>
#include <string_view>

#include "core/time/DateTime.h"
#include "core/text/FixedText.h"

namespace evdo {

constexpr std::size_t kHistNumberField = 43;
constexpr std::size_t kHistNumberMaxBytes = 40;

#pragma pack(push, 1)
struct HistRecord {
  std::uint8_t repeatCount;       // calls of this number in its list, wraps 255 -> 0
  char number[kHistNumberField];  // NUL-terminated, at most 40 bytes filled
  double startTime;               // days since 1899-12-30, local time
  std::int32_t startStatus;       // 0 = valid
  std::int64_t duration;          // whole seconds

  DateTime Start() const { return DateTime(startTime, startStatus); }
  void SetStart(const DateTime& t) {
    startTime = t.Value();
    startStatus = t.GetStatus();
  }
  std::string_view Number() const { return FieldText(number, kHistNumberField); }
  // Stores at most 40 bytes of text, never splitting a character.
  void SetNumber(std::string_view text) {
    SetFieldText(number, kHistNumberField, CutToBytes(text, kHistNumberMaxBytes));
  }
};
#pragma pack(pop)

static_assert(sizeof(HistRecord) == 64);
static_assert(offsetof(HistRecord, repeatCount) == 0);
static_assert(offsetof(HistRecord, number) == 1);
static_assert(offsetof(HistRecord, startTime) == 44);
static_assert(offsetof(HistRecord, startStatus) == 52);
static_assert(offsetof(HistRecord, duration) == 56);

}  // namespace evdo
