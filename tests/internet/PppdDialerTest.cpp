// pppd as the dial-up service, through a stand-in with pppd's observable
// interface (tests/internet/fake-pppd): its options, log lines, phases, exit
// statuses and the counters of the interface it brings up; the page's logic
// on top of it.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>

#include <arpa/inet.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <sys/wait.h>

#include "platform/pppd/PppdDialer.h"
#include "tests/internet/DialFakes.h"
#include "tests/support/TempDir.h"

namespace evdo {
namespace {

namespace fs = std::filesystem;
using test::PageRig;

std::string T(int id) { return "<" + std::to_string(id) + ">"; }

std::string ReadAll(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::stringstream s;
  s << in.rdbuf();
  return s.str();
}

// A system as pppd needs it, in a scratch folder: the peers file, /dev/ppp,
// the data port and the kernel's interface statistics.
struct PppdSystem {
  test::TempDir dir;
  fs::path record = fs::path(dir.Path()) / "record";
  PppdConfig config;
  PppdSystem() {
    fs::create_directories(fs::path(dir.Path()) / "peers");
    fs::create_directories(fs::path(dir.Path()) / "net");
    fs::create_directories(record);
    std::ofstream(fs::path(dir.Path()) / "peers" / kPeersName) << "noauth\n";
    std::ofstream(fs::path(dir.Path()) / "ppp") << "";
    std::ofstream(fs::path(dir.Path()) / "ttyUSB9") << "";
    config.program = EVDO_FAKE_PPPD;
    config.peersDir = (fs::path(dir.Path()) / "peers").string();
    config.devPpp = (fs::path(dir.Path()) / "ppp").string();
    config.sysClassNet = (fs::path(dir.Path()) / "net").string();
    config.terminateGraceMs = 500;
    ::setenv("EVDO_PPPD_SYSFS", config.sysClassNet.c_str(), 1);
    ::setenv("FAKE_PPPD_RECORD", record.string().c_str(), 1);
    Scenario("up");
  }
  ~PppdSystem() {
    ::unsetenv("FAKE_PPPD_SCENARIO");
    ::unsetenv("FAKE_PPPD_RECORD");
    ::unsetenv("EVDO_PPPD_SYSFS");
  }
  void Scenario(const std::string& s) { ::setenv("FAKE_PPPD_SCENARIO", s.c_str(), 1); }
  std::string DataPort() const { return (fs::path(dir.Path()) / "ttyUSB9").string(); }
};

// The page's logic with the real pppd service.
struct LiveRig : PageRig {
  PppdSystem system;
  PppdDialer dialer{system.config};
  CInternetConnection live{window, view, dialer, preference, wlan, records};
  LiveRig() {
    route.logic = &live;
    view.dataPort = system.DataPort();
  }
  bool Until(const std::function<bool()>& pred, std::uint64_t limitMs = 8000) {
    return loop.AdvanceUntil(pred, limitMs, 20, 20);
  }
  // Real time for the stand-in to finish, while the manual clock stands.
  bool Gone(std::uint32_t session) {
    for (int i = 0; i < 200; ++i) {
      if (dialer.ProcessOf(session) == 0) return true;
      loop.WaitForPost(20);
      loop.RunPending();
    }
    return false;
  }
};

TEST(PppdDialer, PreflightNamesWhatIsMissing) {
  PppdSystem system;
  DialRequest r;
  r.dataPort = system.DataPort();
  {
    PppdDialer d(system.config);
    EXPECT_EQ(d.Preflight(r), 0);
    DialRequest noPort = r;
    noPort.dataPort = system.DataPort() + "-gone";
    EXPECT_EQ(d.Preflight(noPort), kStrIdDataPortMissing);
  }
  PppdConfig c = system.config;
  c.program = system.config.peersDir + "/no-pppd";
  EXPECT_EQ(PppdDialer(c).Preflight(r), kStrIdPppdMissing);
  c = system.config;
  c.devPpp += "-gone";
  EXPECT_EQ(PppdDialer(c).Preflight(r), kStrIdPppKernelMissing);
  c = system.config;
  c.peersDir += "/elsewhere";
  EXPECT_EQ(PppdDialer(c).Preflight(r), kStrIdPeersMissing);
  if (::geteuid() != 0) {
    c = system.config;
    c.dialGroup = "evdo-no-such-group";
    EXPECT_EQ(PppdDialer(c).Preflight(r), kStrIdNotInDip);
  }
}

TEST(PppdDialer, ConnectCountHangUpWithThePasswordKeptOffCommandLines) {
  LiveRig r;
  const auto started = std::chrono::steady_clock::now();
  r.live.Connect(kConnType3G);
  // Real time only (the dial needs no timer): the page's state is looked at
  // as soon as each message is delivered.
  std::chrono::steady_clock::time_point shown;
  for (int i = 0; i < 400 && r.live.State() != kState3GConnected; ++i) {
    r.loop.WaitForPost(20);
    r.loop.RunPending();
    shown = std::chrono::steady_clock::now();
  }
  ASSERT_EQ(r.live.State(), kState3GConnected) << r.view.LastStatus();
  const double connectMs = std::chrono::duration<double, std::milli>(shown - started).count();
  const double sinceLineMs =
      std::chrono::duration<double, std::milli>(shown.time_since_epoch()).count() -
      std::stod(ReadAll(r.system.record / "connected_at")) / 1e6;
  EXPECT_LT(sinceLineMs, 500.0);
  // Every progress text, in order, with the 3G prefix.
  std::vector<std::string> expected = {"3G:" + T(415), "3G:" + T(416), "3G:" + T(332), "3G:" + T(333),
                                       "3G:" + T(334), "3G:" + T(335), T(336)};
  EXPECT_EQ(r.view.statusTexts, expected);

  const std::uint32_t session = r.live.Session();
  const pid_t pid = r.dialer.ProcessOf(session);
  ASSERT_GT(pid, 0);
  // The password reached pppd through its descriptor...
  EXPECT_EQ(ReadAll(r.system.record / "password"), "s3cret-pw");
  std::string argv = ReadAll(r.system.record / "argv");
  EXPECT_NE(argv.find("ATD#777 "), std::string::npos);
  EXPECT_NE(argv.find("\ncard\n"), std::string::npos);
  // ...and appears on no process's command line.
  for (const auto& entry : fs::directory_iterator("/proc")) {
    std::string name = entry.path().filename().string();
    if (name.find_first_not_of("0123456789") != std::string::npos) continue;
    EXPECT_EQ(ReadAll(entry.path() / "cmdline").find("s3cret-pw"), std::string::npos) << "process " << name;
  }

  // The statistics tick reads the interface's counters.
  for (int i = 0; i < 3; ++i) {
    ::usleep(120 * 1000);
    r.loop.Advance(kStatisticsMs);
  }
  EXPECT_GT(r.view.indicators[kLinkIndicatorSentKB] + r.view.indicators[kLinkIndicatorReceivedKB] +
                r.view.indicators[kLinkIndicatorSendRate],
            0);
  EXPECT_NE(r.view.sentBytes, "0");

  r.live.Disconnect(kConnType3G);
  EXPECT_EQ(r.live.State(), kStateIdle);
  EXPECT_TRUE(r.Gone(session)) << "pppd did not end after the hang-up";
  EXPECT_NE(::kill(pid, 0), 0);
  ASSERT_EQ(r.records.logs.size(), 1u);
  EXPECT_GT(r.records.logs[0].received, 0u);
  EXPECT_TRUE(r.view.messages.empty());
  std::printf("[ figures ] pppd's connected line to the page's connected state: %.2f ms; whole dial with the "
              "stand-in: %.1f ms\n",
              sinceLineMs, connectMs);
}

TEST(PppdDialer, EveryExitStatusIsADisconnectionWithItsText) {
  LiveRig r;
  for (int status = 1; status <= kPppdExitMax; ++status) {
    r.view.messages.clear();
    r.system.Scenario("exit:" + std::to_string(status) + ":dial");
    r.live.Connect(kConnType1X);
    ASSERT_TRUE(r.Until([&] { return r.live.State() == kStateIdle; })) << status;
    ASSERT_EQ(r.view.messages.size(), 1u) << status;
    EXPECT_EQ(r.view.messages[0], T(kStrIdPppdExitBase + status));
    EXPECT_EQ(r.view.LastStatus(), T(418));  // it ended while dialling the device
    EXPECT_EQ(r.view.appearances.back(), Appearance::Idle);
  }
  EXPECT_TRUE(r.records.logs.empty());
}

TEST(PppdDialer, ModemHangupMidConnectionIsADrop) {
  LiveRig r;
  r.system.Scenario("drop:400");
  r.live.Connect(kConnType3G);
  ASSERT_TRUE(r.Until([&] { return r.live.State() == kState3GConnected; }));
  ::usleep(150 * 1000);
  r.loop.Advance(kStatisticsMs);
  ASSERT_TRUE(r.Until([&] { return r.live.State() == kStateIdle; }));
  EXPECT_EQ(r.view.LastStatus(), T(337));
  ASSERT_EQ(r.records.logs.size(), 1u);
  EXPECT_EQ(r.records.totals.size(), 1u);
  EXPECT_FALSE(r.loop.IsTimerArmed(r.window, kTimerStatistics));
}

TEST(PppdDialer, DialTimeoutEndsAHangingPppd) {
  LiveRig r;
  r.system.Scenario("hang:dial");
  r.live.Connect(kConnType3G);
  ASSERT_TRUE(r.Until([&] { return r.live.Phase() == kPhaseConnectDevice; }));
  const std::uint32_t session = r.live.Session();
  r.loop.Advance(kDialTimeoutMs);
  EXPECT_EQ(r.live.State(), kStateIdle);
  EXPECT_EQ(r.view.LastStatus(), T(418));
  EXPECT_TRUE(r.Gone(session));
  EXPECT_TRUE(r.view.messages.empty());
}

TEST(PppdDialer, CancelInEachPhaseEndsPppd) {
  LiveRig r;
  const std::pair<const char*, int> phases[] = {{"port", kPhasePortOpened},      {"dial", kPhaseConnectDevice},
                                                {"device", kPhaseDeviceConnected}, {"auth", kPhaseAuthenticating},
                                                {"authok", kPhaseAuthenticated}};
  for (auto [name, phase] : phases) {
    r.system.Scenario(std::string("hang:") + name);
    r.live.Connect(kConnType3G);
    ASSERT_TRUE(r.Until([&] { return r.live.Phase() == phase; })) << name;
    const std::uint32_t session = r.live.Session();
    r.live.Cancel();
    EXPECT_EQ(r.live.State(), kStateIdle);
    EXPECT_TRUE(r.Gone(session)) << name;
    r.loop.Advance(kDialTimeoutMs);
    EXPECT_EQ(r.live.State(), kStateIdle);
  }
  EXPECT_TRUE(r.view.messages.empty());
}

TEST(PppdDialer, APppdThatIgnoresTheHangUpIsKilled) {
  LiveRig r;
  r.system.Scenario("stubborn");
  r.live.Connect(kConnType3G);
  ASSERT_TRUE(r.Until([&] { return r.live.State() == kState3GConnected; }));
  const std::uint32_t session = r.live.Session();
  r.live.Disconnect(kConnType3G);
  EXPECT_TRUE(r.Gone(session));
}

TEST(PppdDialer, AutomaticSequenceMakesThreeAttempts) {
  LiveRig r;
  r.system.Scenario("exit:8:dial");
  const std::int32_t order[3] = {kConnType3G, kConnType1X, kConnType3G};
  r.live.SetAutoOrder(order);
  r.live.StartAutoConnect();
  ASSERT_TRUE(r.Until([&] { return !r.live.AutoActive(); }, 20000));
  EXPECT_EQ(r.preference.sent, (std::vector<int>{kPreference3G, kPreference1X, kPreference3G}));
  EXPECT_EQ(r.view.messages, std::vector<std::string>{T(2100)});
  EXPECT_EQ(r.live.State(), kStateIdle);
}

TEST(PppdDialer, MissingPppdIsSaidBeforeDialling) {
  LiveRig r;
  PppdConfig c = r.system.config;
  c.program = "/nonexistent/pppd";
  PppdDialer missing(c);
  CInternetConnection logic(r.window, r.view, missing, r.preference, r.wlan, r.records);
  r.route.logic = &logic;
  logic.Connect(kConnType3G);
  r.loop.RunPending();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{T(kStrIdPppdMissing)});
  EXPECT_EQ(logic.State(), kStateIdle);
}

// Byte counters of a real kernel interface carrying real packets: the test
// program runs itself again in a private network namespace (unshare), where
// "ppp0" is one end of a veth pair.
constexpr const char* kInnerVariable = "EVDO_NETNS_INNER";

TEST(PppdNamespace, CountersOfARealInterface) {
  if (std::getenv(kInnerVariable) != nullptr) GTEST_SKIP() << "the inner part runs as PppdNamespace.Inner";
  if (std::system("unshare -rnm true >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "this machine does not allow a private network namespace (unshare -rnm): "
                    "the counters of a real interface are not tested here";
  const std::string self = fs::read_symlink("/proc/self/exe").string();
  const std::string script =
      "mount -t sysfs sysfs /sys && ip link add ppp0 type veth peer name peer0 && "
      "ip addr add 10.99.0.1/24 dev ppp0 && ip link set peer0 up && ip link set ppp0 up && "
      "ip neigh add 10.99.0.2 lladdr 02:00:00:00:00:02 dev ppp0 && " +
      std::string(kInnerVariable) + "=1 exec \"$0\" --gtest_filter=PppdNamespace.Inner";
  const std::string command = "unshare -rnm sh -c '" + script + "' '" + self + "'";
  const int status = std::system(command.c_str());
  ASSERT_TRUE(WIFEXITED(status));
  EXPECT_EQ(WEXITSTATUS(status), 0) << "the test inside the namespace failed";
}

TEST(PppdNamespace, Inner) {
  if (std::getenv(kInnerVariable) == nullptr) GTEST_SKIP() << "runs inside the namespace only";
  LiveRig r;
  ::setenv("EVDO_PPPD_SYSFS", "", 1);  // the stand-in leaves the counters to the kernel
  ::setenv("FAKE_PPPD_IFACE", "ppp0", 1);
  PppdConfig c = r.system.config;
  c.sysClassNet = "/sys/class/net";
  PppdDialer kernel(c);
  CInternetConnection logic(r.window, r.view, kernel, r.preference, r.wlan, r.records);
  r.route.logic = &logic;
  logic.Connect(kConnType3G);
  ASSERT_TRUE(r.loop.AdvanceUntil([&] { return logic.State() == kState3GConnected; }, 8000, 20, 20));
  r.loop.Advance(kStatisticsMs);
  const std::string before = r.view.sentBytes;
  // 100 datagrams of 1000 bytes out of ppp0.
  int fd = ::socket(AF_INET, SOCK_DGRAM, 0);
  ASSERT_GE(fd, 0);
  sockaddr_in to{};
  to.sin_family = AF_INET;
  to.sin_port = htons(9);
  ::inet_pton(AF_INET, "10.99.0.2", &to.sin_addr);
  char payload[1000] = {};
  for (int i = 0; i < 100; ++i)
    ASSERT_EQ(::sendto(fd, payload, sizeof payload, 0, reinterpret_cast<sockaddr*>(&to), sizeof to), 1000);
  ::close(fd);
  r.loop.Advance(kStatisticsMs);
  const std::int64_t sentKB = r.view.indicators[kLinkIndicatorSentKB];
  EXPECT_GE(sentKB, 100 * 1028 / 1024) << before << " -> " << r.view.sentBytes;
  EXPECT_GE(r.view.indicators[kLinkIndicatorSendRate], 100 * 1000 * 8);
  std::printf("[ figures ] kernel counters of ppp0 in the namespace: %s bytes sent\n", r.view.sentBytes.c_str());
  logic.Disconnect(kConnType3G);
  ASSERT_EQ(r.records.logs.size(), 1u);
  EXPECT_GE(r.records.logs[0].sent, 100u * 1000u);
}

}  // namespace
}  // namespace evdo
