#include "sms/PartAssembler.h"

#include <cstring>

#include "core/text/FixedText.h"

namespace evdo::sms {

int PartAssembler::AddPart(const SmsRecord& record) {
  const unsigned index = record.partIndex, count = record.partCount;
  if (!record.HasPartInfo() || index == 0 || count == 0 || count < index || index > kMaxParts ||
      count > kMaxParts || record.Text().size() > kPartTextBytes)
    return -1;
  const int found = FindSlot(record);
  if (found < 0) return -1;
  Slot& slot = slots_[found];
  slot.used = 1;
  slot.received[index - 1] = 1;
  slot.reference = record.reference;
  slot.partCount = record.partCount;
  slot.time = record.Time();
  std::memcpy(slot.number, record.number, sizeof slot.number);
  std::memcpy(slot.serviceCentre, record.serviceCentre, sizeof slot.serviceCentre);
  SetFieldText(slot.partText[index - 1], record.Text());
  return found;
}

int PartAssembler::FindSlot(const SmsRecord& record) const {
  for (int i = 0; i < kAssemblerSlots; ++i) {
    const Slot& s = slots_[i];
    if (s.used && s.reference == record.reference && s.partCount == record.partCount &&
        !s.received[record.partIndex - 1] && FieldText(s.number) == record.Number())
      return i;
  }
  for (int i = 0; i < kAssemblerSlots; ++i)
    if (!slots_[i].used) return i;
  return -1;
}

bool PartAssembler::IsComplete(const Slot& slot) const {
  if (!slot.used || slot.partCount == 0) return false;
  for (int k = 0; k < slot.partCount; ++k)
    if (!slot.received[k]) return false;
  return true;
}

int PartAssembler::TakeComplete(SmsRecord& out) {
  out = ZeroSmsRecord();
  for (int i = 0; i < kAssemblerSlots; ++i) {
    const Slot& s = slots_[i];
    if (!IsComplete(s)) continue;
    out.flags = kSmsFlagNew | kSmsFlagJoined;
    out.status = RecUnread;
    out.reference = s.reference;
    out.time.Set(s.time);
    std::memcpy(out.number, s.number, sizeof out.number);
    std::memcpy(out.serviceCentre, s.serviceCentre, sizeof out.serviceCentre);
    std::size_t length = 0;
    for (int k = 0; k < s.partCount; ++k) {
      const std::string_view part = FieldText(s.partText[k]);
      std::memcpy(out.text + length, part.data(), part.size());
      length += part.size();
    }
    ClearSlot(i);
    return i;
  }
  return -1;
}

void PartAssembler::ClearSlot(int slot) {
  if (slot == kAllSlots) {
    for (int i = 0; i < kAssemblerSlots; ++i) ClearSlot(i);
    return;
  }
  if (slot < 0 || slot >= kAssemblerSlots) return;
  slots_[slot] = Slot{};
  slots_[slot].timerId = kFirstPartTimerId + slot;
}

int PartAssembler::ExpireSlot(int timerId, ExpiredParts& out) {
  out.count = 0;
  const int i = timerId - kFirstPartTimerId;
  if (i < 0 || i >= kAssemblerSlots || !slots_[i].used) return 0;
  const Slot& s = slots_[i];
  for (int k = 0; k < kMaxParts; ++k) {
    if (!s.received[k]) continue;
    SmsRecord& r = out.records[out.count++];
    r = ZeroSmsRecord();
    r.flags = kSmsFlagNew | kSmsFlagPartInfo;
    r.status = RecUnread;
    r.reference = s.reference;
    r.partIndex = static_cast<std::uint8_t>(k + 1);
    r.partCount = s.partCount;
    r.time.Set(s.time);
    std::memcpy(r.number, s.number, sizeof r.number);
    std::memcpy(r.serviceCentre, s.serviceCentre, sizeof r.serviceCentre);
    SetFieldText(r.text, FieldText(s.partText[k]));
  }
  ClearSlot(i);
  return out.count;
}

}  // namespace evdo::sms
