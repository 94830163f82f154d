// The cost of the Internet page's statistics tick on the user-interface
// thread: the connection's status, the kernel's counters of an interface
// (two files under /sys/class/net), the texts, the labels and the indicator
// messages, as one tick a second does it.
//
//   internet-tick-benchmark [TICKS] [INTERFACE]
#include <QApplication>

#include <fcntl.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "internet/ConnProfile.h"
#include "internet/PppdProtocol.h"
#include "internet/ui/InternetDlg.h"

namespace evdo {
namespace {

std::uint64_t Counter(const std::string& path) {
  int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return 0;
  char buffer[32];
  ssize_t n = ::read(fd, buffer, sizeof buffer);
  ::close(fd);
  return n > 0 ? ParseCounter(std::string_view(buffer, static_cast<std::size_t>(n))).value_or(0) : 0;
}

// A connected session whose samples are the kernel's counters of iface.
struct KernelDial : DialService {
  std::string dir;
  std::uint32_t ms = 0;
  WindowPort* window = nullptr;
  int Preflight(const DialRequest&) override { return 0; }
  std::uint32_t Dial(const DialRequest&, WindowPort& w, int&) override {
    window = &w;
    return 1;
  }
  std::uint32_t Status(std::uint32_t) const override { return kDialConnected; }
  bool Statistics(std::uint32_t, LinkSample& s) override {
    s.bytesSent = static_cast<std::uint32_t>(Counter(dir + "tx_bytes"));
    s.bytesReceived = static_cast<std::uint32_t>(Counter(dir + "rx_bytes"));
    s.lineSpeed = 460800;
    s.connectDurationMs = (ms += 1000);
    return true;
  }
  void HangUp(std::uint32_t) override {}
  int ErrorString(int) const override { return 0; }
};

struct NoWlan : WlanBackend {
  WlanSnapshot Snapshot() override { return {kWlanServiceMissing, {}, {}}; }
  void Connect(const WlanInterfaceInfo&, const WlanNetworkInfo&, bool, WindowPort&, MessageId) override {}
  void Disconnect(const WlanInterfaceInfo&) override {}
};

struct NoRecords : ConnectionRecords {
  void AddTotals(std::int32_t, std::int32_t, std::int32_t) override {}
  void AppendLog(const LogRecord&) override {}
  int CheckLimit(std::int64_t, std::uint64_t, std::uint64_t) override { return 0; }
  void NewConnection() override {}
  std::string TakeProblem() override { return {}; }
};

}  // namespace
}  // namespace evdo

int main(int argc, char** argv) {
  using namespace evdo;
  qputenv("QT_QPA_PLATFORM", qgetenv("QT_QPA_PLATFORM").isEmpty() ? "offscreen" : qgetenv("QT_QPA_PLATFORM"));
  QApplication app(argc, argv);
  const int ticks = argc > 1 ? std::atoi(argv[1]) : 2000;
  const std::string iface = argc > 2 ? argv[2] : "lo";
  char folder[] = "/tmp/evdo-tick-XXXXXX";
  if (::mkdtemp(folder) == nullptr || ::chdir(folder) != 0) return 1;
  CConnProfile profiles;
  profiles.LoadOrReset();
  KernelDial dial;
  dial.dir = "/sys/class/net/" + iface + "/statistics/";
  NoWlan wlan;
  NoRecords records;
  CInternetDlg page(nullptr, profiles, dial, wlan, records);
  page.show();
  page.Logic().Connect(kConnType3G);
  page.Logic().OnMessage(kMsgDialEvent, kDialConnected, DialEventLParam(1, 0));
  QApplication::processEvents();
  const auto start = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) {
    page.OnTimer(kTimerStatistics);
    QApplication::processEvents();  // the posted indicator and image messages
  }
  const double us =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / ticks;
  std::printf("statistics tick on the user-interface thread: %.1f us per tick (%d ticks, counters of %s)\n", us,
              ticks, iface.c_str());
  const auto refreshStart = std::chrono::steady_clock::now();
  for (int i = 0; i < ticks; ++i) page.OnTimer(kTimerPageRefresh);
  const double refreshUs =
      std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - refreshStart).count() / ticks;
  std::printf("page refresh (wireless LAN state, dial check): %.1f us per tick\n", refreshUs);
  std::printf("goal: under 1000 us a second while connected (one tick of each a second)\n");
  page.Logic().HangUp();
  std::filesystem::remove_all(folder);
  return us + refreshUs < 1000.0 ? 0 : 1;
}
