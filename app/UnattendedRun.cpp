#include "app/UnattendedRun.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QEvent>
#include <QLabel>
#include <QMessageBox>

#include <cstdio>

#include "app/LaunchOptions.h"
#include "app/ModaraApp.h"

namespace evdo {

CUnattendedRun::CUnattendedRun(Ending ending, QObject* parent) : QObject(parent), ending_(std::move(ending)) {
  if (!ending_) {
    ending_ = [](const QString& report) {
      std::fprintf(stderr, "evdo-dashboard: --screenshot run ended: a window waits for a click:\n%s\n",
                   qPrintable(report));
      CModaraApp::EndProcess(kExitNeedsPerson);
    };
  }
}

void CUnattendedRun::Install() { qApp->installEventFilter(this); }

QString CUnattendedRun::TextOf(QWidget& box) {
  QStringList lines;
  if (!box.windowTitle().isEmpty()) lines << box.windowTitle();
  if (auto* message = qobject_cast<QMessageBox*>(&box)) {
    lines << message->text();
    if (!message->informativeText().isEmpty()) lines << message->informativeText();
    if (!message->detailedText().isEmpty()) lines << message->detailedText();
    return lines.join('\n');
  }
  for (QLabel* label : box.findChildren<QLabel*>())
    if (!label->text().isEmpty()) lines << label->text();
  for (QAbstractButton* button : box.findChildren<QAbstractButton*>())
    if (!button->text().isEmpty()) lines << "[" + button->text() + "]";
  return lines.join('\n');
}

bool CUnattendedRun::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::Show && !ended_) {
    auto* widget = qobject_cast<QWidget*>(watched);
    if (widget != nullptr && widget->isWindow() && widget != exempt_.data() &&
        qobject_cast<QDialog*>(widget) != nullptr) {
      ended_ = true;
      ending_(TextOf(*widget));
    }
  }
  return QObject::eventFilter(watched, event);
}

}  // namespace evdo
