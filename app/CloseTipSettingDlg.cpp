#include "app/CloseTipSettingDlg.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QPushButton>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/text/QtText.h"

namespace evdo {

CCloseTipSettingDlg::CCloseTipSettingDlg(std::int32_t closeAction, std::int32_t remember, QWidget* parent)
    : CBaseDlg(parent),
      hide_(new QRadioButton(Str(kStrCloseTipHide), this)),
      exit_(new QRadioButton(Str(kStrCloseTipExit), this)),
      remember_(new QCheckBox(Str(kStrCloseTipRemember), this)) {
  setObjectName("CCloseTipSettingDlg");
  setWindowTitle(Str(kStrAppTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(new QLabel(Str(kStrCloseTipQuestion), this));
  layout->addWidget(hide_);
  layout->addWidget(exit_);
  layout->addWidget(remember_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrButtonOk), QDialogButtonBox::AcceptRole)->setDefault(true);
  buttons->addButton(Str(kStrButtonCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
  (closeAction == 0 ? hide_ : exit_)->setChecked(true);
  remember_->setChecked(remember != 0);
}

std::int32_t CCloseTipSettingDlg::CloseAction() const { return hide_->isChecked() ? 0 : 1; }

std::int32_t CCloseTipSettingDlg::Remember() const { return remember_->isChecked() ? 1 : 0; }

}  // namespace evdo
