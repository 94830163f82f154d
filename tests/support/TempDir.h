#pragma once
// The one scratch folder of the tests: a fresh folder (mkdtemp, so two test
// runs at once never share one), removed afterwards; optionally made the
// current directory for its life, as the program keeps its files there.
// Beside it the whole-file reads and writes that do not go through the code
// under test.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <stdexcept>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"

namespace evdo::test {

// The whole file as bytes or text; empty when it cannot be read.
inline Bytes ReadBytes(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
inline std::string ReadText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

// Replaces the file with content.
inline void WriteBytes(const std::string& path, const Bytes& content) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(reinterpret_cast<const char*>(content.data()), static_cast<std::streamsize>(content.size()));
}
inline void WriteText(const std::string& path, std::string_view text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out.write(text.data(), static_cast<std::streamsize>(text.size()));
}

class TempDir {
public:
  // enter: make it the current directory until the folder goes.
  explicit TempDir(bool enter = false) {
    std::string pattern = (std::filesystem::temp_directory_path() / "evdo-test-XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) throw std::runtime_error("mkdtemp failed for " + pattern);
    path_ = pattern;
    if (enter) {
      old_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~TempDir() {
    std::error_code ec;
    if (!old_.empty()) std::filesystem::current_path(old_, ec);
    // A test may have taken its own rights away to provoke a failure.
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all, std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return (std::filesystem::path(path_) / name).string(); }
  std::string operator/(std::string_view name) const { return File(name); }

  void WriteFile(std::string_view name, std::string_view content) const { WriteText(File(name), content); }
  std::string ReadFile(std::string_view name) const { return ReadText(File(name)); }
  void WriteBytes(std::string_view name, const Bytes& content) const { test::WriteBytes(File(name), content); }
  Bytes ReadBytes(std::string_view name) const { return test::ReadBytes(File(name)); }

private:
  std::string path_;
  std::filesystem::path old_;
};

// Root ignores file permissions; tests of unwritable files need another user.
inline bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace evdo::test
