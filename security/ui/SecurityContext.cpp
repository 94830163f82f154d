#include "security/ui/SecurityContext.h"

#include "ui/text/QtText.h"

#include <QAbstractButton>
#include <QApplication>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"

namespace evdo {

namespace {
void OpenMessageBox(QWidget* parent, StringId id);
}  // namespace

QString SecurityText(StringId id) { return Str(id); }

QString SecurityCaption() {
  return FromAnsi(PrefixedTitle(LoadString(kStrAppTitle)));
}

void ShowSecurityMessage(QWidget* parent, StringId id) {
  // Built and shown in an event of its own, apart from the answer that
  // asked for it, so that neither keeps the window busy long.
  QPointer<QWidget> owner(parent);
  QTimer::singleShot(0, qApp, [owner, parent, id] {
    if (parent != nullptr && owner.isNull()) return;
    OpenMessageBox(owner.data(), id);
  });
}

namespace {

void OpenMessageBox(QWidget* parent, StringId id) {
  auto* box = new QMessageBox(QMessageBox::Information, SecurityCaption(), SecurityText(id),
                              QMessageBox::Ok, parent);
  box->setObjectName(QString("message%1").arg(id));
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->setWindowFlag(Qt::WindowStaysOnTopHint);
  if (QAbstractButton* ok = box->button(QMessageBox::Ok)) ok->setText(SecurityText(kStrButtonOk));
  box->open();
  box->raise();
  box->activateWindow();
}

}  // namespace

}  // namespace evdo
