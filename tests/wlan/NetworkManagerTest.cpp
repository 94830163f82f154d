// The wireless LAN on NetworkManager: python3-dbusmock's networkmanager
// template on a private bus stands in for the system's NetworkManager.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QThread>

#include <sys/prctl.h>

#include <csignal>

#include "core/event/ManualEventLoop.h"
#include "internet/PageWlan.h"
#include "platform/networkmanager/NetworkManagerBackend.h"

namespace evdo {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "wlan-tests";
  static char* argv[] = {name, nullptr};
  static auto* app = new QCoreApplication(argc, argv);
  return *app;
}

const QString kNm = QStringLiteral("org.freedesktop.NetworkManager");
const QString kNmPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kMock = QStringLiteral("org.freedesktop.DBus.Mock");

// A private bus with NetworkManager mocked on it (without the mock: a bus
// on which NetworkManager does not run).
class MockNetworkManager {
public:
  explicit MockNetworkManager(bool withManager = true) {
    App();
    for (QProcess* p : {&bus_, &mock_}) p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus_.waitForStarted(5000)) return;
    QDeadlineTimer deadline(5000);
    while (!bus_.canReadLine() && !deadline.hasExpired()) bus_.waitForReadyRead(100);
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    name_ = QStringLiteral("nm-test-%1").arg(reinterpret_cast<quintptr>(this));
    Bus() = QDBusConnection::connectToBus(address_, name_);
    if (!withManager) {
      running_ = Bus().isConnected();
      return;
    }
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SYSTEM_BUS_ADDRESS", address_);
    mock_.setProcessEnvironment(env);
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start("/usr/bin/python3", {"-m", "dbusmock", "--system", "--template", "networkmanager"});
    if (!mock_.waitForStarted(5000)) return;
    QDeadlineTimer appear(15000);
    while (!appear.hasExpired()) {
      if (Bus().interface()->isServiceRegistered(kNm)) {
        running_ = true;
        return;
      }
      if (mock_.state() == QProcess::NotRunning) return;
      QThread::msleep(50);
    }
  }
  ~MockNetworkManager() {
    QDBusConnection::disconnectFromBus(name_);
    for (QProcess* p : {&mock_, &bus_}) {
      if (p->state() == QProcess::NotRunning) continue;
      p->terminate();
      if (!p->waitForFinished(3000)) p->kill();
      p->waitForFinished(3000);
    }
  }
  bool Running() const { return running_; }
  std::string Address() const { return address_.toStdString(); }

  QVariant Call(const QString& method, const QVariantList& args) {
    QDBusMessage call = QDBusMessage::createMethodCall(kNm, kNmPath, kMock, method);
    call.setArguments(args);
    QDBusMessage reply = Bus().call(call, QDBus::Block, 5000);
    EXPECT_EQ(reply.type(), QDBusMessage::ReplyMessage) << reply.errorMessage().toStdString();
    return reply.arguments().value(0);
  }
  QString AddWifi(const QString& name, const QString& iface, uint state) {
    return Call("AddWiFiDevice", {name, iface, QVariant::fromValue(state)}).toString();
  }
  QString AddNetwork(const QString& device, const QString& name, const QString& ssid, uchar strength) {
    return Call("AddAccessPoint", {device, name, ssid, QStringLiteral("00:11:22:33:44:55"), QVariant::fromValue(2u),
                                   QVariant::fromValue(2412u), QVariant::fromValue(54000u),
                                   QVariant::fromValue(strength), QVariant::fromValue(0u)})
        .toString();
  }
  void RemoveObject(const QString& path) {
    // The mock's GetDevices lists the objects under /Devices.
    Call("RemoveObject", {QVariant::fromValue(QDBusObjectPath(path))});
  }

private:
  QDBusConnection& Bus() { return bus_connection_; }
  QProcess bus_;
  QProcess mock_;
  QString address_;
  QString name_;
  QDBusConnection bus_connection_{QString()};
  bool running_ = false;
};

struct Sink : WindowHandler {
  std::vector<WParam> done;
  void OnMessage(MessageId m, WParam w, LParam) override {
    if (m == kMsgWlanDone) done.push_back(w);
  }
  void OnTimer(TimerId) override {}
};

#define REQUIRE_MOCK(m)                                                                  \
  if (!(m).Running()) GTEST_SKIP() << "python3-dbusmock's NetworkManager did not start"; \
  static_assert(true)

TEST(NetworkManager, InterfacesNetworksConnectDisconnect) {
  MockNetworkManager nm;
  REQUIRE_MOCK(nm);
  const QString wlan0 = nm.AddWifi("wlan0", "wlan0", 30);  // disconnected
  nm.AddNetwork(wlan0, "ap1", "CoffeeShop", 80);
  nm.AddNetwork(wlan0, "ap2", "Library", 40);
  NetworkManagerBackend backend(nm.Address());
  WlanSnapshot s = backend.RefreshNow();
  ASSERT_EQ(s.error, kWlanOk);
  ASSERT_EQ(s.interfaces.size(), 1u);
  EXPECT_EQ(s.interfaces[0].name, "wlan0");
  EXPECT_EQ(s.interfaces[0].state, kWlanDisconnected);
  ASSERT_EQ(s.networks.size(), 2u);
  EXPECT_EQ(s.networks[0].ssid, "CoffeeShop");
  EXPECT_EQ(s.networks[0].strength, 80);

  // The page's connect: the first visible network of the first interface.
  ManualEventLoop loop;
  Sink sink;
  auto& window = loop.CreateWindow(sink);
  CPageWlan page(backend);
  EXPECT_EQ(page.Refresh(), WlanIndicator::Available);
  EXPECT_FALSE(page.IsConnected());
  page.Connect(window, false);
  ASSERT_TRUE(loop.AdvanceUntil([&] { return !sink.done.empty(); }, 10000, 10, 20));
  EXPECT_EQ(sink.done[0], kWlanDoneOk);
  s = backend.RefreshNow();
  EXPECT_EQ(s.interfaces[0].state, kWlanConnected);
  EXPECT_EQ(page.Refresh(), WlanIndicator::Connected);

  // Already connected: success at once, nothing asked of the service.
  sink.done.clear();
  page.Connect(window, false);
  loop.RunPending();
  EXPECT_EQ(sink.done, std::vector<WParam>{kWlanDoneOk});

  page.Disconnect();
  for (int i = 0; i < 100 && backend.RefreshNow().interfaces[0].state == kWlanConnected; ++i) QThread::msleep(20);
  EXPECT_NE(backend.RefreshNow().interfaces[0].state, kWlanConnected);
}

TEST(NetworkManager, VanishedDeviceAndNoNetwork) {
  MockNetworkManager nm;
  REQUIRE_MOCK(nm);
  const QString wlan0 = nm.AddWifi("wlan0", "wlan0", 30);
  NetworkManagerBackend backend(nm.Address());
  ManualEventLoop loop;
  Sink sink;
  auto& window = loop.CreateWindow(sink);
  CPageWlan page(backend);
  backend.RefreshNow();
  page.Connect(window, false);  // no network in range
  loop.RunPending();
  EXPECT_EQ(sink.done, std::vector<WParam>{static_cast<WParam>(kStrIdWlanNoNetwork)});

  nm.RemoveObject(wlan0);
  WlanSnapshot s = backend.RefreshNow();
  EXPECT_EQ(s.error, kWlanOk);
  EXPECT_TRUE(s.interfaces.empty());
  EXPECT_EQ(page.Refresh(), WlanIndicator::NoDevice);
  sink.done.clear();
  page.Connect(window, true);
  loop.RunPending();
  EXPECT_EQ(sink.done, std::vector<WParam>{static_cast<WParam>(kStrIdWlanNoDevice)});
  // Before any list, the manager refuses with 87 and reports state 8.
  CWLanManager fresh(backend);
  EXPECT_EQ(fresh.Disconnect(0), kWlanInvalidParameter);
  EXPECT_EQ(fresh.Connect(0, 0, true, window, kMsgWlanDone), kWlanInvalidParameter);
  EXPECT_EQ(fresh.InterfaceState(0), kWlanNoList);
}

TEST(NetworkManager, NoNetworkManagerIsAClearState) {
  MockNetworkManager bus(false);
  if (!bus.Running()) GTEST_SKIP() << "dbus-daemon did not start";
  NetworkManagerBackend backend(bus.Address());
  WlanSnapshot s = backend.RefreshNow();
  EXPECT_EQ(s.error, kWlanServiceMissing);
  CPageWlan page(backend);
  EXPECT_EQ(page.Refresh(), WlanIndicator::NoService);
  ManualEventLoop loop;
  Sink sink;
  auto& window = loop.CreateWindow(sink);
  page.Connect(window, false);
  loop.RunPending();
  EXPECT_EQ(sink.done, std::vector<WParam>{static_cast<WParam>(kStrIdWlanNoService)});
  // Asking again and again costs one bus round a refresh, never a loop.
  for (int i = 0; i < 5; ++i) EXPECT_EQ(page.Refresh(), WlanIndicator::NoService);
}

}  // namespace
}  // namespace evdo
