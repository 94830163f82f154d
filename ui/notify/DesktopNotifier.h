#pragma once
// Desktop notifications (the freedesktop notification service on the
// session bus), behind a small interface so that windows can be tested
// without a desktop.
#include <QString>

#include <functional>
#include <map>
#include <memory>

namespace evdo {

// What a notice is about: each kind replaces the previous notice of its
// kind, and tells the desktop its category.
enum class NoticeKind { MissedCall, NewMessage, DeliveryReport, UsageLimit };

struct Notice {
  NoticeKind kind = NoticeKind::NewMessage;
  QString title;
  QString body;  // plain text: the notifier escapes it
  // Run on the UI thread when the user clicks the notice; may be empty.
  std::function<void()> onActivated;
};

class DesktopNotifier {
public:
  virtual ~DesktopNotifier() = default;
  // Sends the notice without waiting; false when there is no bus.
  virtual bool Notify(const Notice& notice) = 0;
};

// org.freedesktop.Notifications on the session bus.
class CFreedesktopNotifier : public DesktopNotifier {
public:
  static constexpr int kExpireMs = -1;  // the server's default

  // connectionName names a bus connection already made (tests use a
  // private bus); empty: the session bus.
  explicit CFreedesktopNotifier(QString connectionName = {});
  ~CFreedesktopNotifier() override;
  bool Notify(const Notice& notice) override;

  // The category hint and icon name of a kind.
  static const char* Category(NoticeKind kind);
  static const char* IconName(NoticeKind kind);
  // Body markup is allowed by many servers: escape what came from outside.
  static QString EscapeBody(const QString& text);

private:
  class Listener;
  void Activated(unsigned id, const QString& action);

  QString connection_;
  std::map<NoticeKind, unsigned> lastId_;
  std::map<unsigned, std::function<void()>> actions_;
  std::shared_ptr<bool> alive_;
  std::unique_ptr<Listener> listener_;
};

}  // namespace evdo
