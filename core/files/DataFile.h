#pragma once
// The common rules of the data files: load a file in one pass when it exists,
// save the whole content so that an interrupted save never destroys the old
// file, and set a damaged file aside instead of overwriting it.
#include <cstdint>
#include <string>
#include <vector>

namespace evdo {

using Bytes = std::vector<std::uint8_t>;

struct FileResult {
  bool ok = true;
  std::string error;  // what went wrong, with the file name, when !ok
  static FileResult Ok() { return {}; }
  static FileResult Fail(std::string message) { return {false, std::move(message)}; }
  explicit operator bool() const { return ok; }
};

enum class LoadStatus { Missing, Loaded, Failed };

struct LoadResult {
  LoadStatus status = LoadStatus::Missing;
  std::string error;
};

// Who may read a saved file: everyone the folder lets (as the file was), or
// its owner alone (files that keep passwords).
enum class FileAccess { Shared, OwnerOnly };

class DataFile {
public:
  static bool Exists(const std::string& path);

  // Reads the whole file. Missing: content is left empty.
  static LoadResult Read(const std::string& path, Bytes& content);

  // Writes content as the file's new content. The bytes go to a temporary
  // file in the same folder, are flushed to disk, and the temporary file is
  // renamed over the old one: the old content survives any interruption. A
  // read-only file is made writable first, as the stores have always done.
  static FileResult Write(const std::string& path, const void* data, std::size_t size,
                          FileAccess access = FileAccess::Shared);
  static FileResult Write(const std::string& path, const Bytes& content, FileAccess access = FileAccess::Shared) {
    return Write(path, content.data(), content.size(), access);
  }

  // Keeps a file that failed to load under a new name beside it
  // ("<name>.damaged", or "<name>.damaged-2" up to "-100" when taken) so
  // that nothing is overwritten. Returns the new path, or "" when the rename
  // failed or every name is taken.
  static constexpr int kSetAsideNames = 100;
  static std::string SetAside(const std::string& path);

  // Test hook: when set, Write calls it after the temporary file is complete
  // and before the rename; returning false aborts the save there, as a crash
  // would.
  using BeforeRenameHook = bool (*)(const std::string& tempPath);
  static void SetBeforeRenameHook(BeforeRenameHook hook);
};

}  // namespace evdo
