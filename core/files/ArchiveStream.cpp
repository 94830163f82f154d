#include "core/files/ArchiveStream.h"

#include <cstring>
#include <limits>

#include "core/files/RawRecord.h"

namespace evdo {

void ArchiveWriter::WriteInt32(std::int32_t v) { AppendI32(out_, v); }

void ArchiveWriter::WriteDouble(double v) {
  std::uint8_t b[8];
  std::memcpy(b, &v, 8);
  out_.insert(out_.end(), b, b + 8);
}

void ArchiveWriter::WriteDateTime(const DateTime& t) {
  WriteInt32(t.GetStatus());
  WriteDouble(t.Value());
}

bool ArchiveWriter::WriteSeconds(std::int64_t seconds) {
  if (seconds < std::numeric_limits<std::int32_t>::min() ||
      seconds > std::numeric_limits<std::int32_t>::max()) {
    if (ok_) error_ = "a duration of " + std::to_string(seconds) + " seconds does not fit the file";
    ok_ = false;
    return false;
  }
  WriteInt32(static_cast<std::int32_t>(seconds));
  return true;
}

bool ArchiveReader::ReadInt32(std::int32_t& v) {
  if (Remaining() < 4) return false;
  v = ReadI32(p_);
  p_ += 4;
  return true;
}

bool ArchiveReader::ReadUInt32(std::uint32_t& v) {
  std::int32_t s;
  if (!ReadInt32(s)) return false;
  v = static_cast<std::uint32_t>(s);
  return true;
}

bool ArchiveReader::ReadDouble(double& v) {
  if (Remaining() < 8) return false;
  std::memcpy(&v, p_, 8);
  p_ += 8;
  return true;
}

bool ArchiveReader::ReadDateTime(DateTime& t) {
  std::int32_t status;
  double value;
  if (Remaining() < 12 || !ReadInt32(status) || !ReadDouble(value)) return false;
  t = DateTime(value, status);
  return true;
}

bool ArchiveReader::ReadSeconds(std::int64_t& seconds) {
  std::int32_t v;
  if (!ReadInt32(v)) return false;
  seconds = v;
  return true;
}

}  // namespace evdo
