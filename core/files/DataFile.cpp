#include "core/files/DataFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <filesystem>

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

LoadResult DataFile::Read(const std::string& path, Bytes& content) {
  content.clear();
  struct stat st{};
  if (::stat(path.c_str(), &st) != 0) {
    if (errno == ENOENT) return {LoadStatus::Missing, {}};
    return {LoadStatus::Failed, SystemError("cannot read", path)};
  }
  if (!S_ISREG(st.st_mode)) return {LoadStatus::Failed, path + " is not a regular file"};
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return {LoadStatus::Failed, SystemError("cannot open", path)};
  std::uint8_t buf[65536];
  for (;;) {
    ssize_t n = ::read(fd, buf, sizeof buf);
    if (n < 0) {
      if (errno == EINTR) continue;
      std::string err = SystemError("cannot read", path);
      ::close(fd);
      content.clear();
      return {LoadStatus::Failed, err};
    }
    if (n == 0) break;
    content.insert(content.end(), buf, buf + n);
  }
  ::close(fd);
  return {LoadStatus::Loaded, {}};
}

FileResult DataFile::Write(const std::string& path, const void* data, std::size_t size, FileAccess access) {
  struct stat st{};
  mode_t mode = 0644;
  if (::stat(path.c_str(), &st) == 0) {
    // Clear read-only: the owner may always write its data files.
    mode = (st.st_mode & 07777) | S_IWUSR;
    ::chmod(path.c_str(), mode);
  }
  // A file that keeps passwords is its owner's alone, also when an older
  // copy was readable by others.
  if (access == FileAccess::OwnerOnly) mode = S_IRUSR | S_IWUSR;
  std::string temp = path + ".saving";
  ::unlink(temp.c_str());  // a leftover could carry wider permissions
  int fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_TRUNC | O_CLOEXEC, mode);
  if (fd < 0) return FileResult::Fail(SystemError("cannot write", path));
  if (access == FileAccess::OwnerOnly && ::fchmod(fd, mode) != 0) {
    std::string err = SystemError("cannot protect", path);
    ::close(fd);
    ::unlink(temp.c_str());
    return FileResult::Fail(err);
  }
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
