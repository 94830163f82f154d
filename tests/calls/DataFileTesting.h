#pragma once
// Helpers for the tests of the stores: a fresh folder for one test's data
// files, files built by hand, failing saves and damaged files.
#include <gtest/gtest.h>

#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "core/files/DataFile.h"

namespace evdo::testing {

class TempDir {
public:
  TempDir() {
    std::string pattern = (std::filesystem::temp_directory_path() / "evdo-records-XXXXXX").string();
    path_ = ::mkdtemp(pattern.data());
  }
  ~TempDir() {
    std::error_code ec;
    std::filesystem::remove_all(path_, ec);
  }
  std::string File(const std::string& name) const { return (std::filesystem::path(path_) / name).string(); }
  const std::string& Path() const { return path_; }

private:
  std::string path_;
};

inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteBytes(const std::string& path, const Bytes& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}

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
  EXPECT_EQ(r.status, LoadStatus::Failed);
  EXPECT_NE(r.error.find(std::filesystem::path(path).filename().string() + ".damaged"), std::string::npos) << r.error;
  EXPECT_EQ(ReadBytes(path + ".damaged"), bad);
}

}  // namespace evdo::testing
