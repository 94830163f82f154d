#pragma once
// Talks to a running simulated modem through its control socket: sends one
// command line and reads the reply up to its "OK" or "ERROR ..." line.
#include <string>

namespace evdo::modemsim {

class ControlClient {
public:
  ControlClient() = default;
  ~ControlClient() { Close(); }
  ControlClient(const ControlClient&) = delete;
  ControlClient& operator=(const ControlClient&) = delete;

  bool Connect(const std::string& socketPath, std::string& error);
  void Close();
  // The whole reply, ending in "OK\n" or an "ERROR ...\n" line; "" when the
  // connection failed.
  std::string Command(const std::string& line);

private:
  int fd_ = -1;
  std::string pending_;
};

// The value of the line "name value" in a reply, or "".
std::string ReplyField(const std::string& reply, const std::string& name);

}  // namespace evdo::modemsim
