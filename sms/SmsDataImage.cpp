#include "sms/SmsDataImage.h"

#include "core/files/RawRecord.h"

namespace evdo {

std::vector<std::string> SmsDataImage::Check(const Bytes& content) {
  if (content.size() < kSmsCountsSize)
    return {"holds " + std::to_string(content.size()) + " bytes, fewer than the " +
            std::to_string(kSmsCountsSize) + " bytes of the three message counts"};
  std::vector<std::string> problems;
  const SmsCounts counts = Counts(content);
  for (int box = 0; box < kSmsBoxCount; ++box) {
    if (counts[box] > kSmsBoxCapacity)
      problems.push_back(std::string(BoxName(box)) + " count " + std::to_string(counts[box]) +
                         " is above " + std::to_string(kSmsBoxCapacity));
  }
  const std::size_t expected = SizeFor(counts);
  if (content.size() != expected) {
    problems.push_back("holds " + std::to_string(content.size()) + " bytes but its counts " +
                       std::to_string(counts[0]) + ", " + std::to_string(counts[1]) + ", " +
                       std::to_string(counts[2]) + " announce " + std::to_string(expected) +
                       " bytes (" + (content.size() < expected ? "cut short" : "extra bytes at the end") +
                       ")");
  }
  return problems;
}

SmsCounts SmsDataImage::Counts(const Bytes& content) {
  SmsCounts counts{};
  for (int box = 0; box < kSmsBoxCount && content.size() >= kSmsCountsSize; ++box)
    counts[box] = ReadU16(content.data() + 2 * box);
  return counts;
}

SmsRecord SmsDataImage::RecordAt(const Bytes& content, const SmsCounts& counts, int box, int index) {
  std::size_t offset = kSmsCountsSize;
  for (int b = 0; b < box; ++b) offset += counts[b] * kSmsRecordSize;
  offset += static_cast<std::size_t>(index) * kSmsRecordSize;
  return ReadRecord<SmsRecord>(content.data() + offset);
}

void SmsDataImage::Encode(const SmsBoxRecords& boxes, Bytes& out) {
  out.clear();
  SmsCounts counts{};
  for (int box = 0; box < kSmsBoxCount; ++box) counts[box] = static_cast<std::uint16_t>(boxes[box].size());
  out.reserve(SizeFor(counts));
  for (auto count : counts) AppendU16(out, count);
  for (const auto& records : boxes) {
    const auto* p = reinterpret_cast<const std::uint8_t*>(records.data());
    out.insert(out.end(), p, p + records.size() * kSmsRecordSize);
  }
}

std::size_t SmsDataImage::SizeFor(const SmsCounts& counts) {
  return kSmsCountsSize +
         (static_cast<std::size_t>(counts[0]) + counts[1] + counts[2]) * kSmsRecordSize;
}

const char* SmsDataImage::BoxName(int box) {
  static const char* const kNames[] = {"Inbox", "Outbox", "Saved"};
  return box >= 0 && box < kSmsBoxCount ? kNames[box] : "";
}

}  // namespace evdo
