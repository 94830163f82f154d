#include "tools/modemsim/ControlClient.h"

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

namespace evdo::modemsim {

bool ControlClient::Connect(const std::string& socketPath, std::string& error) {
  Close();
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  if (socketPath.size() >= sizeof address.sun_path) {
    error = "socket path too long";
    return false;
  }
  std::memcpy(address.sun_path, socketPath.c_str(), socketPath.size() + 1);
  fd_ = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd_ < 0 || ::connect(fd_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0) {
    error = socketPath + ": " + std::strerror(errno);
    Close();
    return false;
  }
  return true;
}

void ControlClient::Close() {
  if (fd_ >= 0) ::close(fd_);
  fd_ = -1;
  pending_.clear();
}

namespace {

// True when text holds a complete reply: a line "OK" or "ERROR ...".
bool ReplyComplete(const std::string& text, std::size_t& end) {
  std::size_t start = 0;
  while (start < text.size()) {
    std::size_t newline = text.find('\n', start);
    if (newline == std::string::npos) return false;
    std::string_view line(text.data() + start, newline - start);
    if (line == "OK" || line.rfind("ERROR", 0) == 0) {
      end = newline + 1;
      return true;
    }
    start = newline + 1;
  }
  return false;
}

}  // namespace

std::string ControlClient::Command(const std::string& line) {
  if (fd_ < 0) return "";
  std::string request = line + "\n";
  std::size_t done = 0;
  while (done < request.size()) {
    ssize_t n = ::send(fd_, request.data() + done, request.size() - done, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return "";
    done += static_cast<std::size_t>(n);
  }
  std::size_t end = 0;
  char buffer[4096];
  while (!ReplyComplete(pending_, end)) {
    ssize_t n = ::read(fd_, buffer, sizeof buffer);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return "";
    pending_.append(buffer, static_cast<std::size_t>(n));
  }
  std::string reply = pending_.substr(0, end);
  pending_.erase(0, end);
  return reply;
}

std::string ReplyField(const std::string& reply, const std::string& name) {
  std::string key = name + " ";
  std::size_t start = 0;
  while (start < reply.size()) {
    std::size_t newline = reply.find('\n', start);
    if (newline == std::string::npos) newline = reply.size();
    if (reply.compare(start, key.size(), key) == 0) {
      return reply.substr(start + key.size(), newline - start - key.size());
    }
    start = newline + 1;
  }
  return "";
}

}  // namespace evdo::modemsim
