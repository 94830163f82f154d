#pragma once
// Joining of received long messages: up to 15 long messages are collected
// part by part; a complete one becomes one record, and one whose slot timer
// expires is delivered part by part.
#include <cstdint>

#include "core/time/DateTime.h"
#include "sms/MessageSplitter.h"
#include "sms/SmsRecord.h"

namespace evdo::sms {

constexpr int kAssemblerSlots = 15;
constexpr int kAllSlots = 15;          // ClearSlot: every slot
constexpr int kFirstPartTimerId = 34;  // slot i has timer 34 + i
// Bytes of one received part; five of them fit the record's text field.
constexpr std::size_t kPartTextBytes = 306;
static_assert(kMaxParts * kPartTextBytes < kSmsTextSize);

// Parts of one slot, each as a record of its own, in part order.
struct ExpiredParts {
  SmsRecord records[kMaxParts];
  int count;
};

class PartAssembler {
public:
  struct Slot {
    int used = 0;
    int timerId = 0;
    std::uint16_t reference = 0;
    int received[kMaxParts] = {};  // entry k: part k + 1 has arrived
    std::uint8_t partCount = 0;
    char number[kSmsNumberSize] = {};
    DateTime time;  // of the part filed last
    char partText[kMaxParts][kPartTextBytes + 2] = {};
    char serviceCentre[kSmsServiceCentreSize] = {};
  };

  PartAssembler() { ClearSlot(kAllSlots); }

  // Files a part of a long message; gives its slot, or -1 when the part
  // information is not valid (part numbers 1..5), the text is longer than
  // 306 bytes, or all 15 slots are taken. The caller then stores the part as
  // a message of its own.
  int AddPart(const SmsRecord& record);
  // Joins the first complete slot into out (flags new and joined, status
  // REC UNREAD) and clears it; gives the slot, or -1 (out zeroed) when none
  // is complete.
  int TakeComplete(SmsRecord& out);
  // Zeroes a slot and restores its timer id; kAllSlots clears every slot.
  void ClearSlot(int slot);
  // The slot of timerId has expired: each part it received becomes a record
  // (flags new and part information, status REC UNREAD) and the slot is
  // cleared. Gives the number of records; 0 for a timer id outside 34..48 or
  // of a free slot.
  int ExpireSlot(int timerId, ExpiredParts& out);

  const Slot& GetSlot(int slot) const { return slots_[slot]; }

private:
  int FindSlot(const SmsRecord& record) const;
  bool IsComplete(const Slot& slot) const;

  Slot slots_[kAssemblerSlots];
};

}  // namespace evdo::sms
