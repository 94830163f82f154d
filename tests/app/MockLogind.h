#pragma once
// A private system bus with a mocked login manager (python3-dbusmock's logind
// template), for the suspend and resume tests. Start it before anything in
// the process touches the system bus: it points DBUS_SYSTEM_BUS_ADDRESS at
// the private bus.
#include <QProcess>
#include <QString>

namespace evdo::test {

class MockLogind {
public:
  MockLogind();
  ~MockLogind();
  MockLogind(const MockLogind&) = delete;
  MockLogind& operator=(const MockLogind&) = delete;

  // True when the bus and the mock run and the mock owns its name.
  bool IsRunning() const { return running_; }
  const QString& Error() const { return error_; }
  const QString& Address() const { return address_; }

  // Emits PrepareForSleep(start) from the login manager.
  bool EmitPrepareForSleep(bool start);
  // The modes ("delay", "block") of the sleep inhibitors held now.
  QStringList SleepInhibitorModes();

private:
  bool StartBus();
  bool StartMock();

  QProcess bus_;
  QProcess mock_;
  QString address_;
  QString error_;
  bool running_ = false;
};

// The one mocked login manager of a test program whose dashboards all use
// the system bus: started on first use, kept for the program's life.
MockLogind& SharedLogind();

}  // namespace evdo::test
