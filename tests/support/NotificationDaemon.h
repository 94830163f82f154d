#pragma once
// A private session bus with the notification daemon of python3-dbusmock,
// for tests of desktop notifications. Needs a QCoreApplication.
#include <QCoreApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QProcess>
#include <QProcessEnvironment>
#include <QStringList>
#include <QThread>
#include <QVariantList>
#include <sys/prctl.h>

#include <csignal>

namespace evdo::test {

class NotificationDaemon {
public:
  NotificationDaemon() {
    for (QProcess* p : {&bus_, &mock_}) p->setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
    bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
    if (!bus_.waitForStarted(5000)) return;
    QDeadlineTimer deadline(5000);
    while (!bus_.canReadLine() && !deadline.hasExpired()) bus_.waitForReadyRead(100);
    address_ = QString::fromUtf8(bus_.readLine()).trimmed();
    if (address_.isEmpty()) return;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("DBUS_SESSION_BUS_ADDRESS", address_);
    mock_.setProcessEnvironment(env);
    mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
    mock_.start("/usr/bin/python3", {"-m", "dbusmock", "--template", "notification_daemon"});
    QDBusConnection bus = QDBusConnection::connectToBus(address_, name_);
    QDeadlineTimer ready(15000);
    while (!ready.hasExpired() && mock_.state() != QProcess::NotRunning) {
      if (bus.isConnected() && bus.interface()->isServiceRegistered("org.freedesktop.Notifications")) {
        running_ = true;
        return;
      }
      QThread::msleep(50);
    }
  }
  ~NotificationDaemon() {
    QDBusConnection::disconnectFromBus(name_);
    for (QProcess* p : {&mock_, &bus_}) {
      p->terminate();
      if (!p->waitForFinished(3000)) p->kill();
    }
  }
  bool Running() const { return running_; }
  const QString& Connection() const { return name_; }
  // Clicks notice id as the desktop would.
  bool Click(unsigned id) {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                                       "org.freedesktop.DBus.Mock", "EmitSignal");
    call << QString("org.freedesktop.Notifications") << QString("ActionInvoked") << QString("us")
         << QVariantList{QVariant::fromValue(id), QString("default")};
    return QDBusConnection(name_).call(call, QDBus::Block, 5000).type() == QDBusMessage::ReplyMessage;
  }
  // The Notify calls the daemon got: summary and body of each.
  QStringList Notices() {
    QDBusMessage call = QDBusMessage::createMethodCall("org.freedesktop.Notifications", "/org/freedesktop/Notifications",
                                                       "org.freedesktop.DBus.Mock", "GetCalls");
    QDBusMessage reply = QDBusConnection(name_).call(call, QDBus::Block, 5000);
    QStringList out;
    if (reply.type() != QDBusMessage::ReplyMessage) return out;
    const QDBusArgument calls = reply.arguments().first().value<QDBusArgument>();
    calls.beginArray();
    while (!calls.atEnd()) {
      qulonglong time = 0;
      QString method;
      QVariantList args;
      calls.beginStructure();
      calls >> time >> method;
      calls.beginArray();
      while (!calls.atEnd()) {
        QDBusVariant v;
        calls >> v;
        args << v.variant();
      }
      calls.endArray();
      calls.endStructure();
      if (method == "Notify" && args.size() >= 5) out << args[3].toString() + ": " + args[4].toString();
    }
    calls.endArray();
    return out;
  }

private:
  QProcess bus_;
  QProcess mock_;
  QString address_;
  QString name_ = QString("evdo-test-notify-%1-%2").arg(QCoreApplication::applicationPid()).arg(quintptr(this));
  bool running_ = false;
};


}  // namespace evdo::test
