#include "device/discovery/ProgramStarter.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <thread>

extern char** environ;

namespace evdo {

bool StartDetachedProgram(const std::string& program, int* pid) {
  std::string name = program;
  char* argv[] = {name.data(), nullptr};
  pid_t child = 0;
  if (posix_spawnp(&child, name.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  if (pid != nullptr) *pid = child;
  std::thread([child] {
    while (waitpid(child, nullptr, 0) < 0 && errno == EINTR) {
    }
  }).detach();
  return true;
}

}  // namespace evdo
