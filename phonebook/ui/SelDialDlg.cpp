#include "phonebook/ui/SelDialDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "core/text/CodePage.h"
#include "phonebook/PbData.h"
#include "ui/LanguageStrings.h"
#include "ui/StringIds.h"
#include "ui/text/QtText.h"

namespace evdo {
namespace {

constexpr int kNumberLabels[] = {kStrColumnNumber, kStrColumnHome, kStrColumnOffice};

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* box = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
  box->button(QDialogButtonBox::Ok)->setText(Str(kStrButtonOk));
  box->button(QDialogButtonBox::Cancel)->setText(Str(kStrButtonCancel));
  QObject::connect(box, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(box, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return box;
}

}  // namespace

CSelDialDlg::CSelDialDlg(const CPbData& phonebook, QWidget* parent) : CBaseDlg(parent) {
  setObjectName("CSelDialDlg");
  setWindowTitle(Str(kStrTitleChooseNumber));
  auto* layout = new QVBoxLayout(this);
  rows_ = new QTreeWidget(this);
  rows_->setRootIsDecorated(false);
  rows_->setHeaderLabels({Str(kStrColumnName), QString(), Str(kStrColumnNumber)});
  rows_->setColumnWidth(0, 140);
  rows_->setColumnWidth(1, 90);
  for (int i = 0; i < phonebook.Count(); ++i) {
    ContactRecord c;
    if (!phonebook.Get(phonebook.RecordAt(i) >= 0 ? phonebook.RecordAt(i) : i, c)) continue;
    for (std::size_t f = 0; f < kNumberFields.size(); ++f) {
      std::string_view number = FieldValue(c, kNumberFields[f]);
      if (number.empty()) continue;
      auto* item = new QTreeWidgetItem(rows_);
      item->setText(0, FromAnsi(FieldValue(c, ContactField::Name)));
      item->setText(1, Str(kNumberLabels[f]));
      item->setText(2, FromAnsi(number));
      item->setData(2, Qt::UserRole, QByteArray(number.data(), static_cast<int>(number.size())));
    }
  }
  layout->addWidget(rows_, 1);
  if (rows_->topLevelItemCount() == 0) {
    auto* none = new QLabel(Str(kStrNoContactWithNumber), this);
    none->setObjectName("empty");
    layout->addWidget(none);
  } else {
    rows_->setCurrentItem(rows_->topLevelItem(0));
  }
  connect(rows_, &QTreeWidget::itemActivated, this, [this] { accept(); });
  layout->addWidget(OkCancel(this));
  resize(420, 320);
}

int CSelDialDlg::RowCount() const { return rows_->topLevelItemCount(); }

void CSelDialDlg::accept() {
  QTreeWidgetItem* item = rows_->currentItem();
  if (item == nullptr) return reject();
  QByteArray number = item->data(2, Qt::UserRole).toByteArray();
  chosen_.assign(number.constData(), static_cast<std::size_t>(number.size()));
  QDialog::accept();
}

CSelPosition::CSelPosition(std::string number, QWidget* parent) : CBaseDlg(parent), number_(std::move(number)) {
  setObjectName("CSelPosition");
  setWindowTitle(Str(kStrButtonSaveToPhonebook));
  auto* form = new QFormLayout(this);
  auto* shown = new QLabel(FromAnsi(number_), this);
  shown->setTextFormat(Qt::PlainText);
  form->addRow(Str(kStrColumnNumber), shown);
  name_ = new QLineEdit(this);
  name_->setMaxLength(static_cast<int>(kNameWidth - 1));
  form->addRow(Str(kStrColumnName), name_);
  field_ = new QComboBox(this);
  for (int label : kNumberLabels) field_->addItem(Str(label));
  form->addRow(Str(kStrLabelSaveNumberAs), field_);
  form->addRow(OkCancel(this));
}

void CSelPosition::SetName(const QString& name) { name_->setText(name); }
void CSelPosition::SetField(int index) { field_->setCurrentIndex(index); }

ContactRecord CSelPosition::Contact() const {
  ContactRecord c = EmptyContact();
  SetFieldValue(c, ContactField::Name, ToAnsi(name_->text()));
  SetFieldValue(c, kNumberFields[static_cast<std::size_t>(std::max(0, field_->currentIndex()))], number_);
  return c;
}

}  // namespace evdo
