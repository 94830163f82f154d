#pragma once
// The QApplication of a window test program, with the English language
// module active (from EVDO_TEST_LANG_DIR, which the test target defines),
// so that windows show the texts the program shows.
#include <QApplication>

#include "ui/LanguageLibrary.h"
#include "ui/LanguageStrings.h"

namespace evdo::test {

inline QApplication& EnglishQtApp() {
  static int argc = 1;
  static char name[] = "evdo-window-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  static const LanguageExports* english = [] {
    const LanguageExports* module = DlopenLanguageLoader::Instance().Load(EVDO_TEST_LANG_DIR "/english.so");
    SetActiveLanguage(module);
    return module;
  }();
  (void)english;
  return *app;
}

}  // namespace evdo::test
