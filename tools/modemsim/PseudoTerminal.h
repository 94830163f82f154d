#pragma once
// A pseudo-terminal pair: the simulated modem keeps the master end, the
// program under test opens the serial end by its path. The serial end is
// made raw and kept open here as well, so that the master survives the
// program closing and reopening it. Closing the master is a hang-up: the
// serial end then reports POLLHUP and EIO, as a tty whose device was pulled
// out.
#include <string>

namespace evdo::modemsim {

class PseudoTerminal {
public:
  PseudoTerminal() = default;
  ~PseudoTerminal() { Close(); }
  PseudoTerminal(const PseudoTerminal&) = delete;
  PseudoTerminal& operator=(const PseudoTerminal&) = delete;

  bool Create(std::string& error);
  void Close();
  bool IsOpen() const { return master_ >= 0; }
  int MasterFd() const { return master_; }
  // The simulator's own descriptor of the serial end (for its settings).
  int SerialFd() const { return serial_; }
  const std::string& SerialPath() const { return path_; }

private:
  int master_ = -1;
  int serial_ = -1;
  std::string path_;
};

}  // namespace evdo::modemsim
