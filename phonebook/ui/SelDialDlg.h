#pragma once
// Choosing a number from the phonebook (CSelDialDlg): every contact with
// its non-empty numbers (Mobile, Home, Office), one row each; the chosen
// row's number is the result. And the position dialog (CSelPosition):
// which field of a new contact a number goes into, with the contact's name.
#include "ui/skin/CBaseDlg.h"

#include <string>

#include "phonebook/ContactRecord.h"

class QComboBox;
class QLineEdit;
class QTreeWidget;

namespace evdo {

class CPbData;

class CSelDialDlg : public CBaseDlg {
  Q_OBJECT

public:
  CSelDialDlg(const CPbData& phonebook, QWidget* parent = nullptr);

  // The chosen number, in the system code page ("" before a choice).
  const std::string& ChosenNumber() const { return chosen_; }
  QTreeWidget& Rows() { return *rows_; }
  int RowCount() const;

  void accept() override;

private:
  QTreeWidget* rows_;
  std::string chosen_;
};

class CSelPosition : public CBaseDlg {
  Q_OBJECT

public:
  CSelPosition(std::string number, QWidget* parent = nullptr);

  // The new contact: the name typed and the number in the chosen field.
  ContactRecord Contact() const;
  void SetName(const QString& name);
  void SetField(int index);  // 0 Mobile, 1 Home, 2 Office

private:
  std::string number_;
  QLineEdit* name_;
  QComboBox* field_;
};

}  // namespace evdo
