#include "platform/pppd/PppdDialer.h"

#include <fcntl.h>
#include <grp.h>
#include <poll.h>
#include <signal.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <vector>

namespace evdo {

struct PppdDialer::Session {
  std::uint32_t id = 0;
  pid_t pid = 0;
  int out = -1;  // pppd's standard output and error
  WindowPort* window = nullptr;
  std::thread reader;
  std::atomic<std::uint32_t> state{0};  // 0 until pppd starts
  std::atomic<bool> ended{false};
  std::atomic<bool> hangUp{false};
  std::chrono::steady_clock::time_point hangUpAt;
  std::chrono::steady_clock::time_point connectedAt;
  std::string interface;  // guarded by the dialer's mutex
  int exitStatus = -1;
};

PppdConfig PppdConfig::FromEnvironment() {
  PppdConfig c;
  if (const char* p = std::getenv("EVDO_PPPD"); p != nullptr && *p != '\0') c.program = p;
  if (const char* p = std::getenv("EVDO_PPPD_SYSFS"); p != nullptr && *p != '\0') c.sysClassNet = p;
  if (const char* p = std::getenv("EVDO_PPPD_PEERS"); p != nullptr && *p != '\0') c.peersDir = p;
  if (const char* p = std::getenv("EVDO_PPPD_DEVPPP"); p != nullptr && *p != '\0') c.devPpp = p;
  return c;
}

PppdDialer::PppdDialer(PppdConfig config) : config_(std::move(config)) {}

PppdDialer::~PppdDialer() {
  std::list<std::unique_ptr<Session>> sessions;
  {
    std::lock_guard lock(mutex_);
    for (auto& s : sessions_) {
      if (!s->ended.load() && !s->hangUp.exchange(true)) {
        s->hangUpAt = std::chrono::steady_clock::now();
        if (s->pid > 0) ::kill(s->pid, SIGTERM);
      }
      s->window = nullptr;
    }
    sessions.swap(sessions_);
  }
  for (auto& s : sessions)
    if (s->reader.joinable()) s->reader.join();
}

namespace {

bool InGroup(const std::string& name) {
  if (::geteuid() == 0) return true;
  struct group* g = ::getgrnam(name.c_str());
  if (g == nullptr) return false;
  if (::getegid() == g->gr_gid) return true;
  std::vector<gid_t> groups(256);
  int n = ::getgroups(static_cast<int>(groups.size()), groups.data());
  for (int i = 0; i < n; ++i)
    if (groups[static_cast<std::size_t>(i)] == g->gr_gid) return true;
  return false;
}

bool Exists(const std::string& path) {
  struct stat st {};
  return ::stat(path.c_str(), &st) == 0;
}

std::optional<std::uint64_t> ReadCounter(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  char buffer[32];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  if (n <= 0) return std::nullopt;
  return ParseCounter(std::string_view(buffer, static_cast<std::size_t>(n)));
}

}  // namespace

int PppdDialer::Preflight(const DialRequest& request) {
  if (::access(config_.program.c_str(), X_OK) != 0) return kStrIdPppdMissing;
  if (!Exists(config_.devPpp)) return kStrIdPppKernelMissing;
  if (!InGroup(config_.dialGroup)) return kStrIdNotInDip;
  if (!Exists(config_.peersDir + "/" + kPeersName)) return kStrIdPeersMissing;
  if (request.dataPort.empty() || !Exists(request.dataPort)) return kStrIdDataPortMissing;
  return 0;
}

int PppdDialer::ErrorString(int error) const {
  if (error == kDialErrorNotStarted) return kStrIdPppdNotStarted;
  return PppdExitString(error);
}

void PppdDialer::Reap() {
  // With the mutex held: forget the sessions whose reader has finished.
  for (auto it = sessions_.begin(); it != sessions_.end();) {
    if ((*it)->ended.load() && (*it)->reader.joinable()) {
      (*it)->reader.join();
      it = sessions_.erase(it);
    } else {
      ++it;
    }
  }
}

std::uint32_t PppdDialer::Dial(const DialRequest& request, WindowPort& window, int& error) {
  error = 0;
  std::vector<std::string> args = PppdArguments(request);
  if (args.empty()) {
    error = kDialErrorNotStarted;
    return 0;
  }
  int out[2];
  int secret[2] = {-1, -1};
  if (::pipe2(out, O_CLOEXEC) != 0) {
    error = kDialErrorNotStarted;
    return 0;
  }
  if (!request.password.empty()) {
    if (::pipe2(secret, O_CLOEXEC) != 0) {
      ::close(out[0]);
      ::close(out[1]);
      error = kDialErrorNotStarted;
      return 0;
    }
    // A password of at most 256 bytes fits the pipe: the write never blocks.
    ssize_t w = ::write(secret[1], request.password.data(), request.password.size());
    ::close(secret[1]);
    if (w != static_cast<ssize_t>(request.password.size())) {
      ::close(secret[0]);
      ::close(out[0]);
      ::close(out[1]);
      error = kDialErrorNotStarted;
      return 0;
    }
  }
  std::vector<char*> argv;
  argv.push_back(const_cast<char*>(config_.program.c_str()));
  for (auto& a : args) argv.push_back(a.data());
  argv.push_back(nullptr);

  const pid_t pid = ::fork();
  if (pid == 0) {
    // The child: standard output and error to the log pipe, the password
    // pipe as descriptor 3, nothing else of the dashboard.
    ::dup2(out[1], 1);
    ::dup2(out[1], 2);
    if (secret[0] >= 0) {
      ::dup2(secret[0], kPasswordFd);
    } else {
      ::close(kPasswordFd);
    }
    int devnull = ::open("/dev/null", O_RDONLY);
    if (devnull >= 0) {
      ::dup2(devnull, 0);
      if (devnull > kPasswordFd) ::close(devnull);
    }
    ::setpgid(0, 0);
    ::execv(argv[0], argv.data());
    ::_exit(127);
  }
  ::close(out[1]);
  if (secret[0] >= 0) ::close(secret[0]);
  if (pid < 0) {
    ::close(out[0]);
    error = kDialErrorNotStarted;
    return 0;
  }
  std::lock_guard lock(mutex_);
  Reap();
  auto s = std::make_unique<Session>();
  s->id = nextId_++;
  if (nextId_ == 0 || nextId_ > 0x7FFFFF) nextId_ = 1;
  s->pid = pid;
  s->out = out[0];
  s->window = &window;
  Session* raw = s.get();
  sessions_.push_back(std::move(s));
  raw->reader = std::thread([this, raw] { Read(*raw); });
  return raw->id;
}

void PppdDialer::Read(Session& s) {
  PppdLogReader log;
  auto post = [this, &s](std::uint32_t state, int error) {
    std::lock_guard lock(mutex_);
    if (s.window != nullptr) s.window->PostMessage(kMsgDialEvent, state, DialEventLParam(s.id, error));
  };
  for (std::uint32_t e : log.Started()) {
    s.state = e;
    post(e, 0);
  }
  std::string pending;
  char buffer[4096];
  bool open = true;
  while (open) {
    if (s.hangUp.load() && std::chrono::steady_clock::now() - s.hangUpAt >
                                std::chrono::milliseconds(config_.terminateGraceMs)) {
      ::kill(s.pid, SIGKILL);
    }
    pollfd p{s.out, POLLIN, 0};
    int r = ::poll(&p, 1, 200);
    if (r < 0 && errno == EINTR) continue;
    if (r == 0) continue;
    ssize_t n = ::read(s.out, buffer, sizeof buffer);
    if (n <= 0) {
      if (n < 0 && errno == EINTR) continue;
      open = false;
      n = 0;
    }
    pending.append(buffer, static_cast<std::size_t>(n));
    std::size_t at;
    while ((at = pending.find('\n')) != std::string::npos || (!open && !pending.empty())) {
      std::string line = pending.substr(0, at == std::string::npos ? pending.size() : at);
      pending.erase(0, at == std::string::npos ? pending.size() : at + 1);
      for (std::uint32_t e : log.Feed(line)) {
        if (e == kDialConnected) {
          std::lock_guard lock(mutex_);
          s.interface = log.Interface();
          s.connectedAt = std::chrono::steady_clock::now();
        }
        s.state = e;
        post(e, 0);
      }
    }
  }
  ::close(s.out);
  int status = 0;
  pid_t w;
  do {
    w = ::waitpid(s.pid, &status, 0);
  } while (w < 0 && errno == EINTR);
  int exitStatus = WIFEXITED(status) ? WEXITSTATUS(status) : kPppdExitSignal;
  if (w < 0) exitStatus = 1;
  if (exitStatus == 127) exitStatus = kDialErrorNotStarted;
  s.exitStatus = exitStatus;
  s.state = 0;
  {
    std::lock_guard lock(mutex_);
    s.pid = 0;
    if (s.window != nullptr && !s.hangUp.load())
      s.window->PostMessage(kMsgDialEvent, kDialDisconnected, DialEventLParam(s.id, exitStatus & 0xFF));
  }
  s.ended = true;
}

PppdDialer::Session* PppdDialer::Find(std::uint32_t id) const {
  for (auto& s : sessions_)
    if (s->id == id) return s.get();
  return nullptr;
}

std::uint32_t PppdDialer::Status(std::uint32_t session) const {
  std::lock_guard lock(mutex_);
  Session* s = Find(session);
  if (s == nullptr || s->ended.load() || s->hangUp.load()) return 0;
  return s->state.load();
}

bool PppdDialer::Statistics(std::uint32_t session, LinkSample& sample) {
  std::string dir;
  std::chrono::steady_clock::time_point since;
  {
    std::lock_guard lock(mutex_);
    Session* s = Find(session);
    if (s == nullptr || s->ended.load() || s->state.load() != kDialConnected || s->interface.empty()) return false;
    dir = config_.sysClassNet + "/" + s->interface + "/statistics/";
    since = s->connectedAt;
  }
  auto tx = ReadCounter(dir + "tx_bytes");
  auto rx = ReadCounter(dir + "rx_bytes");
  if (!tx || !rx) return false;
  // The sample's counters are 32-bit, as the page's texts and log records.
  sample.bytesSent = static_cast<std::uint32_t>(*tx);
  sample.bytesReceived = static_cast<std::uint32_t>(*rx);
  sample.lineSpeed = config_.lineSpeed;
  const auto ms =
      std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - since).count();
  sample.connectDurationMs = static_cast<std::uint32_t>(ms > 0 ? ms : 1);
  return true;
}

void PppdDialer::HangUp(std::uint32_t session) {
  std::lock_guard lock(mutex_);
  Session* s = Find(session);
  if (s == nullptr || s->ended.load() || s->hangUp.exchange(true)) return;
  s->hangUpAt = std::chrono::steady_clock::now();
  s->window = nullptr;  // the page has finished with this session
  if (s->pid > 0) ::kill(s->pid, SIGTERM);
}

pid_t PppdDialer::ProcessOf(std::uint32_t session) const {
  std::lock_guard lock(mutex_);
  Session* s = Find(session);
  return s == nullptr ? 0 : s->pid;
}

}  // namespace evdo
