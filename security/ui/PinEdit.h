#pragma once
// The edit box of a PIN, PUK or new PIN: at most 8 digits, shown masked.
// Anything else typed is refused with a beep; a pasted text keeps its digits
// when it holds nothing but digits, blanks, dashes and line ends, and is
// refused whole otherwise. So no quote or CR can reach a card command.
#include <QLineEdit>
#include <QValidator>

namespace evdo {

class CPinValidator : public QValidator {
  Q_OBJECT

public:
  using QValidator::QValidator;
  State validate(QString& input, int& pos) const override;
};

class CPinEdit : public QLineEdit {
  Q_OBJECT

public:
  explicit CPinEdit(QWidget* parent = nullptr);
  // The code as typed (digits only, by construction).
  std::string Code() const { return text().toStdString(); }
};

}  // namespace evdo
