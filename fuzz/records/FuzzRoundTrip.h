#pragma once
// Every loader accepts or refuses bytes without crashing, and what it
// accepts it writes back byte for byte.
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "core/files/DataFile.h"

namespace evdo::fuzz {

inline void ExpectSame(const Bytes& written, const std::uint8_t* data, std::size_t size) {
  if (written.size() != size || (size && std::memcmp(written.data(), data, size) != 0)) std::abort();
}

}  // namespace evdo::fuzz
