// evdo-modemsim: a simulated modem on a pseudo-terminal. Prints the path of
// its serial end, then takes control commands on stdin and on a control
// socket until "quit", end of the process (Ctrl-C) or SIGTERM.
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <string>

#include "tools/modemsim/SimulatedModem.h"

namespace {

void Usage(std::FILE* to) {
  std::fprintf(to,
               "usage: evdo-modemsim [--control SOCKET] [--link PATH] [--trace] [--help]\n"
               "  --control SOCKET  control socket path (default /tmp/evdo-modemsim-PID.sock)\n"
               "  --link PATH       make PATH a symbolic link to the serial end\n"
               "  --trace           show the serial traffic on stderr\n"
               "  --help            print this and end\n"
               "It prints the path of its serial end, then takes control commands on stdin and on\n"
               "the control socket (\"help\" lists them).\n");
}

}  // namespace

int main(int argc, char** argv) {
  evdo::modemsim::SimulatedModemOptions options;
  options.controlOnStdio = true;
  options.controlSocket = "/tmp/evdo-modemsim-" + std::to_string(::getpid()) + ".sock";
  for (int i = 1; i < argc; ++i) {
    std::string arg = argv[i];
    if (arg == "--control" && i + 1 < argc) options.controlSocket = argv[++i];
    else if (arg == "--link" && i + 1 < argc) options.linkPath = argv[++i];
    else if (arg == "--trace") options.trace = stderr;
    else if (arg == "--help" || arg == "-h") {
      Usage(stdout);
      return 0;
    } else {
      std::fprintf(stderr, "evdo-modemsim: %s %s\n", arg.c_str(),
                   arg == "--control" || arg == "--link" ? "needs a value" : "is no option");
      Usage(stderr);
      return 2;
    }
  }
  sigset_t signals;
  sigemptyset(&signals);
  sigaddset(&signals, SIGINT);
  sigaddset(&signals, SIGTERM);
  sigaddset(&signals, SIGHUP);
  ::sigprocmask(SIG_BLOCK, &signals, nullptr);
  options.quitFd = ::signalfd(-1, &signals, SFD_CLOEXEC);
  ::signal(SIGPIPE, SIG_IGN);

  evdo::modemsim::SimulatedModem modem(options);
  std::string error;
  if (!modem.Open(error)) {
    std::fprintf(stderr, "evdo-modemsim: %s\n", error.c_str());
    return 1;
  }
  std::printf("%s\n", modem.SerialPath().c_str());
  std::printf("control socket %s; type help for the control commands\n",
              options.controlSocket.c_str());
  std::fflush(stdout);
  modem.Run();
  return 0;
}
