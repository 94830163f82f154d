// evdo-dashboard: the dashboard for the EVDO modem. Started in its data
// folder: it keeps "EVDO.ini" and its data files in the current directory and
// finds "lang" and "skin" there.
#include <QApplication>

#include <cstdio>

#include "app/LaunchOptions.h"
#include "app/ModaraApp.h"
#include "app/SetupDlg.h"

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
  evdo::RegisterSetupPages();
  evdo::CModaraApp app(options);
  return app.Run();
}
