#include "tests/app/MockLogind.h"

#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDBusVariant>
#include <QDeadlineTimer>
#include <QThread>

#include <sys/prctl.h>

#include <csignal>

namespace evdo::test {
namespace {

const char* const kBusName = "evdo-test-system-bus";
const char* const kService = "org.freedesktop.login1";
const char* const kPath = "/org/freedesktop/login1";

QDBusConnection Bus() { return QDBusConnection(kBusName); }

// The bus and the mock end with the test process, however it ends.
void EndWithParent(QProcess& process) {
  process.setChildProcessModifier([] { ::prctl(PR_SET_PDEATHSIG, SIGTERM); });
}

}  // namespace

MockLogind::MockLogind() {
  EndWithParent(bus_);
  EndWithParent(mock_);
  running_ = StartBus() && StartMock();
}

MockLogind::~MockLogind() {
  QDBusConnection::disconnectFromBus(kBusName);
  for (QProcess* p : {&mock_, &bus_}) {
    if (p->state() == QProcess::NotRunning) continue;
    p->terminate();
    if (!p->waitForFinished(3000)) p->kill();
    p->waitForFinished(3000);
  }
}

bool MockLogind::StartBus() {
  bus_.start("dbus-daemon", {"--session", "--nofork", "--print-address=1"});
  if (!bus_.waitForStarted(5000)) {
    error_ = "dbus-daemon did not start";
    return false;
  }
  QDeadlineTimer deadline(5000);
  while (!bus_.canReadLine() && !deadline.hasExpired()) bus_.waitForReadyRead(100);
  address_ = QString::fromUtf8(bus_.readLine()).trimmed();
  if (address_.isEmpty()) {
    error_ = "dbus-daemon gave no address";
    return false;
  }
  qputenv("DBUS_SYSTEM_BUS_ADDRESS", address_.toUtf8());
  return true;
}

bool MockLogind::StartMock() {
  // The Debian module is installed for the system's interpreter.
  mock_.setProcessChannelMode(QProcess::ForwardedErrorChannel);
  mock_.start("/usr/bin/python3", {"-m", "dbusmock", "--template", "logind"});
  if (!mock_.waitForStarted(5000)) {
    error_ = "python3 -m dbusmock did not start";
    return false;
  }
  QDBusConnection bus = QDBusConnection::connectToBus(address_, kBusName);
  QDeadlineTimer deadline(15000);
  while (!deadline.hasExpired()) {
    if (bus.isConnected() && bus.interface()->isServiceRegistered(kService)) return true;
    if (mock_.state() == QProcess::NotRunning) break;
    QThread::msleep(50);
  }
  error_ = "the mocked login manager did not appear on the bus";
  return false;
}

bool MockLogind::EmitPrepareForSleep(bool start) {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.DBus.Mock", "EmitSignal");
  call << QStringLiteral("org.freedesktop.login1.Manager") << QStringLiteral("PrepareForSleep")
       << QStringLiteral("b") << QVariant::fromValue(QVariantList{QVariant::fromValue(QDBusVariant(start))});
  QDBusMessage reply = Bus().call(call, QDBus::Block, 5000);
  return reply.type() == QDBusMessage::ReplyMessage;
}

QStringList MockLogind::SleepInhibitorModes() {
  QDBusMessage call =
      QDBusMessage::createMethodCall(kService, kPath, "org.freedesktop.login1.Manager", "ListInhibitors");
  QDBusMessage reply = Bus().call(call, QDBus::Block, 5000);
  QStringList modes;
  if (reply.type() != QDBusMessage::ReplyMessage || reply.arguments().isEmpty()) return modes;
  const QDBusArgument list = reply.arguments().first().value<QDBusArgument>();
  list.beginArray();
  while (!list.atEnd()) {
    QString what, who, why, mode;
    uint uid = 0, pid = 0;
    list.beginStructure();
    list >> what >> who >> why >> mode >> uid >> pid;
    list.endStructure();
    if (what.split(':').contains("sleep")) modes << mode;
  }
  list.endArray();
  return modes;
}

MockLogind& SharedLogind() {
  static MockLogind* logind = new MockLogind();
  return *logind;
}

}  // namespace evdo::test
