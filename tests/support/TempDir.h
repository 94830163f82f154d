#pragma once
// A fresh folder for one test, removed afterwards; optionally made the
// current directory, as the program keeps its files there.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "core/files/DataFile.h"

namespace evdo::testing {

class TempDir {
public:
  explicit TempDir(bool enter = false) {
    std::string templ = (std::filesystem::temp_directory_path() / "evdo-test-XXXXXX").string();
    path_ = ::mkdtemp(templ.data());
    if (enter) {
      old_ = std::filesystem::current_path();
      std::filesystem::current_path(path_);
    }
  }
  ~TempDir() {
    if (!old_.empty()) std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::permissions(path_, std::filesystem::perms::owner_all,
                                 std::filesystem::perm_options::add, ec);
    std::filesystem::remove_all(path_, ec);
  }
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(const std::string& name) const { return path_ + "/" + name; }

  void WriteFile(const std::string& name, const std::string& content) const {
    std::ofstream(File(name), std::ios::binary) << content;
  }
  std::string ReadFile(const std::string& name) const {
    std::ifstream in(File(name), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
  }
  Bytes ReadBytes(const std::string& name) const {
    std::string s = ReadFile(name);
    return Bytes(s.begin(), s.end());
  }

private:
  std::string path_;
  std::filesystem::path old_;
};

// Root ignores file permissions; tests of unwritable files need another user.
inline bool RunningAsRoot() { return ::geteuid() == 0; }

}  // namespace evdo::testing
