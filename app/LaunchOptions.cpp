#include "app/LaunchOptions.h"

#include <QDir>
#include <QUrl>
#include <QUrlQuery>

#include "app/MainWindowPages.h"
#include "calls/DialNumber.h"
#include "sms/SmsCommands.h"

namespace evdo {

QString LaunchOptions::Usage() {
  return QStringLiteral(
      "usage: evdo-dashboard [--port PATH | --simulate] [--screenshot FILE] [--page PAGE] [--startup-report]\n"
      "                      [--dial NUMBER | tel:NUMBER | sms:NUMBERS?body=TEXT]\n"
      "       evdo-dashboard --status | --connect [TYPE] | --disconnect\n"
      "       evdo-dashboard --send-sms NUMBER[;NUMBER...] TEXT | --list-sms [inbox|outbox|saved]\n"
      "       evdo-dashboard --help\n"
      "Starting the dashboard:\n"
      "  --port PATH        open this serial port instead of searching for the modem\n"
      "  --simulate         run against the simulated modem (evdo-modemsim)\n"
      "  --screenshot FILE  save a picture of the main window once the modem is ready, then end\n"
      "  --page PAGE        show this page first: messages, calls, phonebook, internet, statistics or\n"
      "                     settings; with --screenshot, \"--page all\" saves a picture of every page,\n"
      "                     %p in FILE standing for the page's name\n"
      "  --startup-report   print the start-up time and the memory in use once the modem is ready\n"
      "  --dial NUMBER      dial NUMBER on the call page (of the copy already running, if any)\n"
      "  tel:NUMBER         the same for a telephone link\n"
      "  sms:NUMBERS?body=TEXT\n"
      "                     open the message window filled in (of the copy already running, if any)\n"
      "Asking the dashboard that runs (it must be running):\n"
      "  --status           print its state as one JSON object: card, signal, network type, roaming,\n"
      "                     operator, service, connection with its figures, unread messages\n"
      "  --connect [TYPE]   connect: 3g, 1x, wlan or auto (the default); exit status 0 once connected\n"
      "  --disconnect       disconnect; exit status 0 once disconnected\n"
      "  --send-sms NUMBERS TEXT  send TEXT to each NUMBER (up to 10, separated by ';'); prints the\n"
      "                     outcome per number; exit status 0 only when every message was sent\n"
      "  --list-sms [BOX]   print the messages of inbox (the default), outbox or saved as JSON\n"
      "  --help             print this and end\n"
      "Relative paths are taken from the folder the program was started in.\n"
      "Exit status: 0 done, 1 start-up or the request failed (reason on standard error), 2 bad options,\n"
      "3 no dashboard runs (requests) or a --screenshot run met a box that waits for a click,\n"
      "4 the running dashboard did not answer in time.\n");
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
    } else if (arg == "--page") {
      if (!value(out.page)) return false;
      PageKind kind;
      if (out.page != "all" && !PageFromName(out.page.toStdString(), kind)) {
        error = QStringLiteral("--page takes messages, calls, phonebook, internet, statistics, settings or all");
        return false;
      }
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
    } else if (arg == "--status") {
      out.status = true;
    } else if (arg == "--disconnect") {
      out.disconnect = true;
    } else if (arg == "--dial") {
      if (!value(out.dialNumber)) return false;
    } else if (arg.startsWith("tel:", Qt::CaseInsensitive)) {
      out.dialNumber = arg;
    } else if (arg == "--send-sms") {
      if (i + 2 >= arguments.size()) {
        error = QStringLiteral("--send-sms needs the numbers and the text");
        return false;
      }
      out.sendSms = true;
      out.smsRecipients = arguments[++i];
      out.smsText = arguments[++i];
      if (!CheckSendRecipients(out.smsRecipients, error)) return false;
      if (out.smsText.isEmpty()) {
        error = QStringLiteral("--send-sms needs a text to send");
        return false;
      }
    } else if (arg.startsWith("sms:", Qt::CaseInsensitive)) {
      out.openSms = true;
      if (!ParseSmsLink(arg, out.smsRecipients, out.smsText, error)) return false;
    } else if (arg == "--help" || arg == "-h") {
      out.help = true;
    } else {
      error = QStringLiteral("unknown option %1").arg(arg);
      return false;
    }
  }
  const int requests = (out.disconnect ? 1 : 0) + (out.connectType.isEmpty() ? 0 : 1) + (out.status ? 1 : 0);
  if (out.status && requests > 1) {
    error = QStringLiteral("--status goes alone, without --connect or --disconnect");
    return false;
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
  if (out.sendSms + out.openSms + !out.dialNumber.isEmpty() + (out.disconnect || !out.connectType.isEmpty()) +
          out.status + !out.listSmsBox.isEmpty() >
      1) {
    error = QStringLiteral(
        "only one of --status, --send-sms, --list-sms, an sms: link, --dial and --connect/--disconnect at a time");
    return false;
  }
  if (out.page == "all" && !out.screenshotPath.contains("%p")) {
    error = QStringLiteral("--page all needs --screenshot with %p in the path (the page's name)");
    return false;
  }
  if (out.simulate && !out.portPath.isEmpty()) {
    error = QStringLiteral("--port and --simulate exclude each other");
    return false;
  }
  return true;
}

bool LaunchOptions::CheckSendRecipients(const QString& recipients, QString& error) {
  const std::string field = recipients.toStdString();
  const sms::Recipients parsed = sms::ParseRecipients(field);
  if (parsed.tooMany) {
    error = QStringLiteral("a message goes to at most 10 numbers");
    return false;
  }
  if (parsed.tooLong) {
    error = QStringLiteral("a number is longer than 40 characters");
    return false;
  }
  if (parsed.numbers.empty()) {
    error = QStringLiteral("no number to send the message to");
    return false;
  }
  for (const std::string& number : parsed.numbers) {
    if (!sms::IsSendableNumber(number)) {
      error = QStringLiteral("the number \"%1\" cannot be used: a number may hold only the digits 0-9 and +, * and #")
                  .arg(QString::fromStdString(number));
      return false;
    }
  }
  return true;
}

bool LaunchOptions::ParseSmsLink(const QString& link, QString& recipients, QString& text, QString& error) {
  QString rest = link.mid(4);  // after "sms:"
  if (rest.startsWith("//")) rest = rest.mid(2);
  const int query = rest.indexOf('?');
  QString numbers = QUrl::fromPercentEncoding((query < 0 ? rest : rest.left(query)).toUtf8());
  text.clear();
  if (query >= 0) {
    // '+' stays '+' in a link's query; only percent escapes are decoded.
    const QUrlQuery items(rest.mid(query + 1));
    text = items.queryItemValue(QStringLiteral("body"), QUrl::FullyDecoded);
  }
  QString cleaned;
  for (QChar c : numbers) {
    if (c == ' ' || c == '-' || c == '.' || c == '(' || c == ')') continue;
    cleaned += c == ',' ? QChar(';') : c;
  }
  if (cleaned.endsWith('/')) cleaned.chop(1);
  const std::string field = cleaned.toStdString();
  if (!field.empty() && sms::CheckRecipientsField(field) != sms::kFieldAccepted) {
    error = QStringLiteral("the sms: link's numbers cannot be used: at most 10 numbers of up to 40 digits "
                           "and '+', separated by ','");
    return false;
  }
  recipients = cleaned;
  return true;
}

void LaunchOptions::ResolvePaths(const QString& startDir) {
  QDir base(startDir.isEmpty() ? QDir::currentPath() : startDir);
  for (QString* path : {&portPath, &screenshotPath}) {
    if (!path->isEmpty() && QDir::isRelativePath(*path)) *path = QDir::cleanPath(base.absoluteFilePath(*path));
  }
}

}  // namespace evdo
