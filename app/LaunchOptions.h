#pragma once
// The program's options. Without any, it finds the modem among the present
// devices, as it always has.
#include <QString>
#include <QStringList>

namespace evdo {

// Exit statuses of the program.
inline constexpr int kExitOk = 0;
// Start-up could not go on: no language module, no modem, a --port that
// cannot be used, the dispatcher's threads.
inline constexpr int kExitFailure = 1;
// The command line was not understood.
inline constexpr int kExitUsage = 2;
// A --screenshot run met a box that waits for a person.
inline constexpr int kExitNeedsPerson = 3;
// A request to the running dashboard (--status, --connect, --dial...): no
// dashboard runs, or it did not answer in time.
inline constexpr int kExitNotRunning = 3;
inline constexpr int kExitNoAnswer = 4;

// The environment variable through which the launcher tells the program the
// folder the user started it in.
inline constexpr const char* kStartDirVariable = "EVDO_START_DIR";

struct LaunchOptions {
  // --port PATH: open this serial port instead of searching the devices
  // (a modem on an unusual port).
  QString portPath;
  // --simulate: start the simulated modem and use its port.
  bool simulate = false;
  // --screenshot FILE: once the device is initialised, save a picture of
  // the main window there, print the path and end.
  QString screenshotPath;
  // --page NAME: show this page of the main window first (with
  // --screenshot, the page pictured); "all" with --screenshot saves one
  // picture per page, the path's "%p" replaced by the page's name.
  QString page;
  // --startup-report: print the start-up time (apart from the prescribed
  // waits) and the resident memory once the device is initialised.
  bool startupReport = false;
  // --connect [3g|1x|wlan|auto]: ask the running dashboard to connect (as
  // its buttons would) and end with 0 once connected; --disconnect likewise.
  QString connectType;
  bool disconnect = false;
  // --dial NUMBER, or a "tel:" link: dial NUMBER on the call page, of the
  // copy already running if there is one (the number is checked there too).
  QString dialNumber;
  // --list-sms [inbox|outbox|saved]: print a box of the running dashboard's
  // message store as JSON (the inbox when no box is named).
  QString listSmsBox;
  // --send-sms NUMBERS TEXT: ask the running dashboard to send TEXT to the
  // numbers (separated by ';') and end with 0 once every one was sent.
  bool sendSms = false;
  // "sms:NUMBERS?body=TEXT": open the write window filled in, in the copy
  // already running if there is one. Numbers separated by ';'.
  bool openSms = false;
  QString smsRecipients;
  QString smsText;
  // --status: print the running dashboard's state as one JSON object.
  bool status = false;
  // --help: print the usage and end.
  bool help = false;

  // Makes the relative paths of --port and --screenshot absolute, taken from
  // startDir: the folder the user started the program in, which the launcher
  // leaves for the data folder (it passes the folder in kStartDirVariable).
  void ResolvePaths(const QString& startDir);

  // Parses the arguments (without the program name). False with a message
  // in error for an unknown option or a missing value.
  static bool Parse(const QStringList& arguments, LaunchOptions& out, QString& error);
  static QString Usage();

  // The numbers and text of an "sms:" link (RFC 5724: numbers separated by
  // ',', the text in the query's "body", percent-encoded). Visual separators
  // in numbers (spaces, '-', '.', '(', ')') are dropped. False with a
  // message when the link holds something a recipients field refuses.
  static bool ParseSmsLink(const QString& link, QString& recipients, QString& text, QString& error);
  // The recipients of --send-sms: at most 10 numbers of dial characters.
  static bool CheckSendRecipients(const QString& recipients, QString& error);
};

}  // namespace evdo
