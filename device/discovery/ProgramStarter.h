#pragma once
// Starting a companion program (a bare name is looked up in PATH) without
// waiting for it.
#include <functional>
#include <string>
#include <vector>

namespace evdo {

// Starts argv[0] with the arguments that follow; true when it was started.
// The caller never waits for it.
using ProgramStarter = std::function<bool(const std::vector<std::string>& argv)>;

// Starts program as a child process and returns at once; a helper thread
// collects the child's exit status so that it leaves no zombie behind. False
// when the program cannot be started (for instance it is not installed).
// pid, when given, receives the started process's id.
bool StartDetachedProgram(const std::vector<std::string>& argv, int* pid = nullptr);
// The program alone, without parameters.
bool StartDetachedProgram(const std::string& program, int* pid = nullptr);

}  // namespace evdo
