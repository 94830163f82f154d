#pragma once
// CSearchContactDlg: finds contacts by a part of the name and a part of the
// mobile number, and steps through the results; each result is shown in the
// phonebook window (WM_USER+17 with its list position).
#include "core/event/WindowPort.h"
#include "phonebook/PbData.h"
#include "ui/skin/CBaseDlg.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace evdo {

class CSearchContactDlg : public CBaseDlg {
  Q_OBJECT

public:
  CSearchContactDlg(const CPbData& store, WindowHandler& phonebook, QWidget* parent = nullptr);
  void RunSearch();
  int ResultCount() const { return count_; }
  int Current() const { return current_; }

private:
  void Show(int k);

  const CPbData& store_;
  WindowHandler& phonebook_;
  QLineEdit* name_;
  QLineEdit* number_;
  QPushButton* previous_;
  QPushButton* next_;
  QLabel* position_;
  CPbData::PositionList results_{};
  int count_ = 0;
  int current_ = 0;
};

}  // namespace evdo
