#include "ui/notify/DesktopNotifier.h"

#include <QCoreApplication>
#include <QDBusConnection>
#include <QDBusMessage>
#include <QDBusPendingCallWatcher>
#include <QDBusPendingReply>
#include <QObject>
#include <QVariantMap>

namespace evdo {
namespace {

constexpr const char* kService = "org.freedesktop.Notifications";
constexpr const char* kPath = "/org/freedesktop/Notifications";
constexpr const char* kInterface = "org.freedesktop.Notifications";
constexpr const char* kDefaultAction = "default";
// Click actions remembered at most: older notices are long gone.
constexpr std::size_t kMaxActions = 64;

QDBusConnection Bus(const QString& name) {
  return name.isEmpty() ? QDBusConnection::sessionBus() : QDBusConnection(name);
}

}  // namespace

// Receives the server's ActionInvoked and NotificationClosed signals.
class CFreedesktopNotifier::Listener : public QObject {
  Q_OBJECT
public:
  explicit Listener(CFreedesktopNotifier& owner) : owner_(owner) {}
public Q_SLOTS:
  void OnAction(unsigned id, const QString& action) { owner_.Activated(id, action); }
  void OnClosed(unsigned id, unsigned /*reason*/) { owner_.actions_.erase(id); }

private:
  CFreedesktopNotifier& owner_;
};

CFreedesktopNotifier::CFreedesktopNotifier(QString connectionName)
    : connection_(std::move(connectionName)), alive_(std::make_shared<bool>(true)),
      listener_(std::make_unique<Listener>(*this)) {
  QDBusConnection bus = Bus(connection_);
  if (!bus.isConnected()) return;
  bus.connect(kService, kPath, kInterface, "ActionInvoked", listener_.get(), SLOT(OnAction(uint, QString)));
  bus.connect(kService, kPath, kInterface, "NotificationClosed", listener_.get(), SLOT(OnClosed(uint, uint)));
}

CFreedesktopNotifier::~CFreedesktopNotifier() {
  *alive_ = false;
  QDBusConnection bus = Bus(connection_);
  if (bus.isConnected()) {
    bus.disconnect(kService, kPath, kInterface, "ActionInvoked", listener_.get(), SLOT(OnAction(uint, QString)));
    bus.disconnect(kService, kPath, kInterface, "NotificationClosed", listener_.get(), SLOT(OnClosed(uint, uint)));
  }
}

const char* CFreedesktopNotifier::Category(NoticeKind kind) {
  switch (kind) {
  case NoticeKind::MissedCall: return "call.unanswered";
  case NoticeKind::NewMessage: return "im.received";
  case NoticeKind::DeliveryReport: return "im";
  case NoticeKind::UsageLimit: return "network";
  }
  return "device";
}

const char* CFreedesktopNotifier::IconName(NoticeKind kind) {
  switch (kind) {
  case NoticeKind::MissedCall: return "call-missed";
  case NoticeKind::NewMessage: return "mail-unread";
  case NoticeKind::DeliveryReport: return "mail-mark-read";
  case NoticeKind::UsageLimit: return "network-cellular";
  }
  return "dialog-information";
}

QString CFreedesktopNotifier::EscapeBody(const QString& text) { return text.toHtmlEscaped(); }

bool CFreedesktopNotifier::Notify(const Notice& notice) {
  QDBusConnection bus = Bus(connection_);
  if (!bus.isConnected()) return false;
  QDBusMessage call = QDBusMessage::createMethodCall(kService, kPath, kInterface, "Notify");
  QVariantMap hints;
  hints.insert("category", QString::fromLatin1(Category(notice.kind)));
  hints.insert("desktop-entry", QStringLiteral("evdo-dashboard"));
  QStringList actions;
  if (notice.onActivated) actions << kDefaultAction << notice.title;
  const unsigned replaces = lastId_.count(notice.kind) != 0 ? lastId_[notice.kind] : 0;
  call << QCoreApplication::applicationName() << replaces << QString::fromLatin1(IconName(notice.kind))
       << notice.title << EscapeBody(notice.body) << actions << hints << kExpireMs;
  // Not waited for: the reply tells which notice the next of this kind
  // replaces, and which click runs the action.
  QDBusPendingCall pending = bus.asyncCall(call);
  auto* watcher = new QDBusPendingCallWatcher(pending);
  auto alive = alive_;
  const NoticeKind kind = notice.kind;
  std::function<void()> onActivated = notice.onActivated;
  QObject::connect(watcher, &QDBusPendingCallWatcher::finished, [this, alive, watcher, kind, onActivated] {
    QDBusPendingReply<unsigned> reply = *watcher;
    watcher->deleteLater();
    if (!*alive || !reply.isValid()) return;
    lastId_[kind] = reply.value();
    if (onActivated) {
      if (actions_.size() >= kMaxActions) actions_.erase(actions_.begin());
      actions_[reply.value()] = onActivated;
    } else {
      actions_.erase(reply.value());
    }
  });
  return true;
}

void CFreedesktopNotifier::Activated(unsigned id, const QString& action) {
  auto it = actions_.find(id);
  if (it == actions_.end() || action != QLatin1String(kDefaultAction)) return;
  std::function<void()> run = it->second;
  run();
}

}  // namespace evdo

#include "DesktopNotifier.moc"
