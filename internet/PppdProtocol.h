#pragma once
// pppd as the dial-up service: the command line that dials a profile (the
// privileged options live in the installed peers file), the progress read
// from pppd's log lines, and its exit statuses as dial errors with texts.
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "internet/DialService.h"

namespace evdo {

// The peers file the install puts in /etc/ppp/peers.
constexpr const char* kPeersName = "evdo-dashboard";
constexpr const char* kPeersDir = "/etc/ppp/peers";
// The descriptor pppd's passwordfd plugin reads the password from.
constexpr int kPasswordFd = 3;
constexpr const char* kDataPortSpeed = "460800";
constexpr const char* kChatProgram = "/usr/sbin/chat";

// pppd's exit statuses.
constexpr int kPppdExitOk = 0;
constexpr int kPppdExitSignal = 5;   // ended by SIGTERM/SIGINT/SIGHUP: our hang-up
constexpr int kPppdExitMax = 19;

// Language strings of pppd's problems.
constexpr int kStrIdPppdMissing = 2101;
constexpr int kStrIdPppKernelMissing = 2102;
constexpr int kStrIdNotInDip = 2103;
constexpr int kStrIdPeersMissing = 2104;
constexpr int kStrIdDataPortMissing = 2105;
constexpr int kStrIdPppdNotStarted = 2106;
constexpr int kStrIdPppdExitBase = 2110;  // + exit status 1..19
constexpr int kStrIdPppdExitOther = 2130;
// The dial error of a pppd that could not be started (beyond its statuses).
constexpr int kDialErrorNotStarted = 200;

// The dial characters a number may hold on its way to the modem.
bool IsDialNumber(std::string_view number);
// A user name pppd can take as one argument (bounded, printable).
bool IsPlainArgument(std::string_view text, std::size_t maxLength);

// pppd's arguments (without the program) for request: the peers file,
// attached with its log on standard output, the data port, the user name,
// the password by descriptor kPasswordFd (never on the command line), the
// dial as a chat script, and the authentication to require. Empty when a
// value cannot be passed safely.
std::vector<std::string> PppdArguments(const DialRequest& request);

// The string of an exit status (0 for a clean end).
int PppdExitString(int status);

// Follows pppd's log: each line may move the dial forward.
class PppdLogReader {
public:
  // The dial events this line brings, in order (missing earlier phases of
  // the port and device are filled in; authentication only when it ran).
  std::vector<std::uint32_t> Feed(std::string_view line);
  // The start of the dial (pppd started).
  std::vector<std::uint32_t> Started();
  // The ppp interface pppd named ("ppp0"), empty until then.
  const std::string& Interface() const { return interface_; }
  bool Connected() const { return last_ == kDialConnected; }
  std::uint32_t Last() const { return last_; }

private:
  void Reach(std::uint32_t state, std::vector<std::uint32_t>& out);
  std::uint32_t last_ = kDialDisconnected;  // nothing yet
  bool started_ = false;
  std::string interface_;
};

// The position of a dial state in the order of the events (for ordering).
int DialOrder(std::uint32_t state);

// Reads an unsigned counter file of the kernel's statistics ("123\n").
std::optional<std::uint64_t> ParseCounter(std::string_view text);

}  // namespace evdo
