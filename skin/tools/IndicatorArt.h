#pragma once
// Draws the main window's indicator pictures, the tray icon and the
// application icon.
#include <QImage>
#include <QString>

namespace evdo::skingen {

constexpr int kIndicatorWidth = 24;
constexpr int kIndicatorHeight = 16;

class IndicatorArt {
public:
  static QImage Signal(int level);  // 0 to 5
  static QImage NoService();
  static QImage Roaming(bool on);
  static QImage Network(int kind);  // 0 none, 1 1X, 2 EVDO
  static QImage Unread();
  static QImage InboxFull();
  static QImage Call(int state);  // 0 idle, 1 incoming, 2 in a call
  static QImage Connection(bool connected);
  static QImage TrayIcon();
  static QImage AppIcon(int size);

  // Writes every picture into folder. False on failure.
  static bool WriteAll(const QString& folder);
};

}  // namespace evdo::skingen
