#pragma once
// CSmsExtractNumDlg: the numbers found in a message's text, with the
// message's own number first, for the user to choose the one that goes
// into the phonebook.
#include <string>
#include <vector>

#include "ui/skin/CBaseDlg.h"

class QListWidget;

namespace evdo {

class CSmsExtractNumDlg : public CBaseDlg {
  Q_OBJECT

public:
  // numbers in the system code page, shown as plain text in this order.
  CSmsExtractNumDlg(const std::vector<std::string>& numbers, QWidget* parent = nullptr);

  QListWidget* List() const { return list_; }
  // The chosen number; empty before OK.
  const std::string& Chosen() const { return chosen_; }

  // Runs the dialog; the chosen number, or empty when cancelled.
  static std::string Choose(const std::vector<std::string>& numbers, QWidget* parent);

private:
  void OnOk();

  std::vector<std::string> numbers_;
  QListWidget* list_;
  std::string chosen_;
};

}  // namespace evdo
