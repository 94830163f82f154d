#pragma once
// Starting a companion program by its bare name (looked up in PATH), with no
// parameters, without waiting for it.
#include <functional>
#include <string>

namespace evdo {

// Starts program; true when it was started. The caller never waits for it.
using ProgramStarter = std::function<bool(const std::string& program)>;

// Starts program as a child process and returns at once; a helper thread
// collects the child's exit status so that it leaves no zombie behind. False
// when the program cannot be started (for instance it is not installed).
// pid, when given, receives the started process's id.
bool StartDetachedProgram(const std::string& program, int* pid = nullptr);

}  // namespace evdo
