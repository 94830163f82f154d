#include "device/discovery/ProgramStarter.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cerrno>
#include <system_error>
#include <thread>

extern char** environ;

namespace evdo {

bool StartDetachedProgram(const std::string& program, int* pid) {
  return StartDetachedProgram(std::vector<std::string>{program}, pid);
}

bool StartDetachedProgram(const std::vector<std::string>& args, int* pid) {
  if (args.empty() || args[0].empty()) return false;
  std::vector<std::string> copies = args;
  std::vector<char*> argv;
  argv.reserve(copies.size() + 1);
  for (std::string& arg : copies) argv.push_back(arg.data());
  argv.push_back(nullptr);
  pid_t child = 0;
  if (posix_spawnp(&child, argv[0], nullptr, nullptr, argv.data(), environ) != 0) return false;
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
