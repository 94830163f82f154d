// skinshot: renders a sample skinned dialog in each shipped skin, active and
// inactive, to PNG files, for looking at the skins without a desktop:
//   skinshot SKINDIR OUTDIR   (SKINDIR holds light/ and dark/)
#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProgressBar>
#include <QPushButton>

#include <cstdio>

#include "ui/skin/CBaseDlg.h"

namespace {

class SampleDlg : public evdo::CBaseDlg {
public:
  SampleDlg() {
    setWindowTitle(QStringLiteral("Connection settings"));
    ModifyStyle(0, kStyleMinimizeBox | kStyleMaximizeBox);
    auto* grid = new QGridLayout(this);
    auto* box = new QGroupBox(QStringLiteral("Dial-up"), this);
    auto* form = new QGridLayout(box);
    form->addWidget(new QLabel(QStringLiteral("Number:")), 0, 0);
    form->addWidget(new QLineEdit(QStringLiteral("#777")), 0, 1);
    form->addWidget(new QLabel(QStringLiteral("User name:")), 1, 0);
    form->addWidget(new QLineEdit(QStringLiteral("card")), 1, 1);
    form->addWidget(new QCheckBox(QStringLiteral("Connect when the program starts")), 2, 0, 1, 2);
    auto* bar = new QProgressBar(box);
    bar->setValue(62);
    form->addWidget(bar, 3, 0, 1, 2);
    grid->addWidget(box, 0, 0, 1, 4);
    auto* connect = new QPushButton(QStringLiteral("Connect"), this);
    auto* disabled = new QPushButton(QStringLiteral("Disconnect"), this);
    disabled->setEnabled(false);
    auto* hover = new QPushButton(QStringLiteral("Apply"), this);
    hover->setAttribute(Qt::WA_UnderMouse);
    grid->addWidget(connect, 1, 1);
    grid->addWidget(disabled, 1, 2);
    grid->addWidget(hover, 1, 3);
    grid->setColumnStretch(0, 1);
    connect->setFocus();
    resize(440, 260);
  }
};

bool Shot(const QString& skinDir, int style, const QString& out) {
  evdo::CBaseDlg::SetStringLookup([skinDir](int id) {
    return (skinDir + (id == evdo::kLightThemeString ? "/light/theme.ini" : "/dark/theme.ini")).toStdString();
  });
  SampleDlg dlg;
  dlg.show();
  if (!dlg.ApplySkin(style)) return false;
  dlg.activateWindow();
  QApplication::processEvents();
  bool ok = dlg.grab().save(out + QStringLiteral("/skin-%1.png").arg(style));
  QPoint close = dlg.TitleButtonRect(evdo::TitleButton::Close).center();
  QMouseEvent move(QEvent::MouseMove, close, dlg.mapToGlobal(close), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
  QApplication::sendEvent(&dlg, &move);
  ok = ok && dlg.grab().save(out + QStringLiteral("/skin-%1-hover.png").arg(style));
  dlg.showMaximized();
  QApplication::processEvents();
  ok = ok && dlg.grab().save(out + QStringLiteral("/skin-%1-maximised.png").arg(style));
  dlg.showNormal();
  QWidget other;
  other.show();
  other.activateWindow();
  QApplication::processEvents();
  dlg.repaint();
  return ok && dlg.grab().save(out + QStringLiteral("/skin-%1-inactive.png").arg(style));
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 3) {
    std::fprintf(stderr, "usage: skinshot SKINDIR OUTDIR\n");
    return 2;
  }
  if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM")) qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  QString skinDir = QString::fromLocal8Bit(argv[1]);
  QString out = QString::fromLocal8Bit(argv[2]);
  for (int style : {0, 1}) {
    if (!Shot(skinDir, style, out)) {
      std::fprintf(stderr, "skinshot: skin %d did not load or could not be saved\n", style);
      return 1;
    }
  }
  return 0;
}
