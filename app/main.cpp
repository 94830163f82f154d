// evdo-dashboard: the dashboard for the EVDO modem. Started in its data
// folder: it keeps "EVDO.ini" and its data files in the current directory and
// finds "lang" and "skin" there.
//
// The options are read before the windowing system starts, so that "--help"
// and a wrong option work without a display, and a "--port" that cannot be
// used ends the program at once with the reason.
#include <QApplication>
#include <QFileInfo>
#include <QStringList>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "app/LaunchOptions.h"
#include "app/ModaraApp.h"
#include "app/PortCheck.h"
#include "app/SetupDlg.h"
#include "app/SingleInstance.h"
#include "app/StallProbe.h"
#include "core/settings/SetupData.h"
#include "internet/ui/InternetDlg.h"
#include "internet/ui/StatisticsDlg.h"

namespace {

// Sends request to the dashboard already running and prints each message it
// answers on a line of its own (UTF-8). Gives the exit status: the
// dashboard's, kExitNotRunning when none runs, kExitNoAnswer when it did not
// answer within waitMs. tellAbsent: say so on the error output when none runs
// (false where this copy then starts itself).
int AskRunningDashboard(int argc, char** argv, const QString& request, int waitMs, bool tellAbsent) {
  QCoreApplication requester(argc, argv);
  evdo::LoadSettings();  // the instance's name carries the configured prefix
  const int code =
      evdo::CSingleInstance::SendRequest(evdo::CModaraApp::InstanceTitle(), request, waitMs, [](const QString& message) {
        const QByteArray text = message.toUtf8();
        std::fwrite(text.constData(), 1, static_cast<std::size_t>(text.size()), stdout);
        std::fputc('\n', stdout);
        std::fflush(stdout);
      });
  if (code == evdo::kExitNotRunning && tellAbsent)
    std::fprintf(stderr, "evdo-dashboard: the dashboard is not running; start it first\n");
  if (code == evdo::kExitNoAnswer) std::fprintf(stderr, "evdo-dashboard: the dashboard did not answer\n");
  return code;
}

}  // namespace

int main(int argc, char** argv) {
  QStringList arguments;
  for (int i = 1; i < argc; ++i) arguments << QString::fromLocal8Bit(argv[i]);
  evdo::LaunchOptions options;
  QString error;
  if (!evdo::LaunchOptions::Parse(arguments, options, error)) {
    std::fprintf(stderr, "evdo-dashboard: %s\n%s", qPrintable(error), qPrintable(evdo::LaunchOptions::Usage()));
    return evdo::kExitUsage;
  }
  if (options.help) {
    std::printf("%s", qPrintable(evdo::LaunchOptions::Usage()));
    return evdo::kExitOk;
  }
  // Requests to the dashboard already running; this copy shows no window and
  // needs no display for them.
  if (options.status) {
    // The running dashboard answers at once from what its window shows.
    constexpr int kStatusWaitMs = 5000;
    return AskRunningDashboard(argc, argv, evdo::CSingleInstance::kStatusCommand, kStatusWaitMs, true);
  }
  if (options.disconnect || !options.connectType.isEmpty()) {
    const QString request = options.disconnect ? QStringLiteral("disconnect") : "connect " + options.connectType;
    // The dial's time-out and the network preference's wait, three times
    // for the automatic connection, and some room.
    constexpr int kWaitMs = 3 * (60000 + 8000) + 30000;
    return AskRunningDashboard(argc, argv, request, kWaitMs, true);
  }
  if (!options.listSmsBox.isEmpty())
    return AskRunningDashboard(argc, argv, evdo::CSingleInstance::kListSmsCommand + options.listSmsBox, 10000, true);
  if (options.sendSms) {
    // Every guard of a five-part send to ten numbers could run out.
    constexpr int kWaitMs = 15 * 60000;
    return AskRunningDashboard(
        argc, argv,
        evdo::CSingleInstance::SmsRequest(evdo::CSingleInstance::kSmsSendCommand, options.smsRecipients, options.smsText),
        kWaitMs, true);
  }
  if (options.openSms) {
    // An "sms:" link: the running copy opens the write window; without one,
    // this copy starts and opens it once the modem is ready.
    const int code = AskRunningDashboard(
        argc, argv,
        evdo::CSingleInstance::SmsRequest(evdo::CSingleInstance::kSmsOpenCommand, options.smsRecipients, options.smsText),
        5000, false);
    if (code != evdo::kExitNotRunning) return code;
  }
  if (!options.dialNumber.isEmpty()) {
    // A number for the copy already running; without one, this copy starts
    // and dials it once the modem is ready.
    const int code =
        AskRunningDashboard(argc, argv, evdo::CSingleInstance::kDialCommand + options.dialNumber, 5000, false);
    if (code != evdo::kExitNotRunning) return code;
  }
  const char* startDir = std::getenv(evdo::kStartDirVariable);
  options.ResolvePaths(startDir != nullptr ? QString::fromLocal8Bit(startDir) : QString());
  if (!options.portPath.isEmpty()) {
    std::string reason;
    if (!evdo::CheckPortPath(options.portPath.toStdString(), reason)) {
      std::fprintf(stderr, "evdo-dashboard: cannot use the port %s: %s\n", qPrintable(options.portPath),
                   reason.c_str());
      return evdo::kExitFailure;
    }
  }

  if (!options.screenshotPath.isEmpty()) {
    QFileInfo folder(QFileInfo(options.screenshotPath).absolutePath());
    if (!folder.isDir() || !folder.isWritable()) {
      std::fprintf(stderr, "evdo-dashboard: cannot write the screenshot %s: the folder %s %s\n",
                   qPrintable(options.screenshotPath), qPrintable(folder.filePath()),
                   folder.isDir() ? "is not writable" : "does not exist");
      return evdo::kExitFailure;
    }
  }

  QApplication application(argc, argv);
  QApplication::setApplicationName("evdo-dashboard");
  evdo::StartStallProbeIfAsked();
  evdo::CInternetDlg::Register();
  evdo::CStatisticsDlg::Register();
  evdo::RegisterSetupPages();
  evdo::CModaraApp app(options);
  return app.Run();
}
