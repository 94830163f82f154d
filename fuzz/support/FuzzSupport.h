#pragma once
// Small helpers shared by the fuzz targets: a failed property stops the run
// with the reason, and a scratch folder lives for the whole process.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/files/DataFile.h"

namespace evdo::fuzz {

[[noreturn]] inline void Fail(const char* what) {
  std::fprintf(stderr, "property broken: %s\n", what);
  std::abort();
}

inline void Require(bool condition, const char* what) {
  if (!condition) Fail(what);
}

// A folder of its own for this process, removed at exit. It is made in
// memory (/dev/shm) when there is one: the stores flush every save to disk.
inline const std::string& ScratchDir() {
  static const std::string* dir = [] {
    const std::filesystem::path base =
        std::filesystem::is_directory("/dev/shm") ? "/dev/shm" : std::filesystem::temp_directory_path();
    std::string templ = (base / "evdo-fuzz-XXXXXX").string();
    if (::mkdtemp(templ.data()) == nullptr) Fail("no scratch folder");
    auto* kept = new std::string(templ);  // lives until the exit handler below
    std::atexit([] {
      std::error_code ec;
      std::filesystem::remove_all(ScratchDir(), ec);
    });
    return kept;
  }();
  return *dir;
}

// A path in the scratch folder, emptied of any earlier file and set-aside
// copies of it.
inline std::string FreshPath(const std::string& name) {
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator(ScratchDir(), ec))
    if (entry.path().filename().string().rfind(name, 0) == 0) std::filesystem::remove(entry.path(), ec);
  return ScratchDir() + "/" + name;
}

inline Bytes ReadAll(const std::string& path) {
  Bytes content;
  DataFile::Read(path, content);
  return content;
}

inline void WriteAll(const std::string& path, const Bytes& content) {
  if (!DataFile::Write(path, content)) Fail("cannot write a scratch file");
}

// Lines of text split at LF (a CR before it stays), at most max.
inline std::vector<std::string_view> SplitLines(std::string_view text, std::size_t max = SIZE_MAX) {
  std::vector<std::string_view> lines;
  while (!text.empty() && lines.size() < max) {
    const std::size_t end = text.find('\n');
    lines.push_back(text.substr(0, end));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }
  return lines;
}

}  // namespace evdo::fuzz
