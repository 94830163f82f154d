#include "core/files/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <optional>

namespace evdo {
namespace {

std::atomic<DataFile::BeforeRenameHook> g_beforeRename{nullptr};

std::string SystemError(const std::string& what, const std::string& path) {
  return what + " " + path + ": " + std::strerror(errno);
}

std::string FolderOf(const std::string& path) {
  auto parent = std::filesystem::path(path).parent_path();
  return parent.empty() ? std::string(".") : parent.string();
}

bool WriteAll(int fd, const std::uint8_t* p, std::size_t size) {
  while (size > 0) {
    ssize_t n = ::write(fd, p, size);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    p += n;
    size -= static_cast<std::size_t>(n);
  }
  return true;
}

}  // namespace

bool DataFile::Exists(const std::string& path) {
  struct stat st{};
  return ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

LoadResult DataFile::Read(const std::string& path, Bytes& content, std::size_t maxBytes) {
  content.clear();
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK);
  if (fd < 0) {
    if (errno == ENOENT) return {LoadStatus::Missing, {}, {}};
    return {LoadStatus::Unreadable, SystemError("cannot open", path), {}};
  }
  struct stat st{};
  if (::fstat(fd, &st) != 0) {
    std::string err = SystemError("cannot read", path);
    ::close(fd);
    return {LoadStatus::Unreadable, err, {}};
  }
  if (!S_ISREG(st.st_mode)) {
    ::close(fd);
    return {LoadStatus::Unreadable, path + " is not a regular file", {}};
  }
  // Refused before it is read: a file far beyond its format is damaged, and
  // reading it whole would only cost memory.
  if (static_cast<std::uint64_t>(st.st_size) > maxBytes) {
    ::close(fd);
    return {LoadStatus::Damaged,
            path + " holds " + std::to_string(st.st_size) + " bytes, more than the " + std::to_string(maxBytes) +
                " bytes its format allows",
            {}};
  }
  content.reserve(static_cast<std::size_t>(st.st_size));
  std::uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      std::string err = SystemError("cannot read", path);
      ::close(fd);
      content.clear();
      return {LoadStatus::Unreadable, err, {}};
    }
    if (n == 0) break;
    if (content.size() + static_cast<std::size_t>(n) > maxBytes) {  // grew while being read
      ::close(fd);
      content.clear();
      return {LoadStatus::Damaged, path + " holds more than the " + std::to_string(maxBytes) +
                                       " bytes its format allows", {}};
    }
    content.insert(content.end(), buf, buf + n);
  }
  ::close(fd);
  return {LoadStatus::Loaded, {}, {}};
}

namespace {

// Creates the temporary file of a save: exclusively and never through a
// link. A temporary file left by an interrupted save (or anything else under
// that name, a link included) is removed first; unlink never follows a link.
int CreateTemporary(const std::string& temp, mode_t mode) {
  constexpr int kFlags = O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC;
  int fd = ::open(temp.c_str(), kFlags, mode);
  if (fd < 0 && errno == EEXIST && ::unlink(temp.c_str()) == 0) fd = ::open(temp.c_str(), kFlags, mode);
  return fd;
}

// mode: that of the file replaced, kept as it was (else 0644 under the umask).
FileResult WriteReplacing(const std::string& path, const void* data, std::size_t size, std::optional<mode_t> mode) {
  std::string temp = path + ".saving";
  int fd = CreateTemporary(temp, mode.value_or(0644));
  if (fd < 0) return FileResult::Fail(SystemError("cannot write", path));
  if (mode) ::fchmod(fd, *mode);
  bool ok = WriteAll(fd, static_cast<const std::uint8_t*>(data), size) && ::fsync(fd) == 0;
  std::string err = ok ? std::string() : SystemError("cannot write", path);
  if (::close(fd) != 0 && ok) {
    ok = false;
    err = SystemError("cannot write", path);
  }
  if (ok) {
    if (auto hook = g_beforeRename.load(); hook && !hook(temp)) {
      ::unlink(temp.c_str());
      return FileResult::Fail("save of " + path + " interrupted");
    }
    if (::rename(temp.c_str(), path.c_str()) != 0) {
      ok = false;
      err = SystemError("cannot replace", path);
    }
  }
  if (!ok) {
    ::unlink(temp.c_str());
    return FileResult::Fail(err);
  }
  int dir = ::open(FolderOf(path).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (dir >= 0) {
    ::fsync(dir);
    ::close(dir);
  }
  return FileResult::Ok();
}

}  // namespace

FileResult DataFile::Write(const std::string& path, const void* data, std::size_t size, FileAccess access) {
  // The new file keeps the old one's permissions, writable by its owner (the
  // stores clear the read-only mark). The old file is not touched: the rename
  // replaces it, and a link in its place is replaced, never followed.
  struct stat st{};
  std::optional<mode_t> mode;
  if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode)) mode = (st.st_mode & 0777) | S_IWUSR;
  // A file that keeps passwords is its owner's alone, also when an older copy
  // was readable by others.
  if (access == FileAccess::OwnerOnly) mode = S_IRUSR | S_IWUSR;
  return WriteReplacing(path, data, size, mode);
}

FileResult DataFile::WriteChosen(const std::string& path, const void* data, std::size_t size) {
  struct stat st{};
  std::optional<mode_t> mode;
  if (::lstat(path.c_str(), &st) == 0) {
    if (S_ISLNK(st.st_mode))
      return FileResult::Fail(path + " is a symbolic link; it is not replaced", FileFault::Link);
    if (!S_ISREG(st.st_mode)) return FileResult::Fail(path + " is not a regular file", FileFault::Io);
    if ((st.st_mode & S_IWUSR) == 0 || ::access(path.c_str(), W_OK) != 0)
      return FileResult::Fail(path + " is read-only; it is not replaced", FileFault::ReadOnly);
    mode = st.st_mode & 0777;
  }
  return WriteReplacing(path, data, size, mode);
}

std::string DataFile::SetAside(const std::string& path) {
  // RENAME_NOREPLACE: an earlier damaged copy is never overwritten.
  for (int i = 1; i <= kSetAsideNames; ++i) {
    std::string target = path + ".damaged" + (i == 1 ? std::string() : "-" + std::to_string(i));
    if (::renameat2(AT_FDCWD, path.c_str(), AT_FDCWD, target.c_str(), RENAME_NOREPLACE) == 0)
      return target;
    if (errno != EEXIST) return {};
  }
  return {};
}

void DataFile::SetBeforeRenameHook(BeforeRenameHook hook) { g_beforeRename.store(hook); }

}  // namespace evdo
