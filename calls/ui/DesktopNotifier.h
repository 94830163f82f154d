#pragma once
// Desktop notifications (the freedesktop notification service on the
// session bus), behind a small interface so that windows can be tested
// without a desktop.
#include <QString>

#include <memory>

namespace evdo {

class DesktopNotifier {
public:
  virtual ~DesktopNotifier() = default;
  // Sends the notice without waiting; false when there is no bus.
  virtual bool Notify(const QString& title, const QString& body) = 0;
};

// org.freedesktop.Notifications on the session bus.
class CFreedesktopNotifier : public DesktopNotifier {
public:
  static constexpr int kExpireMs = -1;  // the server's default

  // connectionName names a bus connection already made (tests use a
  // private bus); empty: the session bus.
  explicit CFreedesktopNotifier(QString connectionName = {});
  ~CFreedesktopNotifier() override;
  bool Notify(const QString& title, const QString& body) override;

private:
  QString connection_;
  unsigned lastId_ = 0;
  std::shared_ptr<bool> alive_;
};

}  // namespace evdo
