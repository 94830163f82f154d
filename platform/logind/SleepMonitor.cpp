#include "platform/logind/SleepMonitor.h"

#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>

namespace evdo {
namespace {

const char* const kService = "org.freedesktop.login1";
const char* const kPath = "/org/freedesktop/login1";
const char* const kManager = "org.freedesktop.login1.Manager";

}  // namespace

CSleepMonitor::CSleepMonitor(QObject* parent) : QObject(parent) {
  QDBusConnection bus = QDBusConnection::systemBus();
  if (!bus.isConnected()) return;
  watching_ = bus.connect(kService, kPath, kManager, "PrepareForSleep", this,
                          SLOT(OnPrepareForSleep(bool)));
  if (watching_) TakeDelayLock();
}

void CSleepMonitor::TakeDelayLock() {
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kManager, "Inhibit");
  call << QStringLiteral("sleep") << QStringLiteral("EVDO dashboard")
       << QStringLiteral("Closing the modem port") << QStringLiteral("delay");
  auto* watcher = new QDBusPendingCallWatcher(QDBusConnection::systemBus().asyncCall(call), this);
  connect(watcher, &QDBusPendingCallWatcher::finished, this, [this](QDBusPendingCallWatcher* w) {
    QDBusPendingReply<QDBusUnixFileDescriptor> reply = *w;
    w->deleteLater();
    // Without the lock the system may sleep before the port is closed; the
    // resume sequence reopens it either way.
    if (reply.isError()) return;
    lock_ = reply.value();
    Q_EMIT DelayLockTaken();
  });
}

void CSleepMonitor::OnPrepareForSleep(bool start) {
  if (start) {
    Q_EMIT Suspending();
    lock_ = QDBusUnixFileDescriptor();  // lets the system go to sleep
  } else {
    if (!lock_.isValid()) TakeDelayLock();
    Q_EMIT Resumed();
  }
}

}  // namespace evdo
