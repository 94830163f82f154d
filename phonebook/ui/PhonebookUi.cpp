#include "phonebook/ui/PhonebookUi.h"

#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>

#include "ui/text/QtText.h"
#include "core/settings/SetupData.h"
#include "phonebook/PhonebookMessages.h"
#include "ui/LanguageStrings.h"

namespace evdo {

QString PhonebookCaption() { return FromAnsi(PrefixedTitle(LoadString(pbmsg::kCaption))); }

void ShowPbMessage(QWidget* parent, int message, const QString& detail) {
  QMessageBox box(QMessageBox::Warning, PhonebookCaption(), Str(message), QMessageBox::NoButton, parent);
  box.setObjectName(QString("message%1").arg(message));
  box.setTextFormat(Qt::PlainText);
  if (!detail.isEmpty()) box.setInformativeText(detail);
  box.addButton(Str(kStrOk), QMessageBox::AcceptRole);
  box.exec();
}

bool AskPb(QWidget* parent, int question, bool yesNo, const QString& prefix) {
  QMessageBox box(QMessageBox::Question, PhonebookCaption(), prefix + Str(question), QMessageBox::NoButton, parent);
  box.setObjectName(QString("question%1").arg(question));
  box.setTextFormat(Qt::PlainText);
  QPushButton* yes = box.addButton(Str(yesNo ? kStrYes : kStrOk), QMessageBox::AcceptRole);
  QPushButton* no = box.addButton(Str(yesNo ? kStrNo : kStrCancel), QMessageBox::RejectRole);
  box.setDefaultButton(no);
  box.setEscapeButton(no);
  box.exec();
  return box.clickedButton() == yes;
}

std::vector<QString> NumberLabels(const std::vector<ContactNumber>& numbers) {
  std::vector<QString> labels;
  for (const ContactNumber& n : numbers)
    labels.push_back(Str(n.field == ContactField::Mobile ? kStrPbMobile
                         : n.field == ContactField::Home ? kStrColumnHome
                                                         : kStrColumnOffice));
  return labels;
}

QString QtFileFilter(const QString& filter) {
  const QStringList parts = filter.split('|', Qt::SkipEmptyParts);
  QStringList names;
  for (int i = 0; i + 1 < parts.size(); i += 2) {
    // "CSV files (*.csv)" already names its pattern; add it when it does not.
    names << (parts[i].contains('(') ? parts[i] : parts[i] + " (" + QString(parts[i + 1]).replace(';', ' ') + ")");
  }
  return names.join(";;");
}

bool ChooseExportFile(QWidget* parent, ExportKind kind, std::string& path, ExportFormat& format) {
  const ExportStrings strings = CExportWriter::StringsFor(kind);
  const QString filter = QtFileFilter(Str(strings.filter));
  QString selected;
  QString chosen = QFileDialog::getSaveFileName(parent, Str(strings.title), QDir::currentPath(), filter, &selected,
                                                QFileDialog::DontConfirmOverwrite);
  if (chosen.isEmpty()) return false;
  const int index = std::max(0, static_cast<int>(filter.split(";;").indexOf(selected)));
  format = kind == ExportKind::Phonebook && index == 1 ? ExportFormat::VCard : ExportFormat::Csv;
  const std::string extension =
      LoadString(format == ExportFormat::VCard ? kVCardExtensionString : kCsvExtensionString);
  path = CExportWriter::WithExtension(QFile::encodeName(chosen).toStdString(), extension);
  if (QFile::exists(QFile::decodeName(path.c_str())) &&
      !AskPb(parent, pbmsg::kOverwriteQuestion, false, QFile::decodeName(path.c_str())))
    return false;
  return true;
}

bool ChooseImportFile(QWidget* parent, std::string& path) {
  const QString filter = QtFileFilter(Str(kPhonebookFilterString));
  QString chosen = QFileDialog::getOpenFileName(parent, Str(kImportTitleString), QDir::currentPath(), filter);
  if (chosen.isEmpty()) return false;
  path = QFile::encodeName(chosen).toStdString();
  return true;
}

}  // namespace evdo
