#pragma once
// Shared pieces of the skin window tests: the application object and a test
// theme whose pictures have known pixels.
#include <QApplication>
#include <QColor>
#include <QImage>
#include <QString>

#include <string>

namespace evdo::test {

// The one application object of the test process (offscreen platform).
QApplication& App();

// Writes a skin into folder: theme.ini and its pictures. Every frame pixel
// tells where in its picture it is:
//   "Top" (BMP, 100 x 60): red = x, green = y, blue = 50
//   "Left" (8 x 40): red = 150 + x, green = y, blue = 0
//   "Right" (8 x 40): red = 200 + x, green = y, blue = 255
//   "Bottom" (100 x 12): red = x, green = 100 + y, blue = 150
// The alternative set is like it with blue + 1; "TopLogo" is a JPEG.
// Title-bar buttons are 3 states of 20 x 16, each state one colour
// (ButtonColour); the push button bitmap is 30 x 40, four states of one
// colour each (PushColour) inside a 3-pixel border of black.
struct TestTheme {
  static constexpr int kTopFixed = 20;
  static constexpr int kButtonY = 7;
  static constexpr int kCloseX = 4;
  static constexpr int kMaximiseX = 26;
  static constexpr int kMinimiseX = 48;
  static constexpr int kExtraX = 70;

  // extraPersonality goes into "Personality"; extraSections come before
  // the theme's own sections, so that theirs are the ones read.
  static void Write(const QString& folder, const std::string& extraPersonality = "",
                    const std::string& extraSections = "", bool withPushButton = true);
  static QColor ButtonColour(int button, int state);  // button: 0 close, 1 max, 2 restore, 3 min, 4 extra
  static QColor PushColour(int state);
  static bool SaveImage(const QImage& image, const QString& path, const char* format);
};

}  // namespace evdo::test
