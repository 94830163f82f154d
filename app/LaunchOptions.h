#pragma once
// The program's options. Without any, it finds the modem among the present
// devices, as it always has.
#include <QString>
#include <QStringList>

namespace evdo {

struct LaunchOptions {
  // --port PATH: open this serial port instead of searching the devices
  // (a modem on an unusual port).
  QString portPath;
  // --simulate: start the simulated modem and use its port.
  bool simulate = false;
  // --screenshot FILE: once the device is initialised, save a picture of
  // the main window there, print the path and end.
  QString screenshotPath;
  // --startup-report: print the start-up time (apart from the prescribed
  // waits) and the resident memory once the device is initialised.
  bool startupReport = false;
  // --connect [3g|1x|wlan|auto]: ask the running dashboard to connect (as
  // its buttons would) and end with 0 once connected; --disconnect likewise.
  QString connectType;
  bool disconnect = false;
  // --help: print the usage and end.
  bool help = false;

  // Parses the arguments (without the program name). False with a message
  // in error for an unknown option or a missing value.
  static bool Parse(const QStringList& arguments, LaunchOptions& out, QString& error);
  static QString Usage();
};

}  // namespace evdo
