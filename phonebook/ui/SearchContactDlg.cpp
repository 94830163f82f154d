#include "phonebook/ui/SearchContactDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "phonebook/ui/PhonebookUi.h"
#include "ui/text/QtText.h"

namespace evdo {

CSearchContactDlg::CSearchContactDlg(const CPbData& store, WindowHandler& phonebook, QWidget* parent)
    : CBaseDlg(parent),
      store_(store),
      phonebook_(phonebook),
      name_(new QLineEdit(this)),
      number_(new QLineEdit(this)),
      previous_(new QPushButton(Str(kStrPbPrevious), this)),
      next_(new QPushButton(Str(kStrPbNext), this)),
      position_(new QLabel("0 / 0", this)) {
  setObjectName("CSearchContactDlg");
  setWindowTitle(Str(kStrPbSearchTitle));
  name_->setObjectName("searchName");
  number_->setObjectName("searchNumber");
  name_->setMaxLength(32);
  number_->setMaxLength(40);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(Str(kStrColumnName), name_);
  form->addRow(Str(kStrPbMobile), number_);
  layout->addLayout(form);
  auto* row = new QHBoxLayout;
  auto* search = new QPushButton(Str(kStrPbSearch), this);
  search->setObjectName("searchButton");
  search->setDefault(true);
  row->addWidget(search);
  row->addWidget(previous_);
  row->addWidget(next_);
  row->addWidget(position_);
  auto* close = new QPushButton(Str(kStrClose), this);
  row->addWidget(close);
  layout->addLayout(row);
  previous_->setEnabled(false);
  next_->setEnabled(false);
  connect(search, &QPushButton::clicked, this, &CSearchContactDlg::RunSearch);
  connect(previous_, &QPushButton::clicked, this, [this] { Show(current_ - 1); });
  connect(next_, &QPushButton::clicked, this, [this] { Show(current_ + 1); });
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
}

void CSearchContactDlg::RunSearch() {
  const std::string name = ToAnsi(name_->text()), number = ToAnsi(number_->text());
  if (name.empty() && number.empty()) {
    count_ = 0;
  } else {
    store_.Search(name, number, results_, count_);
  }
  current_ = 0;
  if (count_ == 0) {
    position_->setText("0 / 0");
    previous_->setEnabled(false);
    next_->setEnabled(false);
    return;
  }
  Show(0);
}

void CSearchContactDlg::Show(int k) {
  if (count_ == 0 || k < 0 || k >= count_) return;
  current_ = k;
  position_->setText(QString("%1 / %2").arg(k + 1).arg(count_));
  previous_->setEnabled(k > 0);
  next_->setEnabled(k + 1 < count_);
  phonebook_.OnMessage(kMsgPhonebookSearch, static_cast<WParam>(results_[static_cast<std::size_t>(k)]), 0);
}

}  // namespace evdo
