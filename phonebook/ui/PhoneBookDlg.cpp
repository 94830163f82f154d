#include "phonebook/ui/PhoneBookDlg.h"

#include <QDir>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/text/QtText.h"
#include "device/SerialPort.h"
#include "phonebook/ui/ContactDlg.h"
#include "phonebook/ContactExport.h"
#include "phonebook/ContactImport.h"
#include "phonebook/ContactPicture.h"
#include "phonebook/ContactRules.h"
#include "phonebook/PhonebookMessages.h"
#include "phonebook/ui/PhonebookUi.h"
#include "phonebook/ui/SearchContactDlg.h"
#include "phonebook/ui/SelDialDlg.h"
#include "phonebook/ui/SelPosition.h"
#include "phonebook/ui/TransferDlg.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

constexpr StringId kColumnStrings[kContactColumnCount] = {kStrColumnName,   kStrColumnNumber, kStrColumnHome,
                                                         kStrColumnOffice, kStrColumnEmail,  kStrColumnRemark};

struct ButtonSpec {
  const char* name;
  StringId text;
  void (CPhoneBookDlg::*command)();
};
const ButtonSpec kButtons[] = {
    {"new", kStrPbNew, &CPhoneBookDlg::NewContact},
    {"edit", kStrPbEdit, &CPhoneBookDlg::EditContact},
    {"delete", kStrPbDelete, &CPhoneBookDlg::DeleteContacts},
    {"deleteAll", kStrPbDeleteAll, &CPhoneBookDlg::DeleteAll},
    {"search", kStrPbSearch, &CPhoneBookDlg::OpenSearch},
    {"import", kStrPbImport, &CPhoneBookDlg::Import},
    {"export", kStrPbExport, &CPhoneBookDlg::Export},
    {"transfer", kStrPbTransfer, &CPhoneBookDlg::OpenTransfer},
    {"sendMessage", kStrPbSendMessage, &CPhoneBookDlg::SendMessage},
    {"call", kStrPbCall, &CPhoneBookDlg::Call},
};

}  // namespace

CPhoneBookDlg::CPhoneBookDlg(PhonebookServices services, CPbData& store, QWidget* parent)
    : CBasePage(parent),
      services_(std::move(services)),
      store_(store),
      list_(new QTreeWidget(this)),
      quick_(new QLineEdit(this)),
      count_(new QLabel(this)) {
  auto* layout = new QVBoxLayout(this);
  auto* top = new QHBoxLayout;
  quick_->setObjectName("quickSearch");
  quick_->setPlaceholderText(Str(kStrPbQuickSearch));
  quick_->setClearButtonEnabled(true);
  top->addWidget(quick_, 1);
  count_->setObjectName("contactCount");
  top->addWidget(count_);
  layout->addLayout(top);

  auto* middle = new QHBoxLayout;
  list_->setObjectName("contactList");
  list_->setRootIsDecorated(false);
  list_->setAlternatingRowColors(true);
  list_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  QStringList headers;
  for (StringId id : kColumnStrings) headers << Str(id);
  list_->setHeaderLabels(headers);
  list_->header()->setSectionResizeMode(QHeaderView::Stretch);
  list_->header()->setSectionsClickable(true);
  list_->header()->setSortIndicatorShown(false);
  middle->addWidget(list_, 1);
  auto* column = new QVBoxLayout;
  for (const ButtonSpec& spec : kButtons) {
    auto* button = new QPushButton(Str(spec.text), this);
    button->setObjectName(spec.name);
    connect(button, &QPushButton::clicked, this, [this, command = spec.command] { (this->*command)(); });
    column->addWidget(button);
    buttons_.push_back(button);
  }
  column->addStretch(1);
  middle->addLayout(column);
  layout->addLayout(middle, 1);

  connect(list_->header(), &QHeaderView::sectionClicked, this, &CPhoneBookDlg::SortBy);
  connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] { EditContact(); });
  connect(list_, &QTreeWidget::itemSelectionChanged, this, &CPhoneBookDlg::UpdateButtons);
  connect(quick_, &QLineEdit::textChanged, this, &CPhoneBookDlg::ApplyQuickSearch);
  Rebuild();
}

QPushButton* CPhoneBookDlg::Button(const char* name) const {
  for (QPushButton* b : buttons_)
    if (b->objectName() == QLatin1String(name)) return b;
  return nullptr;
}

void CPhoneBookDlg::Rebuild() {
  list_->clear();
  for (int p = 0; p < store_.Count(); ++p) {
    ContactRecord r;
    if (!store_.Get(store_.RecordAt(p), r)) continue;
    auto* item = new QTreeWidgetItem(list_);
    for (int c = 0; c < kContactColumnCount; ++c) {
      // One line a row: line ends of a remark show as blanks.
      QString text = FromAnsi(FieldValue(r, static_cast<ContactField>(c)));
      text.replace(QLatin1String("\r\n"), QLatin1String(" ")).replace('\n', ' ').replace('\r', ' ');
      item->setText(c, text);
    }
    item->setData(0, Qt::UserRole, p);
  }
  ApplyQuickSearch();
}

void CPhoneBookDlg::ApplyQuickSearch() {
  const QString term = quick_->text().trimmed();
  int shown = 0;
  for (int i = 0; i < list_->topLevelItemCount(); ++i) {
    QTreeWidgetItem* item = list_->topLevelItem(i);
    bool match = term.isEmpty();
    for (int c = 0; !match && c < 4; ++c) match = item->text(c).contains(term, Qt::CaseInsensitive);
    item->setHidden(!match);
    if (match) ++shown;
  }
  count_->setText(Str(kStrPbCount).arg(shown).arg(store_.Count()));
  UpdateButtons();
}

void CPhoneBookDlg::UpdateButtons() {
  const bool any = !list_->selectedItems().isEmpty();
  Button("edit")->setEnabled(any);
  Button("delete")->setEnabled(any);
  Button("deleteAll")->setEnabled(store_.Count() > 0);
  Button("export")->setEnabled(store_.Count() > 0);
  Button("sendMessage")->setVisible(static_cast<bool>(services_.writeMessage));
  Button("sendMessage")->setEnabled(any);
  Button("call")->setVisible(static_cast<bool>(services_.dial));
  Button("call")->setEnabled(any);
}

std::vector<int> CPhoneBookDlg::SelectedPositions() const {
  std::vector<int> positions;
  for (QTreeWidgetItem* item : list_->selectedItems())
    if (!item->isHidden()) positions.push_back(item->data(0, Qt::UserRole).toInt());
  std::sort(positions.begin(), positions.end());
  return positions;
}

void CPhoneBookDlg::ShowMessages(const std::vector<int>& messages, const std::string& detail) {
  for (std::size_t i = 0; i < messages.size(); ++i)
    ShowPbMessage(this, messages[i], i + 1 == messages.size() ? FromAnsi(detail) : QString());
}

void CPhoneBookDlg::NewContact() {
  if (store_.Count() >= kMaxContacts) return ShowPbMessage(this, pbmsg::kStoreFull);
  CContactDlg editor(CContactDlg::kNewContact, EmptyContact(), services_.mainWindow, this);
  editor.exec();
}

void CPhoneBookDlg::NewContactFromNumber(const std::string& number, QWidget* over) {
  QWidget* parent = over != nullptr ? over : this;
  if (!CPbData::CheckNumberCharacters(number)) return ShowPbMessage(parent, pbmsg::kInvalidNumber);
  if (store_.Count() >= kMaxContacts) return ShowPbMessage(parent, pbmsg::kStoreFull);
  CSelPosition position(QString(), FromAnsi(number), false, parent);
  if (position.exec() != QDialog::Accepted) return;
  ContactRecord initial = EmptyContact();
  SetFieldValue(initial, position.Field(), number);
  CContactDlg editor(CContactDlg::kFromNumber, initial, services_.mainWindow, parent);
  editor.exec();
}

void CPhoneBookDlg::EditContact() {
  std::vector<int> positions = SelectedPositions();
  if (positions.empty()) return ShowPbMessage(this, pbmsg::kNoSelection);
  const int index = store_.RecordAt(positions.front());
  ContactRecord old;
  if (!store_.Get(index, old)) return ShowPbMessage(this, pbmsg::kCannotRead);
  CContactDlg editor(CContactDlg::kEditContact, old, nullptr, this);
  if (editor.exec() != QDialog::Accepted) return;
  ChangeResult changed = store_.Modify(editor.Result(), index);
  if (!changed) return ShowPbMessage(this, changed.message, FromAnsi(changed.Error()));
  ContactPicture::DeletePrevious(std::string(FieldValue(old, ContactField::Picture)),
                                 std::string(FieldValue(editor.Result(), ContactField::Picture)));
  Rebuild();
}

void CPhoneBookDlg::DeleteContacts() {
  std::vector<int> positions = SelectedPositions();
  if (positions.empty()) return ShowPbMessage(this, pbmsg::kNothingToDelete);
  if (!AskPb(this, pbmsg::kDeleteQuestion, true)) return;
  for (QPushButton* b : buttons_) b->setEnabled(false);
  int deleted = 0;
  for (int position : positions) {
    const int at = position - deleted;
    ContactRecord r;
    if (!store_.Get(store_.RecordAt(at), r)) {
      ShowPbMessage(this, pbmsg::kCannotRead);
      break;
    }
    ChangeResult removed = store_.Delete(at);
    if (!removed) {
      ShowPbMessage(this, removed.message, FromAnsi(removed.Error()));
      break;
    }
    // The picture goes once the contact is gone from the file.
    ContactPicture::DeletePrevious(std::string(FieldValue(r, ContactField::Picture)), std::string());
    ++deleted;
  }
  for (QPushButton* b : buttons_) b->setEnabled(true);
  Rebuild();
}

void CPhoneBookDlg::DeleteAll() {
  if (!AskPb(this, pbmsg::kDeleteQuestion, true)) return;
  ChangeResult cleared = store_.ClearAll();
  if (!cleared) ShowPbMessage(this, cleared.message, FromAnsi(cleared.Error()));
  Rebuild();
}

void CPhoneBookDlg::OpenSearch() {
  if (!search_) {
    search_ = new CSearchContactDlg(store_, *this, this);
    search_->setAttribute(Qt::WA_DeleteOnClose);
  }
  search_->show();
  search_->raise();
  search_->activateWindow();
}

void CPhoneBookDlg::Import() {
  if (store_.Count() >= kMaxContacts) return ShowPbMessage(this, pbmsg::kStoreFull);
  const QString saved = QDir::currentPath();
  std::string path;
  const bool chosen = ChooseImportFile(this, path);
  QDir::setCurrent(saved);
  if (!chosen) return;
  ImportOutcome outcome = ContactImport::Run(store_, path, LoadString(kCsvExtensionString),
                                             LoadString(kVCardExtensionString));
  Rebuild();
  ShowMessages(outcome.messages, outcome.error);
}

void CPhoneBookDlg::Export() {
  if (store_.Count() == 0) return ShowPbMessage(this, pbmsg::kNothingToExport);
  const QString saved = QDir::currentPath();
  std::string path;
  ExportFormat format = ExportFormat::Csv;
  const bool chosen = ChooseExportFile(this, ExportKind::Phonebook, path, format);
  QDir::setCurrent(saved);
  if (!chosen) return;
  ExportOutcome outcome =
      ContactExport::Run(store_, SelectedPositions(), format, LoadString(kPhonebookHeaderString), path);
  ShowMessages(outcome.messages, outcome.error);
}

void CPhoneBookDlg::OpenTransfer() {
  if (CTransferDlg* open = CTransferDlg::Current()) {
    open->raise();
    return;
  }
  if (services_.port == nullptr || services_.exchange == nullptr || services_.dispatcher == nullptr) return;
  if (services_.cardReady && !services_.cardReady()) return ShowPbMessage(this, kStrPbCardNotReady);
  if (!services_.port->IsOpen()) return ShowPbMessage(this, kStrPortClosed);
  if (services_.port->GetState() != CSerialPort::Ready || (services_.linkBusy && services_.linkBusy()))
    return ShowPbMessage(this, kStrPortBusy);
  auto* transfer = new CTransferDlg(services_, store_, this);
  transfer->Start();
}

void CPhoneBookDlg::SendMessage() {
  std::vector<int> positions = SelectedPositions();
  if (positions.empty()) return ShowPbMessage(this, pbmsg::kNoSelection);
  if (static_cast<int>(positions.size()) > kMaxRecipients) return ShowPbMessage(this, pbmsg::kTooManySelected);
  std::string recipients;
  for (int p : positions) {
    ContactRecord r;
    if (!store_.Get(store_.RecordAt(p), r)) return ShowPbMessage(this, pbmsg::kCannotRead);
    std::vector<ContactNumber> found = NumbersOf(r);
    if (found.empty()) {
      ShowPbMessage(this, pbmsg::kNoNumber, FromAnsi(FieldValue(r, ContactField::Name)));
      continue;
    }
    std::vector<std::string> numbers;
    for (const ContactNumber& n : found) numbers.emplace_back(n.number);
    std::string chosen =
        CSelDialDlg::ChooseNumber(this, FromAnsi(FieldValue(r, ContactField::Name)), numbers, NumberLabels(found));
    if (chosen.empty()) continue;
    if (!recipients.empty()) recipients += ';';
    recipients += chosen;
  }
  if (!recipients.empty() && services_.writeMessage) services_.writeMessage(this, recipients);
}

void CPhoneBookDlg::Call() {
  std::vector<int> positions = SelectedPositions();
  if (positions.empty()) return ShowPbMessage(this, pbmsg::kNoSelection);
  ContactRecord r;
  if (!store_.Get(store_.RecordAt(positions.front()), r)) return ShowPbMessage(this, pbmsg::kCannotRead);
  std::vector<ContactNumber> found = NumbersOf(r);
  if (found.empty()) return ShowPbMessage(this, pbmsg::kNoNumber);
  std::vector<std::string> numbers;
  for (const ContactNumber& n : found) numbers.emplace_back(n.number);
  const std::string chosen =
      CSelDialDlg::ChooseNumber(this, FromAnsi(FieldValue(r, ContactField::Name)), numbers, NumberLabels(found));
  if (chosen.empty()) return;
  // The main window hands the number to the call page, which dials.
  if (services_.dial) services_.dial(chosen);
}

void CPhoneBookDlg::SortBy(int column) {
  if (column < 0 || column >= kContactColumnCount) return;
  store_.Sort(column, sort_.Click(column));
  Rebuild();
}

void CPhoneBookDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgPhonebookSearch: {
      const int position = static_cast<int>(wParam);
      for (int i = 0; i < list_->topLevelItemCount(); ++i) {
        QTreeWidgetItem* item = list_->topLevelItem(i);
        if (item->data(0, Qt::UserRole).toInt() != position) continue;
        if (item->isHidden()) quick_->clear();
        list_->clearSelection();
        list_->setCurrentItem(item);
        item->setSelected(true);
        list_->scrollToItem(item);
        break;
      }
      return;
    }
    case kMsgPhonebookSync: {
      // A new contact from the editor (lParam: the record, valid during the call).
      const auto* record = reinterpret_cast<const ContactRecord*>(lParam);
      if (record == nullptr) return;
      ChangeResult added = store_.Append(*record);
      if (!added) ShowPbMessage(this, pbmsg::kAddFailed, FromAnsi(added.Error()));
      Rebuild();
      if (added && list_->topLevelItemCount() > 0) list_->scrollToItem(list_->topLevelItem(list_->topLevelItemCount() - 1));
      return;
    }
    case kMsgPhonebookSyncEnd: return Rebuild();
    default: CBasePage::OnMessage(message, wParam, lParam);
  }
}

}  // namespace evdo
