#include "tools/modemsim/SimulatedModem.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstring>
#include <future>

#include "tools/modemsim/ControlArgs.h"

namespace evdo::modemsim {

namespace {

constexpr std::size_t kReadChunk = 4096;
constexpr std::size_t kMaxControlLine = 8192;

void WriteAll(int fd, const std::string& text) {
  std::size_t done = 0;
  while (done < text.size()) {
    ssize_t n = ::send(fd, text.data() + done, text.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == ENOTSOCK) n = ::write(fd, text.data() + done, text.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    done += static_cast<std::size_t>(n);
  }
}

std::int64_t Nanos(OutputQueue::Clock::time_point time) {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(time.time_since_epoch()).count();
}

}  // namespace

SimulatedModem::SimulatedModem(SimulatedModemOptions options)
    : options_(std::move(options)), engine_(std::make_unique<ModemEngine>(static_cast<ModemOutput&>(*this))) {
  output_.SetTrace(&SimulatedModem::TraceOut, this);
  InstallControls();
}

SimulatedModem::~SimulatedModem() {
  Stop();
  for (Client& client : clients_) ::close(client.fd);
  if (listenFd_ >= 0) {
    ::close(listenFd_);
    ::unlink(options_.controlSocket.c_str());
  }
  if (wakeFd_ >= 0) ::close(wakeFd_);
  if (!options_.linkPath.empty()) ::unlink(options_.linkPath.c_str());
}

bool SimulatedModem::Open(std::string& error) {
  wakeFd_ = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
  if (wakeFd_ < 0) {
    error = std::string("eventfd: ") + std::strerror(errno);
    return false;
  }
  if (!Replug(error)) return false;
  if (!options_.controlSocket.empty() && !OpenControlSocket(error)) return false;
  stdinOpen_ = options_.controlOnStdio;
  return true;
}

bool SimulatedModem::Replug(std::string& error) {
  if (!pty_.Create(error)) return false;
  if (!options_.linkPath.empty()) {
    ::unlink(options_.linkPath.c_str());
    if (::symlink(pty_.SerialPath().c_str(), options_.linkPath.c_str()) != 0) {
      error = "symlink " + options_.linkPath + ": " + std::strerror(errno);
      return false;
    }
  }
  std::lock_guard lock(pathLock_);
  path_ = pty_.SerialPath();
  return true;
}

void SimulatedModem::HangUp() {
  pty_.Close();
  output_.Clear();
  engine_->PowerCycle();
  std::lock_guard lock(pathLock_);
  path_.clear();
}

bool SimulatedModem::OpenControlSocket(std::string& error) {
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (options_.controlSocket.size() >= sizeof address.sun_path) {
    error = "control socket path too long";
    return false;
  }
  std::memcpy(address.sun_path, options_.controlSocket.c_str(), options_.controlSocket.size() + 1);
  listenFd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
  if (listenFd_ < 0) {
    error = std::string("socket: ") + std::strerror(errno);
    return false;
  }
  // A socket another simulator still answers on is left alone; only a stale
  // one (nobody listening) is replaced.
  struct stat existing {};
  if (::lstat(options_.controlSocket.c_str(), &existing) == 0) {
    if (!S_ISSOCK(existing.st_mode)) {
      error = "control socket " + options_.controlSocket + ": exists and is not a socket";
      ::close(listenFd_);
      listenFd_ = -1;
      return false;
    }
    int probe = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    bool inUse = probe >= 0 && ::connect(probe, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0;
    if (probe >= 0) ::close(probe);
    if (inUse) {
      error = "control socket " + options_.controlSocket + " is in use by another simulator";
      ::close(listenFd_);
      listenFd_ = -1;
      return false;
    }
    ::unlink(options_.controlSocket.c_str());
  }
  if (::bind(listenFd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
      ::listen(listenFd_, 8) != 0) {
    error = "control socket " + options_.controlSocket + ": " + std::strerror(errno);
    ::close(listenFd_);
    listenFd_ = -1;
    return false;
  }
  return true;
}

std::string SimulatedModem::SerialPath() const {
  std::lock_guard lock(pathLock_);
  return path_;
}

void SimulatedModem::Send(OutputChunk chunk) {
  if (!pty_.IsOpen()) return;
  output_.Push(std::move(chunk), OutputQueue::Clock::now());
}

void SimulatedModem::InstallControls() {
  ControlTable& controls = engine_->Controls();
  controls.Add("hangup", "hangup                    pull the device out (the serial end hangs up)",
               [this](std::string_view) {
                 if (!pty_.IsOpen()) return ControlResult::Fail("already hung up");
                 HangUp();
                 return ControlResult{};
               });
  controls.Add("replug", "replug                    plug the device in again (prints the new path)",
               [this](std::string_view) {
                 if (pty_.IsOpen()) return ControlResult::Fail("still plugged in");
                 std::string error;
                 if (!Replug(error)) return ControlResult::Fail(error);
                 return ControlResult{true, "serial " + pty_.SerialPath() + "\n"};
               });
  controls.Add("flood", "flood COUNT RATE LINE     send LINE framed COUNT times, RATE bytes/s (0: as fast as possible)",
               [this](std::string_view args) {
                 std::vector<std::string_view> words = SplitWords(args);
                 int count = 0, rate = 0;
                 if (words.size() < 3 || !ParseNumber(words[0], 1, 100000000, count) ||
                     !ParseNumber(words[1], 0, 1000000000, rate)) {
                   return ControlResult::Fail("flood needs COUNT (1..100000000), RATE and a line");
                 }
                 std::string line, error;
                 std::size_t at = static_cast<std::size_t>(words[2].data() - args.data());
                 if (!DecodeEscapes(args.substr(at), line, error)) return ControlResult::Fail(error);
                 if (!pty_.IsOpen()) return ControlResult::Fail("hung up");
                 output_.StartFlood("\r\n" + line + "\r\n", static_cast<std::uint64_t>(count),
                                    static_cast<std::uint64_t>(rate), OutputQueue::Clock::now());
                 return ControlResult{};
               });
  controls.Add("stats", "stats                     traffic counters and the time of the last answer",
               [this](std::string_view) {
                 std::string out;
                 out += "serial " + pty_.SerialPath() + "\n";
                 out += "bytes-in " + std::to_string(engine_->BytesReceived()) + "\n";
                 out += "bytes-out " + std::to_string(output_.BytesSent()) + "\n";
                 out += "answers " + std::to_string(output_.AnswersSent()) + "\n";
                 out += "last-answer-ns " + std::to_string(Nanos(output_.LastAnswerSent())) + "\n";
                 out += "flood-remaining " + std::to_string(output_.FloodRemaining()) + "\n";
                 return ControlResult{true, out};
               });
  controls.Add("quit", "quit                      end the simulator", [this](std::string_view) {
    quit_ = true;
    return ControlResult{};
  });
}

void SimulatedModem::TraceOut(void* self, const char* bytes, std::size_t size) {
  static_cast<SimulatedModem*>(self)->Trace("->", bytes, size);
}

void SimulatedModem::Trace(const char* direction, const char* bytes, std::size_t size) {
  if (options_.trace == nullptr) return;
  std::fprintf(options_.trace, "%s %s\n", direction,
               EncodeEscapes(std::string_view(bytes, size)).c_str());
  std::fflush(options_.trace);
}

bool SimulatedModem::Start() {
  if (thread_.joinable()) return false;
  quit_ = false;
  {
    std::lock_guard lock(taskLock_);
    looping_ = true;
  }
  thread_ = std::thread(&SimulatedModem::Loop, this);
  return true;
}

void SimulatedModem::Run() {
  quit_ = false;
  {
    std::lock_guard lock(taskLock_);
    looping_ = true;
  }
  Loop();
}

void SimulatedModem::Stop() {
  quit_ = true;
  if (wakeFd_ >= 0) {
    std::uint64_t one = 1;
    [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
  }
  if (thread_.joinable()) thread_.join();
}

bool SimulatedModem::Post(std::function<void()> task) {
  {
    std::lock_guard lock(taskLock_);
    if (!looping_) return false;
    tasks_.push_back(std::move(task));
  }
  std::uint64_t one = 1;
  [[maybe_unused]] ssize_t n = ::write(wakeFd_, &one, sizeof one);
  return true;
}

void SimulatedModem::WithEngine(const std::function<void(ModemEngine&)>& work) {
  if (loopThread_.load() == std::this_thread::get_id()) {
    work(*engine_);
    return;
  }
  std::promise<void> done;
  std::future<void> finished = done.get_future();
  if (!Post([&] {
        work(*engine_);
        done.set_value();
      })) {
    // The loop does not run: nothing else touches the engine.
    work(*engine_);
    return;
  }
  finished.wait();
}

std::string SimulatedModem::Control(const std::string& line) {
  std::string reply;
  WithEngine([&](ModemEngine& engine) { reply = engine.Control(line); });
  return reply;
}

void SimulatedModem::RunTasks() {
  std::uint64_t count;
  [[maybe_unused]] ssize_t n = ::read(wakeFd_, &count, sizeof count);
  std::vector<std::function<void()>> tasks;
  {
    std::lock_guard lock(taskLock_);
    tasks.swap(tasks_);
  }
  for (auto& task : tasks) task();
}

void SimulatedModem::ReadSerial() {
  char buffer[kReadChunk];
  for (;;) {
    ssize_t n = ::read(pty_.MasterFd(), buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return;
    Trace("<-", buffer, static_cast<std::size_t>(n));
    engine_->OnReceived(std::string_view(buffer, static_cast<std::size_t>(n)));
    std::lock_guard lock(progressLock_);
    commandsReceived_ = engine_->CommandsReceived();
    progressChanged_.notify_all();
  }
}

bool SimulatedModem::WaitForCommands(std::uint64_t count, int timeoutMs) {
  std::unique_lock lock(progressLock_);
  return progressChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return commandsReceived_ >= count; });
}

bool SimulatedModem::WaitForAnswers(std::uint64_t count, int timeoutMs) {
  std::unique_lock lock(progressLock_);
  return progressChanged_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                                   [&] { return answersSent_ >= count; });
}

std::int64_t SimulatedModem::LastAnswerSentNanos() const {
  std::lock_guard lock(progressLock_);
  return lastAnswerNanos_;
}

void SimulatedModem::WriteSerial() {
  if (output_.WriteDue(pty_.MasterFd(), OutputQueue::Clock::now()) ==
      OutputQueue::WriteStatus::Failed) {
    output_.Clear();
  }
  std::lock_guard lock(progressLock_);
  if (answersSent_ != output_.AnswersSent()) {
    answersSent_ = output_.AnswersSent();
    lastAnswerNanos_ = Nanos(output_.LastAnswerSent());
    progressChanged_.notify_all();
  }
}

void SimulatedModem::AcceptClient() {
  for (;;) {
    int fd = ::accept4(listenFd_, nullptr, nullptr, SOCK_CLOEXEC);
    if (fd < 0) return;
    clients_.push_back(Client{fd, {}});
  }
}

// Runs every complete line of input; returns the replies.
std::string SimulatedModem::RunControlLines(std::string& input) {
  std::string replies;
  std::size_t end;
  while ((end = input.find('\n')) != std::string::npos) {
    std::string line = input.substr(0, end);
    input.erase(0, end + 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (line.find_first_not_of(" \t") == std::string::npos) continue;
    replies += engine_->Control(line);
  }
  if (input.size() > kMaxControlLine) {
    input.clear();
    replies += "ERROR control line too long\n";
  }
  return replies;
}

// False when the client has gone.
bool SimulatedModem::ServeClient(Client& client) {
  char buffer[kReadChunk];
  ssize_t n = ::read(client.fd, buffer, sizeof buffer);
  if (n < 0 && (errno == EINTR || errno == EAGAIN)) return true;
  if (n <= 0) return false;
  client.input.append(buffer, static_cast<std::size_t>(n));
  WriteAll(client.fd, RunControlLines(client.input));
  return true;
}

void SimulatedModem::ReadStdin() {
  char buffer[kReadChunk];
  ssize_t n = ::read(STDIN_FILENO, buffer, sizeof buffer);
  if (n < 0 && errno == EINTR) return;
  if (n <= 0) {
    // Without a terminal (or after end of input) the socket still serves.
    stdinOpen_ = false;
    return;
  }
  stdinInput_.append(buffer, static_cast<std::size_t>(n));
  WriteAll(STDOUT_FILENO, RunControlLines(stdinInput_));
}

void SimulatedModem::Loop() {
  loopThread_ = std::this_thread::get_id();
  std::vector<pollfd> fds;
  while (!quit_.load()) {
    auto now = OutputQueue::Clock::now();
    // The engine's timed work (rings, a far end that hangs up) runs first,
    // so that what it sends is written in this round.
    std::int64_t timerNanos = engine_->RunTimers(now);
    const bool serial = pty_.IsOpen();
    const bool due = serial && output_.HasDue(now);
    fds.clear();
    fds.push_back({wakeFd_, POLLIN, 0});
    fds.push_back({serial ? pty_.MasterFd() : -1, short(POLLIN | (due ? POLLOUT : 0)), 0});
    fds.push_back({listenFd_, POLLIN, 0});
    fds.push_back({stdinOpen_ ? STDIN_FILENO : -1, POLLIN, 0});
    fds.push_back({options_.quitFd, POLLIN, 0});
    for (const Client& client : clients_) fds.push_back({client.fd, POLLIN, 0});

    std::int64_t waitNanos = serial && !due ? output_.NanosUntilDue(now) : -1;
    if (timerNanos >= 0 && (waitNanos < 0 || timerNanos < waitNanos)) waitNanos = timerNanos;
    timespec timeout{static_cast<time_t>(waitNanos / 1000000000), static_cast<long>(waitNanos % 1000000000)};
    int ready = ::ppoll(fds.data(), fds.size(), waitNanos >= 0 ? &timeout : nullptr, nullptr);
    if (ready < 0 && errno != EINTR) break;
    if (ready <= 0) {
      if (pty_.IsOpen()) WriteSerial();
      continue;
    }
    if (fds[4].revents != 0) break;
    if (fds[0].revents != 0) RunTasks();
    if (pty_.IsOpen() && fds[1].fd == pty_.MasterFd()) {
      if ((fds[1].revents & POLLIN) != 0) ReadSerial();
      if (pty_.IsOpen()) WriteSerial();
    }
    if (fds[2].revents != 0) AcceptClient();
    if (fds[3].revents != 0) ReadStdin();
    for (std::size_t i = 5, c = 0; i < fds.size(); ++i) {
      if (fds[i].revents != 0 && !ServeClient(clients_[c])) {
        ::close(clients_[c].fd);
        clients_.erase(clients_.begin() + static_cast<std::ptrdiff_t>(c));
        continue;
      }
      ++c;
    }
  }
  {
    std::lock_guard lock(taskLock_);
    looping_ = false;
  }
  // Work posted before the loop ended still runs, so that no caller waits
  // for ever.
  RunTasks();
  loopThread_ = std::thread::id{};
}

}  // namespace evdo::modemsim
