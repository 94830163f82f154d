#pragma once
// CSelPosition: which number field of a PC contact a number goes into
// (Mobile, Home or Office), shown with the entry's name and number; it may
// offer to keep the choice for the rest of a selection.
#include <optional>

#include "phonebook/ContactRecord.h"
#include "ui/skin/CBaseDlg.h"

class QCheckBox;
class QRadioButton;

namespace evdo {

class CSelPosition : public CBaseDlg {
  Q_OBJECT

public:
  CSelPosition(const QString& name, const QString& number, bool offerKeep, QWidget* parent = nullptr);
  ContactField Field() const;
  bool Keep() const;

private:
  QRadioButton* mobile_;
  QRadioButton* home_;
  QRadioButton* company_;
  QCheckBox* keep_ = nullptr;
};

}  // namespace evdo
