#pragma once
// The dial-up service on Linux: pppd, started attached by the user (a member
// of the group "dip") with the installed peers file for the privileged
// options. Its log lines on standard output give the dial's progress; its
// exit status ends the session; the kernel's statistics of its ppp
// interface give the byte counters. The password reaches pppd through a
// pipe (the passwordfd plugin), never a command line or a file.
#include <sys/types.h>

#include <atomic>
#include <chrono>
#include <list>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "internet/DialService.h"
#include "internet/PppdProtocol.h"

namespace evdo {

struct PppdConfig {
  std::string program = "/usr/sbin/pppd";
  std::string peersDir = kPeersDir;
  std::string devPpp = "/dev/ppp";
  std::string sysClassNet = "/sys/class/net";
  std::string dialGroup = "dip";
  std::uint32_t lineSpeed = 460800;  // bits per second, the data port's speed
  int terminateGraceMs = 5000;       // SIGTERM, then SIGKILL after this
  // The configuration of this system: the program from the environment
  // variable EVDO_PPPD (a stand-in for tests), else the system's pppd.
  static PppdConfig FromEnvironment();
};

class PppdDialer final : public DialService {
public:
  explicit PppdDialer(PppdConfig config = PppdConfig::FromEnvironment());
  ~PppdDialer() override;
  PppdDialer(const PppdDialer&) = delete;
  PppdDialer& operator=(const PppdDialer&) = delete;

  int Preflight(const DialRequest& request) override;
  std::uint32_t Dial(const DialRequest& request, WindowPort& window, int& error) override;
  std::uint32_t Status(std::uint32_t session) const override;
  bool Statistics(std::uint32_t session, LinkSample& sample) override;
  void HangUp(std::uint32_t session) override;
  int ErrorString(int error) const override;

  const PppdConfig& Config() const { return config_; }
  // The process id of session's pppd (0 when it has ended), for tests.
  pid_t ProcessOf(std::uint32_t session) const;

private:
  struct Session;
  void Read(Session& s);
  Session* Find(std::uint32_t id) const;
  void Reap();

  PppdConfig config_;
  mutable std::mutex mutex_;
  std::list<std::unique_ptr<Session>> sessions_;
  std::uint32_t nextId_ = 1;
};

}  // namespace evdo
