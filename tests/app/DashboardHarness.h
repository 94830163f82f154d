#pragma once
// Runs the dashboard in the test process against the simulated modem: a
// fresh data folder (with the built language modules and the shipped skins)
// as the current directory, the modem on its pseudo-terminal given as the
// port, and a script that runs inside the dashboard's event loop once the
// device is initialised. Modal windows that appear meanwhile are answered by
// the handlers the test registers for them.
#include <QPointer>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "app/LaunchOptions.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "tests/support/TempDir.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo::test {

class DashboardHarness {
public:
  // withLanguages false leaves the folder "lang" empty.
  explicit DashboardHarness(bool withLanguages = true);
  ~DashboardHarness();

  TempDir& Folder() { return folder_; }
  modemsim::SimulatedModem& Modem() { return modem_; }
  LaunchOptions& Options() { return options_; }
  // Sends a control command to the simulated modem; true on "OK".
  bool Control(const std::string& line);

  // What to do with a modal window of this object name when it shows; the
  // handler runs once per appearance. Every appearance is recorded.
  void OnModal(const QString& objectName, std::function<void(QWidget&)> handler);
  const std::vector<QString>& ModalsSeen() const { return modalsSeen_; }
  // The texts of the message boxes seen, in order.
  const std::vector<QString>& MessagesSeen() const { return messagesSeen_; }

  // Called on every tick of the event loop's modal poll (every 20 ms) from
  // the start: for watching the start-up.
  void Watch(std::function<void(CModaraApp&)> watch) { watch_ = std::move(watch); }

  // Runs the dashboard; script runs once the device is initialised (it may
  // wait with QTest::qWaitFor). Returns the exit code of Run.
  int Run(std::function<void(CModaraApp&, CModaraDlg&)> script = {});
  bool ScriptRan() const { return scriptRan_; }

private:
  // Two timers: a timer does not fire again while its own handler runs, and
  // the script's handler runs for as long as the script waits.
  void AnswerModals();
  void StartScript();

  TempDir folder_{true};
  modemsim::SimulatedModem modem_;
  LaunchOptions options_;
  QString runtimeDir_;
  std::map<QString, std::function<void(QWidget&)>> modalHandlers_;
  std::vector<QString> modalsSeen_;
  std::vector<QString> messagesSeen_;
  QPointer<QWidget> lastModal_;
  std::function<void(CModaraApp&, CModaraDlg&)> script_;
  std::function<void(CModaraApp&)> watch_;
  CModaraApp* app_ = nullptr;
  bool scriptRan_ = false;
  bool scriptRunning_ = false;
  QTimer modalPoll_;
  QTimer scriptPoll_;
};

// Accepts a message box or dialog (its default button, or accept()).
void Accept(QWidget& modal);

}  // namespace evdo::test
