#include "security/ui/SecurityContext.h"

#include <QAbstractButton>
#include <QMessageBox>

#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"

namespace evdo {

QString SecurityText(StringId id) { return QString::fromStdString(ToUtf8(LoadString(id))); }

QString SecurityCaption() {
  return QString::fromStdString(ToUtf8(PrefixedTitle(LoadString(kStrAppTitle))));
}

void ShowSecurityMessage(QWidget* parent, StringId id) {
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

}  // namespace evdo
