#pragma once
// The archive stream encoding of the connection logs: fields one after the
// other, with no header, tag or schema number.
//   32-bit integer: 4 bytes little-endian (also the record count)
//   date-time value: 32-bit status, then the 8-byte IEEE double
//   seconds: signed 32-bit; a value that does not fit cannot be stored
#include <cstdint>
#include <string>

#include "core/files/DataFile.h"
#include "core/time/DateTime.h"

namespace evdo {

class ArchiveWriter {
public:
  void WriteInt32(std::int32_t v);
  void WriteUInt32(std::uint32_t v) { WriteInt32(static_cast<std::int32_t>(v)); }
  void WriteDouble(double v);
  void WriteDateTime(const DateTime& t);
  // Fails (and the whole save must fail) when seconds does not fit 32 bits.
  bool WriteSeconds(std::int64_t seconds);

  const Bytes& Content() const { return out_; }
  bool Ok() const { return ok_; }
  const std::string& Error() const { return error_; }

private:
  Bytes out_;
  bool ok_ = true;
  std::string error_;
};

class ArchiveReader {
public:
  ArchiveReader(const std::uint8_t* data, std::size_t size) : p_(data), end_(data + size) {}
  explicit ArchiveReader(const Bytes& b) : ArchiveReader(b.data(), b.size()) {}

  // Each read fails (returns false) when the stream ends before the field.
  bool ReadInt32(std::int32_t& v);
  bool ReadUInt32(std::uint32_t& v);
  bool ReadDouble(double& v);
  bool ReadDateTime(DateTime& t);
  bool ReadSeconds(std::int64_t& seconds);  // sign-extended

  std::size_t Remaining() const { return static_cast<std::size_t>(end_ - p_); }
  bool AtEnd() const { return p_ == end_; }

private:
  const std::uint8_t* p_;
  const std::uint8_t* end_;
};

}  // namespace evdo
