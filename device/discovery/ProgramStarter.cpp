#include "device/discovery/ProgramStarter.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace evdo {

bool StartDetachedProgram(const std::string& program, int* pid) {
  std::string name = program;
  char* argv[] = {name.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, name.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  if (pid != nullptr) *pid = child;
  try {
    std::thread([child] {
      while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
      }
    }).detach();
  } catch (const std::system_error&) {
    // No thread to collect it: the finished child stays a zombie until the
    // program ends, which is harmless. The program did start.
  }
  return true;
}

}  // namespace evdo
