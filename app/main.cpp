// evdo-dashboard: the dashboard for the EVDO modem. Started in its data
// folder: it keeps "EVDO.ini" and its data files in the current directory and
// finds "lang" and "skin" there.
#include <QApplication>

#include <cstdio>

#include "app/LaunchOptions.h"
#include "app/ModaraApp.h"
#include "app/SingleInstance.h"
#include "core/settings/SetupData.h"
#include "internet/ui/InternetDlg.h"

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QApplication::setApplicationName("evdo-dashboard");
  evdo::LaunchOptions options;
  QString error;
  QStringList arguments = QApplication::arguments();
  arguments.removeFirst();
  if (!evdo::LaunchOptions::Parse(arguments, options, error)) {
    std::fprintf(stderr, "evdo-dashboard: %s\n%s", qPrintable(error), qPrintable(evdo::LaunchOptions::Usage()));
    return 2;
  }
  if (options.help) {
    std::printf("%s", qPrintable(evdo::LaunchOptions::Usage()));
    return 0;
  }
  if (options.disconnect || !options.connectType.isEmpty()) {
    // A request to the running dashboard; this copy shows no window.
    evdo::LoadSettings();  // the instance's name carries the configured prefix
    const QString request = options.disconnect ? QStringLiteral("disconnect") : "connect " + options.connectType;
    // The dial's time-out and the network preference's wait, three times
    // for the automatic connection, and some room.
    constexpr int kWaitMs = 3 * (60000 + 8000) + 30000;
    const int code = evdo::CSingleInstance::SendRequest(
        evdo::CModaraApp::InstanceTitle(), request, kWaitMs,
        [](const QString& message) { std::printf("%s\n", qPrintable(message)); });
    if (code == 3) std::fprintf(stderr, "evdo-dashboard: the dashboard is not running\n");
    if (code == 4) std::fprintf(stderr, "evdo-dashboard: the dashboard did not answer\n");
    return code;
  }
  evdo::CInternetDlg::Register();
  evdo::CModaraApp app(options);
  return app.Run();
}
