#include "security/ui/PinEdit.h"

#include <QApplication>

#include "security/PinCode.h"

namespace evdo {

QValidator::State CPinValidator::validate(QString& input, int& pos) const {
  std::string text = input.toStdString();
  if (IsPinInput(text)) return IsPinCode(text) ? Acceptable : Intermediate;
  std::string digits = PinFromPaste(text);
  if (!digits.empty()) {
    input = QString::fromStdString(digits);
    pos = static_cast<int>(input.size());
    return IsPinCode(digits) ? Acceptable : Intermediate;
  }
  QApplication::beep();
  return Invalid;
}

CPinEdit::CPinEdit(QWidget* parent) : QLineEdit(parent) {
  setEchoMode(QLineEdit::Password);
  setMaxLength(static_cast<int>(kPinMaxDigits) * 4);  // room for a paste to be cleaned
  setValidator(new CPinValidator(this));
  setInputMethodHints(Qt::ImhDigitsOnly | Qt::ImhSensitiveData | Qt::ImhNoPredictiveText);
}

}  // namespace evdo
