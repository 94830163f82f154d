#pragma once
// The layout of "SmsData.dat": no header; the three message counts as
// unsigned 16-bit little-endian values (inbox, outbox, saved), then the valid
// records of the inbox, of the outbox and of the saved box, 1644 bytes each.
#include <array>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "core/files/DataFile.h"
#include "sms/SmsRecord.h"

namespace evdo {

constexpr const char* kSmsDataFile = "SmsData.dat";
constexpr int kSmsBoxCapacity = 500;
constexpr std::size_t kSmsCountsSize = 6;
// The largest file the format allows: three full boxes.
constexpr std::size_t kSmsMaxFileSize = kSmsCountsSize + std::size_t{kSmsBoxCount} * kSmsBoxCapacity * kSmsRecordSize;

using SmsCounts = std::array<std::uint16_t, kSmsBoxCount>;
using SmsBoxRecords = std::array<std::span<const SmsRecord>, kSmsBoxCount>;

class SmsDataImage {
public:
  // Every reason to refuse content: too short for the counts, a count above
  // 500, a size other than the counts announce. Empty when it is sound.
  static std::vector<std::string> Check(const Bytes& content);

  // The counts and records of content that Check accepts.
  static SmsCounts Counts(const Bytes& content);
  static SmsRecord RecordAt(const Bytes& content, const SmsCounts& counts, int box, int index);

  // The file content for the given boxes (each at most 500 records).
  static void Encode(const SmsBoxRecords& boxes, Bytes& out);

  static std::size_t SizeFor(const SmsCounts& counts);
  static const char* BoxName(int box);
};

}  // namespace evdo
