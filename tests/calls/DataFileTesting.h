#pragma once
// Helpers for the tests of the stores: files built by hand, failing saves
// and damaged files. Scratch folders: tests/support/TempDir.h.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/DataFile.h"
#include "tests/support/TempDir.h"

namespace evdo::test {

// Little-endian pieces for building files by hand.
inline void PutLe(Bytes& b, std::uint64_t v, int width) {
  for (int i = 0; i < width; ++i) b.push_back(static_cast<std::uint8_t>(v >> (8 * i)));
}
inline void PutDouble(Bytes& b, double d) {
  std::uint64_t bits;
  static_assert(sizeof bits == sizeof d);
  __builtin_memcpy(&bits, &d, 8);
  PutLe(b, bits, 8);
}
inline void PutText(Bytes& b, const std::string& text, std::size_t width) {
  for (std::size_t i = 0; i < width; ++i) b.push_back(i < text.size() ? static_cast<std::uint8_t>(text[i]) : 0);
}

// Makes DataFile::Write fail before its rename while alive, as a full disk
// or a crash would.
class FailingSaves {
public:
  FailingSaves() { DataFile::SetBeforeRenameHook([](const std::string&) { return false; }); }
  ~FailingSaves() { DataFile::SetBeforeRenameHook(nullptr); }
};

// A damaged file for a parameterised test.
struct BadFile {
  const char* what;
  Bytes content;
};
inline void PrintTo(const BadFile& f, std::ostream* os) { *os << f.what; }
inline std::string BadFileName(const ::testing::TestParamInfo<BadFile>& info) { return info.param.what; }

// The load refused the file, said where it was kept, and kept it unchanged.
inline void ExpectSetAside(const LoadResult& r, const std::string& path, const Bytes& bad) {
  EXPECT_EQ(r.status, LoadStatus::Damaged);
  EXPECT_EQ(r.keptAs, path + ".damaged");
  EXPECT_NE(r.error.find(std::filesystem::path(path).filename().string() + ".damaged"), std::string::npos) << r.error;
  EXPECT_EQ(ReadBytes(path + ".damaged"), bad);
}

}  // namespace evdo::test
