#include "platform/networkmanager/NetworkManagerBackend.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusMetaType>
#include <QDBusObjectPath>
#include <QDBusReply>
#include <QDBusVariant>
#include <QMap>
#include <QVariant>

#include <atomic>

namespace evdo {
namespace {

const QString kService = QStringLiteral("org.freedesktop.NetworkManager");
const QString kPath = QStringLiteral("/org/freedesktop/NetworkManager");
const QString kManager = QStringLiteral("org.freedesktop.NetworkManager");
const QString kDevice = QStringLiteral("org.freedesktop.NetworkManager.Device");
const QString kWireless = QStringLiteral("org.freedesktop.NetworkManager.Device.Wireless");
const QString kAccessPoint = QStringLiteral("org.freedesktop.NetworkManager.AccessPoint");
const QString kProperties = QStringLiteral("org.freedesktop.DBus.Properties");
constexpr int kCallTimeoutMs = 5000;
constexpr unsigned kDeviceTypeWifi = 2;

using SettingsMap = QMap<QString, QVariantMap>;

std::atomic<int> connectionCounter{0};

// NetworkManager's device states as the interface states of the manager.
int StateOf(unsigned nm) {
  if (nm == 100) return kWlanConnected;
  if (nm == 110) return kWlanDisconnecting;
  if (nm == 30 || nm == 120) return kWlanDisconnected;
  if (nm == 60) return kWlanAuthenticating;
  if (nm >= 40 && nm <= 90) return kWlanAssociating;
  return kWlanNotReady;
}

QVariant Property(QDBusConnection& bus, const QString& path, const QString& iface, const QString& name,
                  bool& ok) {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, path, kProperties, QStringLiteral("Get"));
  call << iface << name;
  QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs);
  ok = reply.type() == QDBusMessage::ReplyMessage && !reply.arguments().isEmpty();
  if (!ok) return {};
  return reply.arguments().first().value<QDBusVariant>().variant();
}

QList<QDBusObjectPath> Paths(const QDBusMessage& reply) {
  QList<QDBusObjectPath> out;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return out;
  const QDBusArgument arg = reply.arguments().first().value<QDBusArgument>();
  arg >> out;
  return out;
}

}  // namespace

NetworkManagerBackend::NetworkManagerBackend(std::string busAddress)
    : busAddress_(std::move(busAddress)),
      connectionName_("evdo-nm-" + std::to_string(reinterpret_cast<std::uintptr_t>(this)) + "-" +
                      std::to_string(connectionCounter++)) {
  latest_.error = kWlanServiceMissing;
  qDBusRegisterMetaType<SettingsMap>();
  worker_ = std::thread([this] { Run(); });
}

NetworkManagerBackend::~NetworkManagerBackend() {
  {
    std::lock_guard lock(mutex_);
    stopping_ = true;
    window_ = nullptr;
  }
  wake_.notify_all();
  worker_.join();
  QDBusConnection::disconnectFromBus(QString::fromStdString(connectionName_));
}

void NetworkManagerBackend::Post(std::function<void()> job) {
  {
    std::lock_guard lock(mutex_);
    jobs_.push_back(std::move(job));
  }
  wake_.notify_all();
}

WlanSnapshot NetworkManagerBackend::Snapshot() {
  std::lock_guard lock(mutex_);
  refreshWanted_ = true;
  wake_.notify_all();
  return latest_;
}

WlanSnapshot NetworkManagerBackend::RefreshNow() {
  std::unique_lock lock(mutex_);
  // A refresh that starts after this call.
  const std::uint64_t after = started_ + 1;
  refreshWanted_ = true;
  wake_.notify_all();
  refreshed_.wait_for(lock, std::chrono::seconds(10), [&] { return refreshes_ >= after; });
  return latest_;
}

void NetworkManagerBackend::Detach(WindowPort& window) {
  std::lock_guard lock(mutex_);
  if (window_ == &window) window_ = nullptr;
}

void NetworkManagerBackend::Run() {
  for (;;) {
    std::function<void()> job;
    bool refresh = false;
    {
      std::unique_lock lock(mutex_);
      wake_.wait(lock, [&] { return stopping_ || !jobs_.empty() || refreshWanted_; });
      if (stopping_) return;
      if (!jobs_.empty()) {
        job = std::move(jobs_.front());
        jobs_.pop_front();
      } else {
        refresh = true;
        refreshWanted_ = false;
        ++started_;
      }
    }
    if (job) job();
    if (refresh) {
      WlanSnapshot s = Query();
      {
        std::lock_guard lock(mutex_);
        latest_ = std::move(s);
        ++refreshes_;
      }
      refreshed_.notify_all();
      // At most one refresh a few times a second, however often asked.
      std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
  }
}

WlanSnapshot NetworkManagerBackend::Query() {
  WlanSnapshot s;
  QDBusConnection bus = busAddress_.empty()
                            ? QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                                            QString::fromStdString(connectionName_))
                            : QDBusConnection::connectToBus(QString::fromStdString(busAddress_),
                                                            QString::fromStdString(connectionName_));
  if (!bus.isConnected()) {
    s.error = kWlanServiceMissing;
    return s;
  }
  QDBusMessage devices = bus.call(QDBusMessage::createMethodCall(kService, kPath, kManager,
                                                                 QStringLiteral("GetDevices")),
                                  QDBus::Block, kCallTimeoutMs);
  if (devices.type() != QDBusMessage::ReplyMessage) {
    s.error = kWlanServiceMissing;
    return s;
  }
  for (const QDBusObjectPath& device : Paths(devices)) {
    bool ok = false;
    const unsigned type = Property(bus, device.path(), kDevice, QStringLiteral("DeviceType"), ok).toUInt();
    if (!ok || type != kDeviceTypeWifi) continue;
    WlanInterfaceInfo info;
    info.id = device.path().toStdString();
    info.name = Property(bus, device.path(), kDevice, QStringLiteral("Interface"), ok).toString().toStdString();
    info.state = StateOf(Property(bus, device.path(), kDevice, QStringLiteral("State"), ok).toUInt());
    if (!ok) continue;  // vanished meanwhile
    s.interfaces.push_back(info);
    // The networks of the last interface, as the manager keeps them.
    s.networks.clear();
    QDBusMessage aps = bus.call(QDBusMessage::createMethodCall(kService, device.path(), kWireless,
                                                               QStringLiteral("GetAllAccessPoints")),
                                QDBus::Block, kCallTimeoutMs);
    for (const QDBusObjectPath& ap : Paths(aps)) {
      WlanNetworkInfo n;
      n.id = ap.path().toStdString();
      n.ssid = Property(bus, ap.path(), kAccessPoint, QStringLiteral("Ssid"), ok).toByteArray().toStdString();
      if (!ok) continue;
      n.strength = static_cast<int>(Property(bus, ap.path(), kAccessPoint, QStringLiteral("Strength"), ok).toUInt());
      s.networks.push_back(n);
    }
  }
  return s;
}

void NetworkManagerBackend::Connect(const WlanInterfaceInfo& iface, const WlanNetworkInfo& network,
                                    bool infrastructure, WindowPort& window, MessageId done) {
  {
    std::lock_guard lock(mutex_);
    window_ = &window;
  }
  Post([this, iface, network, infrastructure, done] {
    QDBusConnection bus = busAddress_.empty()
                              ? QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                                              QString::fromStdString(connectionName_))
                              : QDBusConnection::connectToBus(QString::fromStdString(busAddress_),
                                                              QString::fromStdString(connectionName_));
    SettingsMap settings;
    QVariantMap wifi;
    wifi.insert(QStringLiteral("ssid"), QByteArray::fromStdString(network.ssid));
    wifi.insert(QStringLiteral("mode"), infrastructure ? QStringLiteral("infrastructure") : QStringLiteral("adhoc"));
    settings.insert(QStringLiteral("802-11-wireless"), wifi);
    QDBusMessage call =
        QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("AddAndActivateConnection"));
    call << QVariant::fromValue(settings) << QVariant::fromValue(QDBusObjectPath(QString::fromStdString(iface.id)))
         << QVariant::fromValue(QDBusObjectPath(QString::fromStdString(network.id)));
    QDBusMessage reply = bus.call(call, QDBus::Block, kCallTimeoutMs * 4);
    const bool ok = reply.type() == QDBusMessage::ReplyMessage;
    std::lock_guard lock(mutex_);
    refreshWanted_ = true;
    if (window_ != nullptr) window_->PostMessage(done, ok ? 0 : 1);
  });
}

void NetworkManagerBackend::Disconnect(const WlanInterfaceInfo& iface) {
  Post([this, iface] {
    QDBusConnection bus = busAddress_.empty()
                              ? QDBusConnection::connectToBus(QDBusConnection::SystemBus,
                                                              QString::fromStdString(connectionName_))
                              : QDBusConnection::connectToBus(QString::fromStdString(busAddress_),
                                                              QString::fromStdString(connectionName_));
    bool ok = false;
    QVariant active = Property(bus, QString::fromStdString(iface.id), kDevice, QStringLiteral("ActiveConnection"), ok);
    const QString path = active.value<QDBusObjectPath>().path();
    if (ok && !path.isEmpty() && path != QStringLiteral("/")) {
      QDBusMessage call =
          QDBusMessage::createMethodCall(kService, kPath, kManager, QStringLiteral("DeactivateConnection"));
      call << QVariant::fromValue(QDBusObjectPath(path));
      bus.call(call, QDBus::Block, kCallTimeoutMs);
    } else {
      // No active connection known: ask the device itself.
      bus.call(QDBusMessage::createMethodCall(kService, QString::fromStdString(iface.id), kDevice,
                                              QStringLiteral("Disconnect")),
               QDBus::Block, kCallTimeoutMs);
    }
    std::lock_guard lock(mutex_);
    refreshWanted_ = true;
  });
}

}  // namespace evdo
