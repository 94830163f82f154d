#include "app/ProcessStats.h"

#include <unistd.h>

#include <fstream>
#include <sstream>
#include <string>

namespace evdo {

std::int64_t ProcessAgeMs() {
  std::ifstream stat("/proc/self/stat");
  std::string text;
  std::getline(stat, text);
  // Fields after the command name (which may hold blanks) start after ')'.
  std::size_t close = text.rfind(')');
  if (close == std::string::npos) return -1;
  std::istringstream fields(text.substr(close + 2));
  std::string field;
  unsigned long long startTicks = 0;
  for (int i = 3; i <= 22 && fields >> field; ++i)
    if (i == 22) startTicks = std::stoull(field);
  double uptime = 0;
  std::ifstream("/proc/uptime") >> uptime;
  long ticks = ::sysconf(_SC_CLK_TCK);
  if (startTicks == 0 || uptime <= 0 || ticks <= 0) return -1;
  return static_cast<std::int64_t>(uptime * 1000.0) -
         static_cast<std::int64_t>(startTicks * 1000ULL / static_cast<unsigned long long>(ticks));
}

std::int64_t ResidentKb() {
  std::ifstream status("/proc/self/status");
  std::string line;
  while (std::getline(status, line)) {
    if (line.rfind("VmRSS:", 0) != 0) continue;
    std::istringstream value(line.substr(6));
    std::int64_t kb = -1;
    value >> kb;
    return kb;
  }
  return -1;
}

}  // namespace evdo
