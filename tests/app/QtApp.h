#pragma once
// The one QApplication of a test process, made on first use (the tests run on
// the main thread; the platform is offscreen, set by the test command).
#include <QApplication>

namespace evdo::test {

inline QApplication& QtApp() {
  static int argc = 1;
  static char name[] = "evdo-shell-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace evdo::test
