#include "app/PortCheck.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstring>

namespace evdo {
namespace {

std::string ErrnoText(int error) {
  std::string text = std::strerror(error);
  if (!text.empty()) text[0] = static_cast<char>(std::tolower(static_cast<unsigned char>(text[0])));
  return text;
}

}  // namespace

bool CheckPortPath(const std::string& path, std::string& reason) {
  struct stat info {};
  if (::stat(path.c_str(), &info) != 0) {
    reason = ErrnoText(errno);
    return false;
  }
  if (S_ISDIR(info.st_mode)) {
    reason = "a folder, not a terminal device";
    return false;
  }
  if (!S_ISCHR(info.st_mode)) {
    reason = "not a terminal device";
    return false;
  }
  // Opened without becoming the controlling terminal and without waiting
  // for a carrier; closed again at once.
  int fd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) {
    reason = ErrnoText(errno);
    return false;
  }
  bool terminal = ::isatty(fd) == 1;
  ::close(fd);
  if (!terminal) {
    reason = "not a terminal device";
    return false;
  }
  return true;
}

}  // namespace evdo
