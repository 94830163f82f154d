#include "app/LaunchOptions.h"

#include <QDir>
#include "calls/DialNumber.h"

namespace evdo {

QString LaunchOptions::Usage() {
  return QStringLiteral(
      "usage: evdo-dashboard [--port PATH | --simulate] [--screenshot FILE] [--startup-report]\n"
      "                      [--dial NUMBER | tel:NUMBER] [--list-sms [BOX]] [--help]\n"
      "  --port PATH        open this serial port instead of searching for the modem\n"
      "  --simulate         run against the simulated modem (evdo-modemsim)\n"
      "  --screenshot FILE  save a picture of the main window once the modem is ready, then end\n"
      "  --startup-report   print the start-up time and the memory in use once the modem is ready\n"
      "  --dial NUMBER      dial NUMBER on the call page (of the copy already running, if any)\n"
      "  tel:NUMBER         the same for a telephone link\n"
      "  --connect [TYPE]   ask the running dashboard to connect: 3g, 1x, wlan or auto (the default);\n"
      "                     exit status 0 once connected\n"
      "  --disconnect       ask the running dashboard to disconnect; exit status 0 once disconnected\n"
      "  --list-sms [BOX]   print a message box of the running dashboard as JSON:\n"
      "                     inbox (the default), outbox or saved\n"
      "  --help             print this and end\n"
      "Relative paths are taken from the folder the program was started in.\n"
      "Exit status: 0 normal end, 1 start-up failed (reason on standard error), 2 bad options,\n"
      "3 a --screenshot run met a box that waits for a click (its text on standard error).\n");
}

bool LaunchOptions::Parse(const QStringList& arguments, LaunchOptions& out, QString& error) {
  out = LaunchOptions{};
  for (int i = 0; i < arguments.size(); ++i) {
    const QString& arg = arguments[i];
    auto value = [&](QString& field) {
      if (i + 1 >= arguments.size() || arguments[i + 1].isEmpty()) {
        error = QStringLiteral("%1 needs a value").arg(arg);
        return false;
      }
      field = arguments[++i];
      return true;
    };
    if (arg == "--port") {
      if (!value(out.portPath)) return false;
    } else if (arg == "--screenshot") {
      if (!value(out.screenshotPath)) return false;
    } else if (arg == "--simulate") {
      out.simulate = true;
    } else if (arg == "--startup-report") {
      out.startupReport = true;
    } else if (arg == "--connect") {
      out.connectType = QStringLiteral("auto");
      if (i + 1 < arguments.size() && !arguments[i + 1].startsWith("--")) {
        out.connectType = arguments[++i].toLower();
        if (out.connectType != "3g" && out.connectType != "1x" && out.connectType != "wlan" &&
            out.connectType != "auto") {
          error = QStringLiteral("--connect takes 3g, 1x, wlan or auto");
          return false;
        }
      }
    } else if (arg == "--list-sms") {
      out.listSmsBox = QStringLiteral("inbox");
      if (i + 1 < arguments.size() && !arguments[i + 1].startsWith("--")) {
        out.listSmsBox = arguments[++i].toLower();
        if (out.listSmsBox != "inbox" && out.listSmsBox != "outbox" && out.listSmsBox != "saved") {
          error = QStringLiteral("--list-sms takes inbox, outbox or saved");
          return false;
        }
      }
    } else if (arg == "--disconnect") {
      out.disconnect = true;
    } else if (arg == "--dial") {
      if (!value(out.dialNumber)) return false;
    } else if (arg.startsWith("tel:", Qt::CaseInsensitive)) {
      out.dialNumber = arg;
    } else if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else {
      error = QStringLiteral("unknown option %1").arg(arg);
      return false;
    }
  }
  if (out.disconnect && !out.connectType.isEmpty()) {
    error = QStringLiteral("--connect and --disconnect exclude each other");
    return false;
  }
  if (!out.dialNumber.isEmpty()) {
    std::string number = out.dialNumber.toStdString();
    if (out.dialNumber.startsWith("tel:", Qt::CaseInsensitive)) number = NumberFromTelLink(number);
    switch (CheckDialNumber(number)) {
      case DialCheck::Ok: break;
      case DialCheck::Empty: error = QStringLiteral("no number to dial"); return false;
      case DialCheck::TooLong: error = QStringLiteral("the number to dial is longer than 40 characters"); return false;
      case DialCheck::BadCharacter:
        error = QStringLiteral("a number to dial may hold only the digits 0-9 and *, # and +");
        return false;
    }
    out.dialNumber = QString::fromStdString(number);
  }
  if (out.simulate && !out.portPath.isEmpty()) {
    error = QStringLiteral("--port and --simulate exclude each other");
    return false;
  }
  return true;
}

void LaunchOptions::ResolvePaths(const QString& startDir) {
  QDir base(startDir.isEmpty() ? QDir::currentPath() : startDir);
  for (QString* path : {&portPath, &screenshotPath}) {
    if (!path->isEmpty() && QDir::isRelativePath(*path)) *path = QDir::cleanPath(base.absoluteFilePath(*path));
  }
}

}  // namespace evdo
