#include "app/AboutDialog.h"

#include <QDesktopServices>
#include <QFormLayout>
#include <QLabel>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

#include "ui/text/QtText.h"
#include "core/settings/SetupData.h"
#include "ui/LanguageStrings.h"

#ifndef EVDO_VERSION_MAJOR
#define EVDO_VERSION_MAJOR 0
#define EVDO_VERSION_MINOR 0
#define EVDO_VERSION_PATCH 0
#define EVDO_VERSION_TWEAK 0
#endif

namespace evdo {

QString CAboutDialog::VersionText() {
  return QString::asprintf("%u, %u, %u, %04u", unsigned{EVDO_VERSION_MAJOR}, unsigned{EVDO_VERSION_MINOR},
                           unsigned{EVDO_VERSION_PATCH}, unsigned{EVDO_VERSION_TWEAK});
}

QString CAboutDialog::LinkTarget(const QString& text, bool mail) {
  QString t = text.trimmed();
  if (t.isEmpty()) return t;
  if (mail) return t.startsWith("mailto:", Qt::CaseInsensitive) ? t : "mailto:" + t;
  return t.contains("://") ? t : "http://" + t;
}

bool CAboutDialog::OpenLink(const QString& target) {
  return !target.isEmpty() && QDesktopServices::openUrl(QUrl(target));
}

CAboutDialog::CAboutDialog(const QString& identity, const QString& firmware, QWidget* parent)
    : CBaseDlg(parent) {
  setObjectName("CAboutDialog");
  const CSetupData& setup = CSetupData::Instance();
  setWindowTitle(FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))));
  auto* layout = new QVBoxLayout(this);
  auto* name = PlainLabel(QString("%1 %2").arg(FromAnsi(setup.Main_szPrefixName), Str(kStrAppTitle)));
  QFont bold = name->font();
  bold.setBold(true);
  bold.setPointSize(bold.pointSize() + 2);
  name->setFont(bold);
  layout->addWidget(name);

  auto* form = new QFormLayout();
  form->addRow(Str(kStrAboutProgram), PlainLabel(QString("%1  %2").arg(Str(kStrProgramFileName), VersionText())));
  // The identity and the version come from the modem: shown as they are,
  // never read as markup.
  auto* id = PlainLabel(identity);
  id->setObjectName("identity");
  id->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(Str(kStrAboutIdentity), id);
  auto* fw = PlainLabel(firmware);
  fw->setObjectName("firmware");
  fw->setTextInteractionFlags(Qt::TextSelectableByMouse);
  form->addRow(Str(kStrAboutFirmware), fw);
  form->addRow(Str(kStrAboutWeb), Link(FromAnsi(setup.Main_szURL), false));
  form->addRow(Str(kStrAboutMail), Link(FromAnsi(setup.Main_szEMail), true));
  layout->addLayout(form);

  auto* ok = new QPushButton(Str(kStrButtonOk), this);
  ok->setDefault(true);
  connect(ok, &QPushButton::clicked, this, &QDialog::accept);
  layout->addWidget(ok, 0, Qt::AlignRight);
}

QLabel* CAboutDialog::PlainLabel(const QString& text) {
  auto* label = new QLabel(this);
  label->setTextFormat(Qt::PlainText);
  label->setText(text);
  return label;
}

QLabel* CAboutDialog::Link(const QString& text, bool mail) {
  auto* label = new QLabel(this);
  label->setObjectName(mail ? "mail" : "web");
  QString target = LinkTarget(text, mail);
  if (!target.isEmpty())
    label->setText(QString("<a href=\"%1\">%2</a>").arg(target.toHtmlEscaped(), text.toHtmlEscaped()));
  label->setTextFormat(Qt::RichText);
  label->setOpenExternalLinks(false);
  label->setCursor(Qt::PointingHandCursor);
  connect(label, &QLabel::linkActivated, this, [](const QString& link) { OpenLink(link); });
  return label;
}

}  // namespace evdo
