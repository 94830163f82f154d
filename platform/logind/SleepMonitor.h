#pragma once
// Follows the login manager's sleep announcements on the system bus
// ("PrepareForSleep" of org.freedesktop.login1.Manager). While it runs it
// holds a delay lock, so that the system waits until Suspending has been
// handled (the serial port closed) before it sleeps.
#include <QDBusUnixFileDescriptor>
#include <QObject>

namespace evdo {

class CSleepMonitor : public QObject {
  Q_OBJECT
public:
  explicit CSleepMonitor(QObject* parent = nullptr);

  // True when the signal is followed (a system bus with a login manager).
  bool IsWatching() const { return watching_; }
  // True while the delay lock is held.
  bool HoldsDelayLock() const { return lock_.isValid(); }

Q_SIGNALS:
  // The system is about to sleep. Receivers run before the delay lock is
  // released; connect them directly.
  void Suspending();
  // The system has woken up.
  void Resumed();
  // The delay lock was taken (or re-taken after a resume).
  void DelayLockTaken();

private Q_SLOTS:
  void OnPrepareForSleep(bool start);

private:
  void TakeDelayLock();

  bool watching_ = false;
  QDBusUnixFileDescriptor lock_;
};

}  // namespace evdo
