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
  // --dial NUMBER, or a "tel:" link: dial NUMBER on the call page, of the
  // copy already running if there is one (the number is checked there too).
  QString dialNumber;
  // --help: print the usage and end.
  bool help = false;

  // Parses the arguments (without the program name). False with a message
  // in error for an unknown option or a missing value.
  static bool Parse(const QStringList& arguments, LaunchOptions& out, QString& error);
  static QString Usage();
};

}  // namespace evdo
