#include "sms/ui/SmsUiText.h"

#include <QMessageBox>
#include <QWidget>

#include "ui/text/QtText.h"

namespace evdo::sms {

QString FilledText(StringId id, const std::string& detail, std::initializer_list<int> numbers) {
  QString text = Str(id);
  qsizetype at = text.indexOf("%s");
  if (at >= 0) text.replace(at, 2, FromAnsi(detail));
  for (int n : numbers) {
    at = text.indexOf("%d");
    if (at < 0) break;
    text.replace(at, 2, QString::number(n));
  }
  return text;
}

void ShowMessageBox(QWidget* parent, StringId id, const std::string& detail) {
  auto* box = new QMessageBox(QMessageBox::Information, Str(kStrAppTitle), FilledText(id, detail), QMessageBox::Ok,
                              parent);
  box->setObjectName(QString("message%1").arg(id));
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace evdo::sms
