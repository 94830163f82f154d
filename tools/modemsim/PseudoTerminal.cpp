#include "tools/modemsim/PseudoTerminal.h"

#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>

namespace evdo::modemsim {

bool PseudoTerminal::Create(std::string& error) {
  Close();
  auto fail = [&](const char* what) {
    error = std::string(what) + ": " + std::strerror(errno);
    Close();
    return false;
  };
  master_ = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
  if (master_ < 0) return fail("posix_openpt");
  if (::grantpt(master_) != 0 || ::unlockpt(master_) != 0) return fail("unlockpt");
  char name[128];
  if (::ptsname_r(master_, name, sizeof name) != 0) return fail("ptsname");
  int flags = ::fcntl(master_, F_GETFL);
  if (flags < 0 || ::fcntl(master_, F_SETFL, flags | O_NONBLOCK) != 0) return fail("fcntl");
  serial_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
  if (serial_ < 0) return fail("open serial end");
  termios tio{};
  if (::tcgetattr(serial_, &tio) != 0) return fail("tcgetattr");
  ::cfmakeraw(&tio);
  ::cfsetspeed(&tio, B460800);
  if (::tcsetattr(serial_, TCSANOW, &tio) != 0) return fail("tcsetattr");
  path_ = name;
  return true;
}

void PseudoTerminal::Close() {
  if (master_ >= 0) ::close(master_);
  if (serial_ >= 0) ::close(serial_);
  master_ = -1;
  serial_ = -1;
  path_.clear();
}

}  // namespace evdo::modemsim
