#include "tests/ui/skin/QtTestSupport.h"

#include <QDir>
#include <QFile>
#include <QPainter>

#include <gtest/gtest.h>

namespace evdo::test {
namespace {

int argc = 1;
char arg0[] = "skin_ui_test";
char* argv[] = {arg0, nullptr};

QImage Filled(int w, int h, QRgb (*pixel)(int x, int y, int extra), int extra) {
  QImage image(w, h, QImage::Format_RGB32);
  for (int y = 0; y < h; ++y)
    for (int x = 0; x < w; ++x) image.setPixel(x, y, pixel(x, y, extra));
  return image;
}

QImage ButtonPicture(int button) {
  QImage image(60, 16, QImage::Format_RGB32);
  QPainter p(&image);
  for (int state = 0; state < 3; ++state) p.fillRect(state * 20, 0, 20, 16, TestTheme::ButtonColour(button, state));
  return image;
}

QImage PushPicture() {
  QImage image(30, 40, QImage::Format_RGB32);
  image.fill(Qt::black);
  QPainter p(&image);
  for (int state = 0; state < 4; ++state) p.fillRect(3, state * 10 + 3, 24, 4, TestTheme::PushColour(state));
  return image;
}

void WriteText(const QString& path, const std::string& text) {
  QFile file(path);
  if (file.open(QIODevice::WriteOnly | QIODevice::Truncate)) file.write(text.data(), static_cast<qint64>(text.size()));
}

QApplication* application = nullptr;

// Ends the application before the process exits: Qt's devices must not be
// destroyed among the static objects.
class AppEnvironment : public ::testing::Environment {
public:
  void TearDown() override {
    delete application;
    application = nullptr;
  }
};
const auto* const kEnvironment = ::testing::AddGlobalTestEnvironment(new AppEnvironment);

}  // namespace

QApplication& App() {
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  if (!application) application = new QApplication(argc, argv);
  return *application;
}

QColor TestTheme::ButtonColour(int button, int state) { return QColor(40 * button + 10, 30 + 60 * state, 222); }

QColor TestTheme::PushColour(int state) { return QColor(250, 40 + 50 * state, 10); }

bool TestTheme::SaveImage(const QImage& image, const QString& path, const char* format) {
  return image.save(path, format, 100);
}

void TestTheme::Write(const QString& folder, const std::string& extraPersonality, const std::string& extraSections,
                      bool withPushButton) {
  QDir().mkpath(folder);
  for (int alt = 0; alt < 2; ++alt) {
    QString suffix = alt ? "2" : "";
    SaveImage(Filled(100, alt ? 40 : 60, [](int x, int y, int a) { return qRgb(x, y, 50 + a); }, alt),
              folder + "/top" + suffix + ".bmp", "BMP");
    SaveImage(Filled(8, 40, [](int x, int y, int a) { return qRgb(150 + x, y, a); }, alt),
              folder + "/left" + suffix + ".png", "PNG");
    SaveImage(Filled(8, 40, [](int x, int y, int a) { return qRgb(200 + x, y, 255 - a); }, alt),
              folder + "/right" + suffix + ".png", "PNG");
    SaveImage(Filled(100, 12, [](int x, int y, int a) { return qRgb(x, 100 + y, 150 + a); }, alt),
              folder + "/bottom" + suffix + ".png", "PNG");
  }
  QImage small(10, 2, QImage::Format_RGB32);
  small.fill(QColor(1, 2, 3));
  SaveImage(small, folder + "/bottomc.png", "PNG");
  QImage logo(16, 16, QImage::Format_RGB32);
  logo.fill(QColor(0, 128, 255));
  SaveImage(logo, folder + "/logo.jpg", "JPEG");
  const char* buttons[] = {"close", "max", "restore", "min", "extra"};
  for (int b = 0; b < 5; ++b) SaveImage(ButtonPicture(b), folder + "/" + buttons[b] + ".png", "PNG");
  if (withPushButton) SaveImage(PushPicture(), folder + "/push.png", "PNG");

  std::string text =
      "[Personality]\n"
      "Top=top.bmp\nLeft=left.png\nRight=right.png\nBottom=bottom.png\nBottomc=bottomc.png\n"
      "Top2=top2.bmp\nLeft2=left2.png\nRight2=right2.png\nBottom2=bottom2.png\nTopLogo=other\\folder\\logo.jpg\n"
      "TopTopHeight=20\nTopBotHeight=20\nBottomTopHeight=10\nBottomBotHeight=10\n"
      "ButtonCount=5\n" + extraPersonality + extraSections +
      "[Button0]\nButtonImage=close.png\nAction=0\nXCoord=4\nYCoord=7\n"
      "[Button1]\nButtonImage=max.png\nAction=1\nXCoord=26\nYCoord=7\n"
      "[Button2]\nButtonImage=restore.png\nAction=1\nXCoord=26\nYCoord=7\n"
      "[Button3]\nButtonImage=min.png\nAction=2\nXCoord=48\nYCoord=7\n"
      "[Button4]\nButtonImage=extra.png\nAction=3\nXCoord=70\nYCoord=7\n"
      "[Colours]\nTitleText=1 2 3\nBarColor=200 210 220\nButtonText=5 6 7\n"
      "[Buttons]\nBitmap=push.png\nTopHeight=3\nBottomHeight=3\nLeftWidth=3\nRightWidth=3\n";
  WriteText(folder + "/theme.ini", text);
}

}  // namespace evdo::test
