// How long the user-interface thread is busy in one go while a user enters
// the card's PIN (a wrong one, then the right one) and while the network
// page searches for operators and registers, against the simulated modem.
// Every event the application delivers is timed; the longest delivery is
// the longest stretch in which the window could not react.
//
//   security_ui_busy_benchmark [--search-ms MS]
#include <QApplication>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <cstdio>
#include <cstring>
#include <functional>

#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "security/SecurityIds.h"
#include "security/ui/PinDialogs.h"
#include "security/ui/PinEdit.h"
#include "security/ui/SetupPages.h"
#include "tools/modemsim/SimulatedModem.h"

namespace {

class TimedApplication : public QApplication {
public:
  using QApplication::QApplication;
  bool notify(QObject* receiver, QEvent* event) override {
    if (depth_++ > 0) {
      bool result = QApplication::notify(receiver, event);
      --depth_;
      return result;
    }
    QElapsedTimer timer;
    timer.start();
    bool result = QApplication::notify(receiver, event);
    qint64 ns = timer.nsecsElapsed();
    --depth_;
    if (ns > longestNs) {
      longestNs = ns;
      longestType = event->type();
      longestReceiver = receiver->metaObject()->className();
    }
    if (event->type() >= QEvent::User || event->type() == QEvent::Timer) {
      // The event layer's posted messages and timers: the modem's answers.
      if (ns > longestExchangeNs) longestExchangeNs = ns;
    }
    ++events;
    return result;
  }
  void Reset() {
    longestNs = 0;
    longestExchangeNs = 0;
    events = 0;
  }
  qint64 longestNs = 0;
  qint64 longestExchangeNs = 0;
  int longestType = 0;
  const char* longestReceiver = "";
  long events = 0;

private:
  int depth_ = 0;
};

bool WaitFor(const std::function<bool()>& pred, int ms) {
  QElapsedTimer timer;
  timer.start();
  while (!pred() && timer.elapsed() < ms) QTest::qWait(2);
  return pred();
}

void CloseBoxes() {
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName().startsWith("message") && w->isVisible()) w->close();
  }
}

}  // namespace

int main(int argc, char** argv) {
  int searchMs = 3000;
  for (int i = 1; i + 1 < argc; ++i) {
    if (std::strcmp(argv[i], "--search-ms") == 0) searchMs = std::atoi(argv[i + 1]);
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM") && qEnvironmentVariableIsEmpty("DISPLAY"))
    qputenv("QT_QPA_PLATFORM", "offscreen");
  TimedApplication app(argc, argv);
  using namespace evdo;

  modemsim::SimulatedModem modem;
  std::string error;
  if (!modem.Open(error) || !modem.Start()) {
    std::fprintf(stderr, "simulated modem: %s\n", error.c_str());
    return 1;
  }
  modem.Control("devstatus card pin");
  modem.Control("network searchms " + std::to_string(searchMs));
  CSetupData setup;
  CSerialPort port(std::make_unique<PosixSerialDevice>());
  CAtDispatcher dispatcher(port, setup);
  CCommandExchange exchange(port, dispatcher);
  if (!port.Open(modem.SerialPath().c_str(), true) || !dispatcher.StartThreads()) return 1;
  dispatcher.ParserStartEvent().Set();
  CPinStatus pin;
  SecurityContext context;
  context.exchange = &exchange;
  context.pin = &pin;
  context.isConnected = [] { return false; };

  // PIN entry: the window opens, reads the attempts, a wrong PIN, the
  // right PIN.
  QElapsedTimer wall;
  wall.start();
  app.Reset();
  {
    CDlgSignIn dialog(context, true);
    dialog.show();
    WaitFor([&] { return dialog.AttemptsLabel()->text().endsWith("3"); }, 5000);
    QTest::keyClicks(dialog.PinField(), "9999");
    QTest::keyClick(dialog.PinField(), Qt::Key_Return);
    WaitFor([&] { return dialog.AttemptsLabel()->text().endsWith("2") && dialog.OkButton()->isEnabled(); }, 5000);
    CloseBoxes();
    QTest::keyClicks(dialog.PinField(), "1234");
    QTest::keyClick(dialog.PinField(), Qt::Key_Return);
    if (!WaitFor([&] { return !dialog.isVisible(); }, 10000) || pin.simState != kSimStateReady) {
      std::fprintf(stderr, "the PIN entry did not end with a ready card\n");
      return 1;
    }
  }
  std::printf("PIN entry: %ld events in %lld ms, longest busy stretch %.3f ms (event type %d to %s); "
              "longest answer or timer handling %.3f ms\n",
              app.events, static_cast<long long>(wall.elapsed()), app.longestNs / 1e6, app.longestType,
              app.longestReceiver, app.longestExchangeNs / 1e6);

  // Network page: search (the modem takes searchMs), then register.
  wall.restart();
  app.Reset();
  {
    CDlgSetupNWSel page(context);
    page.resize(600, 450);
    page.show();
    static_cast<QAbstractButton*>(page.Control(kCtlModeManual))->click();
    static_cast<QAbstractButton*>(page.Control(kCtlSearch))->click();
    if (!WaitFor([&] { return page.List()->topLevelItemCount() > 0 && !page.Progress()->isVisible(); },
                 searchMs + 10000)) {
      std::fprintf(stderr, "the search did not fill the list\n");
      return 1;
    }
    page.List()->setCurrentItem(page.List()->topLevelItem(1));
    static_cast<QAbstractButton*>(page.Control(kCtlRegister))->click();
    WaitFor([&] { return page.Selection().CommandMode() == kNetworkIdle && !page.Progress()->isVisible(); }, 10000);
  }
  std::printf("Network search and registration: %ld events in %lld ms, longest busy stretch %.3f ms (event type %d to %s); "
              "longest answer or timer handling %.3f ms\n",
              app.events, static_cast<long long>(wall.elapsed()), app.longestNs / 1e6, app.longestType,
              app.longestReceiver, app.longestExchangeNs / 1e6);

  dispatcher.Shutdown();
  port.Close();
  modem.Stop();
  return 0;
}
