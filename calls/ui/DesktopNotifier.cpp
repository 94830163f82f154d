#include "calls/ui/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QVariantMap>

namespace evdo {

CFreedesktopNotifier::CFreedesktopNotifier(QString connectionName)
    : connection_(std::move(connectionName)), alive_(std::make_shared<bool>(true)) {}

CFreedesktopNotifier::~CFreedesktopNotifier() { *alive_ = false; }

bool CFreedesktopNotifier::Notify(const QString& title, const QString& body) {
  QDBusConnection bus = connection_.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(connection_);
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                                     "org.freedesktop.Notifications", "Notify");
  QVariantMap hints;
  hints.insert("category", QStringLiteral("call.unanswered"));
  hints.insert("desktop-entry", QStringLiteral("evdo-dashboard"));
  // Each missed call replaces the notice of the one before.
  call << QCoreApplication::applicationName() << lastId_ << QStringLiteral("call-missed") << title << body
       << QStringList() << hints << kExpireMs;
  // Not waited for: the reply only tells which notice the next one replaces.
  QDBusPendingCall pending = bus.asyncCall(call);
  auto* watcher = new QDBusPendingCallWatcher(pending);
  auto alive = alive_;
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, alive, watcher] {
    QDBusPendingReply<unsigned> reply = *watcher;
    if (*alive && reply.isValid()) lastId_ = reply.value();
    watcher->deleteLater();
  });
  return true;
}

}  // namespace evdo
