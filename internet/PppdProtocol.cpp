#include "internet/PppdProtocol.h"

#include <cstring>

namespace evdo {

bool IsDialNumber(std::string_view number) {
  if (number.empty() || number.size() > 128) return false;
  for (char c : number) {
    if ((c >= '0' && c <= '9') || c == '#' || c == '*' || c == '+' || c == ',' || c == 'p' || c == 'P' ||
        c == 'w' || c == 'W' || c == 't' || c == 'T')
      continue;
    return false;
  }
  return true;
}

bool IsPlainArgument(std::string_view text, std::size_t maxLength) {
  if (text.size() > maxLength) return false;
  for (unsigned char c : text)
    if (c < 0x20 || c == 0x7F) return false;
  return true;
}

std::vector<std::string> PppdArguments(const DialRequest& request) {
  if (!IsDialNumber(request.phoneNumber) || !IsPlainArgument(request.userName, 256) ||
      !IsPlainArgument(request.dataPort, 255) || request.dataPort.empty() || request.dataPort[0] != '/')
    return {};
  std::vector<std::string> args = {"call", kPeersName, "nodetach", "debug", request.dataPort, kDataPortSpeed};
  if (!request.userName.empty()) {
    args.push_back("user");
    args.push_back(request.userName);
  }
  if (!request.password.empty()) {
    args.push_back("passwordfd");
    args.push_back(std::to_string(kPasswordFd));
  }
  // The number passes the dial-character check above, so the shell that runs
  // the connect script sees no quoting of its own.
  args.push_back("connect");
  args.push_back(std::string(kChatProgram) +
                 " -s -v ABORT BUSY ABORT 'NO CARRIER' ABORT ERROR ABORT 'NO ANSWER' TIMEOUT 45 '' ATZ OK ATD" +
                 request.phoneNumber + " CONNECT ''");
  if (request.authType == 0) {
    args.push_back("refuse-pap");
  } else if (request.authType == 1) {
    for (const char* o : {"refuse-chap", "refuse-mschap", "refuse-mschap-v2", "refuse-eap"}) args.push_back(o);
  }
  return args;
}

int PppdExitString(int status) {
  if (status == kPppdExitOk) return 0;
  if (status >= 1 && status <= kPppdExitMax) return kStrIdPppdExitBase + status;
  return kStrIdPppdExitOther;
}

int DialOrder(std::uint32_t state) {
  switch (state) {
    case kDialOpenPort: return 0;
    case kDialPortOpened: return 1;
    case kDialConnectDevice: return 2;
    case kDialDeviceConnected: return 3;
    case kDialAuthenticate: return 4;
    case kDialAuthenticated: return 5;
    case kDialConnected: return 6;
    default: return -1;
  }
}

void PppdLogReader::Reach(std::uint32_t state, std::vector<std::uint32_t>& out) {
  const int target = DialOrder(state);
  const int last = DialOrder(last_);
  if (target <= last) return;
  // The port and device phases come in order even when pppd said nothing
  // of some of them.
  for (std::uint32_t s : {kDialOpenPort, kDialPortOpened, kDialConnectDevice, kDialDeviceConnected}) {
    const int o = DialOrder(s);
    if (o > last && o < target) out.push_back(s);
  }
  out.push_back(state);
  last_ = state;
}

std::vector<std::uint32_t> PppdLogReader::Started() {
  std::vector<std::uint32_t> out;
  if (!started_) {
    started_ = true;
    Reach(kDialOpenPort, out);
  }
  return out;
}

std::vector<std::uint32_t> PppdLogReader::Feed(std::string_view line) {
  std::vector<std::uint32_t> out;
  auto has = [line](const char* what) { return line.find(what) != std::string_view::npos; };
  auto starts = [line](const char* what) { return line.substr(0, std::strlen(what)) == what; };
  if (!started_) Started();
  if (const auto at = line.find("Using interface "); at != std::string_view::npos) {
    interface_ = std::string(line.substr(at + 16));
    while (!interface_.empty() && (interface_.back() == '\r' || interface_.back() == ' ')) interface_.pop_back();
  } else if (starts("Connect: ppp")) {
    const auto end = line.find(' ', 9);
    interface_ = std::string(line.substr(9, end == std::string_view::npos ? std::string_view::npos : end - 9));
  }
  if (has("send (ATD")) {
    Reach(kDialConnectDevice, out);
  } else if (has("send (AT") || starts("abort on (") || starts("timeout set to")) {
    Reach(kDialPortOpened, out);
  } else if (has("Serial connection established") || starts("CONNECT")) {
    Reach(kDialDeviceConnected, out);
  } else if (has("[CHAP Challenge") || has("[CHAP Response") || has("[PAP AuthReq")) {
    Reach(kDialAuthenticate, out);
  } else if (has("CHAP authentication succeeded") || has("PAP authentication succeeded")) {
    Reach(kDialAuthenticated, out);
  } else if (starts("local  IP address") || starts("local IP address")) {
    Reach(kDialConnected, out);
  }
  return out;
}

std::optional<std::uint64_t> ParseCounter(std::string_view text) {
  std::uint64_t v = 0;
  std::size_t i = 0;
  for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
    if (v > (UINT64_MAX - 9) / 10) return std::nullopt;
    v = v * 10 + static_cast<std::uint64_t>(text[i] - '0');
  }
  if (i == 0) return std::nullopt;
  for (; i < text.size(); ++i)
    if (text[i] != '\n' && text[i] != ' ') return std::nullopt;
  return v;
}

}  // namespace evdo
