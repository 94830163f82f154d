#pragma once
// The simulated modem for "--simulate": the program "evdo-modemsim" started
// as a child process; its serial end (a pseudo-terminal) stands in for the
// modem's command port. The child ends with this object, or with the
// program however it ends.
#include <QProcess>
#include <QString>

namespace evdo {

class CSimulatedModemProcess {
public:
  static constexpr const char* kProgram = "evdo-modemsim";

  CSimulatedModemProcess();
  ~CSimulatedModemProcess();
  CSimulatedModemProcess(const CSimulatedModemProcess&) = delete;
  CSimulatedModemProcess& operator=(const CSimulatedModemProcess&) = delete;

  // Starts the simulator and reads the path of its serial end. False with a
  // reason in Error() when it cannot be started.
  bool Start();
  const QString& SerialPath() const { return serialPath_; }
  const QString& ControlSocket() const { return controlSocket_; }
  const QString& Error() const { return error_; }

  // Where the simulator is: $EVDO_MODEMSIM, beside this program, the build
  // tree's tools folder, then PATH. Empty when none is found.
  static QString Locate();

private:
  QProcess process_;
  QString serialPath_;
  QString controlSocket_;
  QString error_;
};

}  // namespace evdo
