#pragma once
// Raw records are written byte for byte as they sit in memory: the records
// are packed structs of little-endian integers and fixed text fields.
#include <bit>
#include <cstdint>
#include <cstring>
#include <type_traits>

#include "core/files/DataFile.h"

namespace evdo {

static_assert(std::endian::native == std::endian::little,
              "the data files are little-endian and are written as they sit in memory");

template <class Record>
void AppendRecord(Bytes& out, const Record& r) {
  static_assert(std::is_trivially_copyable_v<Record>);
  // Grow, then copy: gcc 12 at -O2 takes the range insert into an empty
  // vector for an overflow (a false stringop-overflow warning).
  const std::size_t at = out.size();
  out.resize(at + sizeof(Record));
  std::memcpy(out.data() + at, &r, sizeof(Record));
}

template <class Record>
Record ReadRecord(const std::uint8_t* p) {
  static_assert(std::is_trivially_copyable_v<Record>);
  Record r;
  std::memcpy(&r, p, sizeof(Record));
  return r;
}

inline void AppendU16(Bytes& out, std::uint16_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
  out.push_back(static_cast<std::uint8_t>(v >> 8));
}

inline std::uint16_t ReadU16(const std::uint8_t* p) {
  return static_cast<std::uint16_t>(p[0] | (p[1] << 8));
}

inline void AppendI32(Bytes& out, std::int32_t v) {
  auto u = static_cast<std::uint32_t>(v);
  for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(u >> (8 * i)));
}

inline std::int32_t ReadI32(const std::uint8_t* p) {
  return static_cast<std::int32_t>(static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
                                   (static_cast<std::uint32_t>(p[2]) << 16) |
                                   (static_cast<std::uint32_t>(p[3]) << 24));
}

}  // namespace evdo
