#pragma once
// The common rules of the data files: load a file in one pass when it exists,
// save the whole content so that an interrupted save never destroys the old
// file, and set a damaged file aside instead of overwriting it. The result
// types here are the ones every store gives back: LoadResult for a load,
// ChangeResult for a change, FileResult for one file operation.
#include <cstdint>
#include <string>
#include <vector>

namespace evdo {

using Bytes = std::vector<std::uint8_t>;

// Why a file operation failed, for callers that tell the user more than
// "could not be written".
enum class FileFault {
  None,
  Io,        // the system refused or failed (permission, full disk, I/O error)
  Link,      // the chosen path is a symbolic link: not replaced
  ReadOnly,  // the chosen file is read-only: not replaced
  Refused,   // the store refuses saves (its file could not be read or set aside)
};

struct FileResult {
  bool ok = true;
  std::string error;  // what went wrong, with the file name, when !ok
  FileFault fault = FileFault::None;
  static FileResult Ok() { return {}; }
  static FileResult Fail(std::string message, FileFault fault = FileFault::Io) {
    return {false, std::move(message), fault};
  }
  explicit operator bool() const { return ok; }
};

// Missing: no file, the store keeps its defaults. Damaged: the content was
// refused; the file was set aside (keptAs) unless that failed too. Unreadable:
// the file is there but could not be read (permission, I/O error, too many
// open files, not a regular file); it is left where it is and never saved
// over.
enum class LoadStatus { Missing, Loaded, Damaged, Unreadable };

struct LoadResult {
  LoadStatus status = LoadStatus::Missing;
  std::string error;   // Damaged, Unreadable: what was wrong, with the file name
  std::string keptAs;  // Damaged: where the file was kept; "" when it could not be moved
  bool Failed() const { return status == LoadStatus::Damaged || status == LoadStatus::Unreadable; }
  explicit operator bool() const { return status == LoadStatus::Loaded; }
};

// The outcome of a change to a store. changed: memory holds the change;
// saved: the save that followed (ok when none was needed), or, with fault
// None, why the change was refused. Stores that keep
// memory and file equal undo the change when the save fails (changed false);
// the others keep it and the next successful save writes it. message: the
// number of the language string the window shows when the change was refused
// or not saved, 0 when the store has none of its own.
struct ChangeResult {
  bool changed = false;
  FileResult saved;
  int message = 0;

  static ChangeResult Saved(FileResult saved) { return {true, std::move(saved), 0}; }
  static ChangeResult Refused(std::string why, int message = 0) {
    return {false, FileResult::Fail(std::move(why), FileFault::None), message};
  }
  const std::string& Error() const { return saved.error; }
  // The change was made and is on disk.
  explicit operator bool() const { return changed && saved.ok; }
};

// Who may read a saved file: everyone the folder lets (as the file was), or
// its owner alone (files that keep passwords).
enum class FileAccess { Shared, OwnerOnly };

class DataFile {
public:
  static bool Exists(const std::string& path);

  // A ceiling for files whose format has none of its own.
  static constexpr std::size_t kDefaultMaxBytes = std::size_t{16} << 20;

  // Reads the whole file. Missing: content is left empty. A file larger than
  // maxBytes is Damaged without being read. A file that exists but cannot be
  // read is Unreadable.
  static LoadResult Read(const std::string& path, Bytes& content, std::size_t maxBytes = kDefaultMaxBytes);

  // Writes content as the file's new content. The bytes go to a temporary
  // file in the same folder ("<name>.saving", created afresh, never through
  // a link), are flushed to disk, and the temporary file is renamed over the
  // old one: the old content survives any interruption. A read-only store
  // file is replaced, as the stores have always cleared the read-only mark;
  // the new file is writable by its owner.
  static FileResult Write(const std::string& path, const void* data, std::size_t size,
                          FileAccess access = FileAccess::Shared);
  static FileResult Write(const std::string& path, const Bytes& content, FileAccess access = FileAccess::Shared) {
    return Write(path, content.data(), content.size(), access);
  }

  // As Write, for a path the user chose (exports): a path that is a symbolic
  // link (fault Link) or a read-only file (fault ReadOnly) is refused and left
  // as it is.
  static FileResult WriteChosen(const std::string& path, const void* data, std::size_t size);

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
