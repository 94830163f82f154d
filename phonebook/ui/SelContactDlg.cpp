#include "phonebook/ui/SelContactDlg.h"

#include <QDialogButtonBox>
#include <QHeaderView>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/text/QtText.h"
#include "phonebook/PhonebookMessages.h"
#include "phonebook/ui/PhonebookUi.h"
#include "phonebook/ui/SelDialDlg.h"

namespace evdo {

CSelContactDlg::CSelContactDlg(const CPbData& store, bool multiple, WindowHandler* requester, QWidget* parent)
    : CBaseDlg(parent), store_(store), multiple_(multiple), requester_(requester), list_(new QTreeWidget(this)) {
  setObjectName("CSelContactDlg");
  setWindowTitle(Str(kStrPbSelectContactTitle));
  auto* layout = new QVBoxLayout(this);
  list_->setObjectName("contactList");
  list_->setRootIsDecorated(false);
  list_->setSelectionMode(multiple ? QAbstractItemView::ExtendedSelection : QAbstractItemView::SingleSelection);
  list_->setHeaderLabels({Str(kStrColumnName), Str(kStrPbMobile), Str(kStrColumnHome), Str(kStrColumnOffice)});
  list_->header()->setSectionResizeMode(QHeaderView::Stretch);
  for (int p = 0; p < store.Count(); ++p) {
    ContactRecord r;
    if (!store.Get(store.RecordAt(p), r)) continue;
    auto* item = new QTreeWidgetItem(list_);
    item->setText(0, FromAnsi(FieldValue(r, ContactField::Name)));
    item->setText(1, FromAnsi(FieldValue(r, ContactField::Mobile)));
    item->setText(2, FromAnsi(FieldValue(r, ContactField::Home)));
    item->setText(3, FromAnsi(FieldValue(r, ContactField::Company)));
    item->setData(0, Qt::UserRole, p);
  }
  if (list_->topLevelItemCount() > 0) list_->setCurrentItem(list_->topLevelItem(0));
  layout->addWidget(list_);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrOk), QDialogButtonBox::AcceptRole);
  buttons->addButton(Str(kStrCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &CSelContactDlg::OnOk);
  connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, &CSelContactDlg::OnOk);
  layout->addWidget(buttons);
  resize(520, 360);
}

void CSelContactDlg::OnOk() {
  std::vector<int> positions;
  for (QTreeWidgetItem* item : list_->selectedItems()) positions.push_back(item->data(0, Qt::UserRole).toInt());
  std::sort(positions.begin(), positions.end());
  if (positions.empty()) return ShowPbMessage(this, pbmsg::kNoSelection);
  if (multiple_ && static_cast<int>(positions.size()) > kMaxRecipients)
    return ShowPbMessage(this, pbmsg::kTooManySelected);
  numbers_.clear();
  for (int p : positions) {
    ContactRecord r;
    if (!store_.Get(store_.RecordAt(p), r)) return ShowPbMessage(this, pbmsg::kCannotRead);
    const std::vector<ContactNumber> found = NumbersOf(r);
    if (found.empty()) {
      ShowPbMessage(this, pbmsg::kNoNumber, FromAnsi(FieldValue(r, ContactField::Name)));
      continue;
    }
    std::vector<std::string> numbers;
    for (const ContactNumber& n : found) numbers.emplace_back(n.number);
    bool cancelled = false;
    std::string chosen = CSelDialDlg::ChooseNumber(this, FromAnsi(FieldValue(r, ContactField::Name)), numbers,
                                                   NumberLabels(found), &cancelled);
    if (cancelled || chosen.empty()) continue;
    numbers_.push_back(chosen);
    if (requester_ != nullptr)
      requester_->OnMessage(kMsgSelectedNumber, 0, reinterpret_cast<LParam>(numbers_.back().c_str()));
  }
  if (!numbers_.empty()) accept();
}

std::vector<std::string> CSelContactDlg::Choose(QWidget* parent, const CPbData& store, bool multiple,
                                                WindowHandler* requester) {
  CSelContactDlg dialog(store, multiple, requester, parent);
  if (dialog.exec() != QDialog::Accepted) return {};
  return dialog.Numbers();
}

}  // namespace evdo
