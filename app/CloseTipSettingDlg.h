#pragma once
// Asks what closing the main window means: hide it to the notification area
// (close action 0) or exit (non-zero), and whether to remember the answer.
#include <cstdint>

#include "ui/skin/CBaseDlg.h"

class QCheckBox;
class QRadioButton;

namespace evdo {

class CCloseTipSettingDlg : public CBaseDlg {
  Q_OBJECT

public:
  CCloseTipSettingDlg(std::int32_t closeAction, std::int32_t remember, QWidget* parent = nullptr);

  std::int32_t CloseAction() const;
  std::int32_t Remember() const;

private:
  QRadioButton* hide_;
  QRadioButton* exit_;
  QCheckBox* remember_;
};

}  // namespace evdo
