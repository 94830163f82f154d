#include "phonebook/ui/SelPosition.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLabel>
#include <QRadioButton>
#include <QVBoxLayout>

#include "ui/text/QtText.h"

namespace evdo {

CSelPosition::CSelPosition(const QString& name, const QString& number, bool offerKeep, QWidget* parent)
    : CBaseDlg(parent),
      mobile_(new QRadioButton(Str(kStrPbMobile), this)),
      home_(new QRadioButton(Str(kStrColumnHome), this)),
      company_(new QRadioButton(Str(kStrColumnOffice), this)) {
  setObjectName("CSelPosition");
  setWindowTitle(Str(kStrPbSelectPositionTitle));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  auto plain = [this](const QString& text) {
    auto* label = new QLabel(text, this);
    label->setTextFormat(Qt::PlainText);
    return label;
  };
  form->addRow(Str(kStrColumnName), plain(name));
  form->addRow(Str(kStrColumnNumber), plain(number));
  layout->addLayout(form);
  layout->addWidget(mobile_);
  layout->addWidget(home_);
  layout->addWidget(company_);
  mobile_->setChecked(true);
  if (offerKeep) {
    keep_ = new QCheckBox(Str(kStrPbKeepChoice), this);
    keep_->setObjectName("keepChoice");
    layout->addWidget(keep_);
  }
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrOk), QDialogButtonBox::AcceptRole);
  buttons->addButton(Str(kStrCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  layout->addWidget(buttons);
}

ContactField CSelPosition::Field() const {
  if (home_->isChecked()) return ContactField::Home;
  if (company_->isChecked()) return ContactField::Company;
  return ContactField::Mobile;
}

bool CSelPosition::Keep() const { return keep_ != nullptr && keep_->isChecked(); }

}  // namespace evdo
