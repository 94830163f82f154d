#pragma once
// CSelDialDlg: the choice of one number of a contact that has several (to
// call it, or to take it as a message recipient).
#include <QString>

#include <string>
#include <vector>

#include "ui/skin/CBaseDlg.h"

class QListWidget;

namespace evdo {

class CSelDialDlg : public CBaseDlg {
  Q_OBJECT

public:
  // numbers in the system code page; labels name each (Mobile, Home, Office).
  CSelDialDlg(const QString& name, const std::vector<std::string>& numbers, const std::vector<QString>& labels,
              QWidget* parent = nullptr);
  const std::string& Chosen() const { return chosen_; }

  // The number to use for a contact: none gives "" (the caller shows 199),
  // one is taken at once, several open the dialog ("" when cancelled).
  static std::string ChooseNumber(QWidget* parent, const QString& name, const std::vector<std::string>& numbers,
                                  const std::vector<QString>& labels, bool* cancelled = nullptr);

private:
  QListWidget* list_;
  std::vector<std::string> numbers_;
  std::string chosen_;
};

}  // namespace evdo
