#pragma once
// The About window (template 100): the product name, the program's version,
// the device's identity and firmware version, and the web and mail links.
#include <QString>

#include "ui/skin/CBaseDlg.h"

class QLabel;

namespace evdo {

class CAboutDialog : public CBaseDlg {
  Q_OBJECT

public:
  CAboutDialog(const QString& identity, const QString& firmware, QWidget* parent = nullptr);

  // The program's version as the About window shows it: "%u, %u, %u, %04u".
  static QString VersionText();
  // Opens a link target with the desktop's handler; false when none took it.
  static bool OpenLink(const QString& target);
  // The target a link text stands for: a mail address becomes "mailto:", a
  // bare host name "http://".
  static QString LinkTarget(const QString& text, bool mail);

private:
  QLabel* PlainLabel(const QString& text);
  QLabel* Link(const QString& text, bool mail);
};

}  // namespace evdo
