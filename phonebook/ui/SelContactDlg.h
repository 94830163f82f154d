#pragma once
// CSelContactDlg: the PC contacts listed for another window (the call page,
// the message writing window). Each chosen contact yields one number (a
// contact with several asks which, CSelDialDlg), sent to the requesting
// window with WM_USER+16 and kept in Numbers().
#include <string>
#include <vector>

#include "core/event/WindowPort.h"
#include "phonebook/PbData.h"
#include "ui/skin/CBaseDlg.h"

class QTreeWidget;

namespace evdo {

class CSelContactDlg : public CBaseDlg {
  Q_OBJECT

public:
  // multiple: up to ten contacts may be chosen. requester may be null.
  CSelContactDlg(const CPbData& store, bool multiple, WindowHandler* requester, QWidget* parent = nullptr);
  const std::vector<std::string>& Numbers() const { return numbers_; }

  // Runs the dialog and gives the chosen numbers (empty when cancelled).
  static std::vector<std::string> Choose(QWidget* parent, const CPbData& store, bool multiple,
                                         WindowHandler* requester = nullptr);

private:
  void OnOk();

  const CPbData& store_;
  bool multiple_;
  WindowHandler* requester_;
  QTreeWidget* list_;
  std::vector<std::string> numbers_;
};

}  // namespace evdo
