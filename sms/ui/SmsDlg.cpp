#include "sms/ui/SmsDlg.h"

#include <QApplication>
#include <QButtonGroup>
#include <QDialogButtonBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMessageBox>
#include <QPainter>
#include <QPainterPath>
#include <QPushButton>
#include <QRadioButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "phonebook/ExportWriter.h"
#include "phonebook/PbData.h"
#include "sms/SmsCodec.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsExtractNumDlg.h"
#include "sms/ui/SmsReadDlg.h"
#include "ui/LanguageStrings.h"
#include "ui/text/QtText.h"
#include "ui/StringIds.h"

namespace evdo {


namespace {

constexpr int kTabTitles[kSmsBoxCount] = {kStrTabInbox, kStrTabOutbox, kStrTabSaved};
constexpr int kColumnTitles[kSmsColumnCount] = {kStrColumnName, kStrColumnNumber, kStrColumnTime,
                                                kStrColumnContent};
constexpr int kColumnWidths[kSmsColumnCount] = {100, 150, 200, 0};
// The content column takes the rest of the list's width.
constexpr int kMinContentWidth = 160;
constexpr int kIconSize = 16;

// The status icons, drawn in the skin's colours: an envelope, closed and
// filled for an unread message, open for a read one, with an arrow for a
// sent one and a dashed outline for an unsent one.
QIcon StatusIcon(int status, const QPalette& pal) {
  QPixmap pixmap(kIconSize, kIconSize);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  const QColor ink = pal.color(QPalette::Text);
  const QColor accent = pal.color(QPalette::Highlight);
  const QRectF body(1.5, 4.5, 13, 9);
  QPen pen(status == RecUnread ? accent : ink, 1.2);
  if (status == StoUnsent) pen.setStyle(Qt::DashLine);
  p.setPen(pen);
  if (status == RecUnread) {
    p.setBrush(accent.lighter(150));
    p.drawRect(body);
    p.drawLine(QPointF(1.5, 4.5), QPointF(8, 9.5));
    p.drawLine(QPointF(14.5, 4.5), QPointF(8, 9.5));
  } else if (status == RecRead) {
    p.setBrush(Qt::NoBrush);
    QPainterPath open;
    open.moveTo(1.5, 7);
    open.lineTo(8, 1.5);
    open.lineTo(14.5, 7);
    p.drawPath(open);
    p.drawRect(QRectF(1.5, 7, 13, 7.5));
    p.drawLine(QPointF(1.5, 7), QPointF(8, 11.5));
    p.drawLine(QPointF(14.5, 7), QPointF(8, 11.5));
  } else {
    p.setBrush(Qt::NoBrush);
    p.drawRect(body);
    p.drawLine(QPointF(1.5, 4.5), QPointF(8, 9.5));
    p.drawLine(QPointF(14.5, 4.5), QPointF(8, 9.5));
    if (status == StoSent) {
      p.setPen(QPen(accent, 1.6));
      p.drawLine(QPointF(8, 13), QPointF(15, 13));
      p.drawLine(QPointF(12.5, 10.5), QPointF(15, 13));
      p.drawLine(QPointF(12.5, 15.5), QPointF(15, 13));
    }
  }
  return QIcon(pixmap);
}

}  // namespace

CSmsDlg::CSmsDlg(MessagesPageServices services, QWidget* parent)
    : CBasePage(parent), services_(std::move(services)) {
  setObjectName("CSmsDlg");
  ask = [this](int id) {
    QMessageBox box(QMessageBox::Question, Str(kStrAppTitle), Str(id),
                    QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setObjectName(QString("question%1").arg(id));
    return box.exec() == QMessageBox::Yes;
  };
  tell = [this](int id) {
    QMessageBox box(QMessageBox::Information, Str(kStrAppTitle), Str(id), QMessageBox::Ok, this);
    box.setObjectName(QString("message%1").arg(id));
    box.exec();
  };
  warn = [this](const QString& problem) {
    QMessageBox box(QMessageBox::Warning, Str(kStrAppTitle),
                    Str(kStrSmsStoreNotSaved) + "\n" + problem, QMessageBox::Ok, this);
    box.setObjectName("storeProblem");
    box.exec();
  };
  chooseFile = [this] { return ChooseExportFile(); };
  chooseNumber = [this](const std::vector<std::string>& numbers) { return CSmsExtractNumDlg::Choose(numbers, this); };
  BuildWindow();
  for (int box = 0; box < kSmsBoxCount; ++box) Rebuild(box);
  Fill();
}

CSmsDlg::~CSmsDlg() {
  if (read_) delete read_.data();
}

void CSmsDlg::BuildWindow() {
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("boxes");
  for (int title : kTabTitles) tabs_->addTab(Str(title));
  tabs_->setFocusPolicy(Qt::TabFocus);
  tabs_->setExpanding(false);
  layout->addWidget(tabs_);

  rows_ = new QTreeWidget(this);
  rows_->setObjectName("messageList");
  rows_->setRootIsDecorated(false);
  rows_->setUniformRowHeights(true);
  rows_->setAllColumnsShowFocus(true);
  rows_->setSelectionBehavior(QAbstractItemView::SelectRows);
  rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  rows_->setIconSize(QSize(kIconSize, kIconSize));
  rows_->setColumnCount(kSmsColumnCount);
  QStringList titles;
  for (int t : kColumnTitles) titles << Str(t);
  rows_->setHeaderLabels(titles);
  rows_->header()->setStretchLastSection(false);
  for (int c = 0; c + 1 < kSmsColumnCount; ++c) rows_->setColumnWidth(c, kColumnWidths[c]);
  rows_->header()->setSectionsClickable(true);
  rows_->header()->setSortIndicatorShown(true);
  // Grid lines between the cells.
  rows_->setStyleSheet(
      QStringLiteral("QTreeView::item { border-right: 1px solid palette(midlight);"
                     " border-bottom: 1px solid palette(midlight); }"
                     "QTreeView::item:selected { background: palette(highlight);"
                     " color: palette(highlighted-text); }"));
  layout->addWidget(rows_, 1);
  // The page's focus goes to the list, so the keyboard starts on a message.
  setFocusProxy(rows_);

  auto make = [this](int text, const char* name) {
    auto* b = new QPushButton(Str(text), this);
    b->setObjectName(name);
    // Enter belongs to the list (it opens the message), never to a button.
    b->setAutoDefault(false);
    return b;
  };
  readButton_ = make(kStrSmsRead, "read");
  reply_ = make(kStrSmsReply, "reply");
  resend_ = make(kStrSmsResend, "resend");
  forward_ = make(kStrSmsForward, "forward");
  callBack_ = make(kStrSmsCallBack, "callBack");
  saveNumber_ = make(kStrSmsSaveNumber, "saveNumber");
  delete_ = make(kStrSmsDelete, "delete");
  deleteAll_ = make(kStrSmsDeleteAll, "deleteAll");
  new_ = make(kStrSmsNew, "new");
  showNew_ = make(kStrSmsShowNew, "showNew");
  transfer_ = make(kStrSmsTransfer, "transfer");
  export_ = make(kStrSmsExport, "export");
  auto* messageRow = new QHBoxLayout;
  for (QPushButton* b :
       {readButton_, reply_, resend_, forward_, callBack_, saveNumber_, delete_, deleteAll_})
    messageRow->addWidget(b);
  messageRow->addStretch(1);
  layout->addLayout(messageRow);
  auto* pageRow = new QHBoxLayout;
  for (QPushButton* b : {new_, showNew_, transfer_, export_}) pageRow->addWidget(b);
  pageRow->addStretch(1);
  layout->addLayout(pageRow);

  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) {
    ShowBox(index);
    // The keyboard goes on in the box chosen.
    if (isVisible() && rows_->topLevelItemCount() > 0) {
      rows_->setCurrentItem(rows_->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
      rows_->setFocus();
    }
  });
  connect(rows_->header(), &QHeaderView::sectionClicked, this,
          [this](int column) { ClickColumn(column); });
  connect(rows_, &QTreeWidget::itemActivated, this, [this] { Read(); });
  connect(readButton_, &QPushButton::clicked, this, [this] { Read(); });
  connect(reply_, &QPushButton::clicked, this, [this] { Reply(); });
  connect(resend_, &QPushButton::clicked, this, [this] { Resend(); });
  connect(forward_, &QPushButton::clicked, this, [this] { Forward(); });
  connect(callBack_, &QPushButton::clicked, this, [this] { CallBack(); });
  connect(saveNumber_, &QPushButton::clicked, this, [this] { SaveNumber(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(); });
  connect(deleteAll_, &QPushButton::clicked, this, [this] { DeleteAll(); });
  connect(new_, &QPushButton::clicked, this, [this] { NewMessage(); });
  connect(showNew_, &QPushButton::clicked, this, [this] { ShowNewMessage(); });
  connect(transfer_, &QPushButton::clicked, this, [this] { Transfer(); });
  connect(export_, &QPushButton::clicked, this, [this] { Export(); });
  UpdateButtons();
}

QPushButton* CSmsDlg::Button(const char* name) const { return findChild<QPushButton*>(name); }

void CSmsDlg::SetWriteWindow(std::function<void(const QString&, const QString&)> open) {
  services_.openWriteWindow = std::move(open);
  UpdateButtons();
}

void CSmsDlg::SetTransferWindow(std::function<void()> open) {
  services_.openTransferWindow = std::move(open);
  UpdateButtons();
}

void CSmsDlg::SetSaveNumber(std::function<void(const std::string& number, QWidget* over)> save) {
  services_.saveNumber = std::move(save);
  UpdateButtons();
}

void CSmsDlg::UpdateButtons() {
  reply_->setVisible(box_ == Inbox);
  resend_->setVisible(box_ != Inbox);
  const bool write = static_cast<bool>(services_.openWriteWindow);
  for (QPushButton* b : {reply_, resend_, forward_, new_}) b->setEnabled(write);
  transfer_->setEnabled(static_cast<bool>(services_.openTransferWindow));
  saveNumber_->setEnabled(static_cast<bool>(services_.saveNumber));
  callBack_->setEnabled(static_cast<bool>(services_.dial));
}

SmsNameLookup CSmsDlg::Lookup() const {
  const CPbData* pb = services_.phonebook;
  if (pb == nullptr) return nullptr;
  return [pb](std::string_view number) -> std::optional<std::string> {
    std::string name;
    if (pb->FindNameByNumber(number, name) && !name.empty()) return name;
    return std::nullopt;
  };
}

void CSmsDlg::Rebuild(int box) {
  orders_[static_cast<std::size_t>(box)].Rebuild(*services_.sms, box, Lookup());
}

QString CSmsDlg::NameText(const SmsRecord& record) const {
  return FromAnsi(SmsDisplayName(record, LoadString(kStrUnknown), Lookup()));
}

QString CSmsDlg::NumberText(const SmsRecord& record) const {
  return FromAnsi(SmsDisplayNumber(record, LoadString(kStrUnknown)));
}

std::optional<SmsRecord> CSmsDlg::RecordAt(int box, int row) const {
  if (box < 0 || box >= kSmsBoxCount) return std::nullopt;
  return services_.sms->GetRecord(box, Order(box).IndexAt(row));
}

void CSmsDlg::KeepSelectionVisible() {
  // The selected rows stay marked while the read window or a box has the
  // focus: the inactive selection takes the active colours.
  QPalette pal = rows_->palette();
  pal.setColor(QPalette::Inactive, QPalette::Highlight,
               pal.color(QPalette::Active, QPalette::Highlight));
  pal.setColor(QPalette::Inactive, QPalette::HighlightedText,
               pal.color(QPalette::Active, QPalette::HighlightedText));
  rows_->setPalette(pal);
}

void CSmsDlg::SelectRow(int box, int row) {
  if (box != box_ || row < 0 || row >= rows_->topLevelItemCount()) return;
  rows_->clearSelection();
  QTreeWidgetItem* item = rows_->topLevelItem(row);
  rows_->setCurrentItem(item);
  item->setSelected(true);
  rows_->scrollToItem(item);
}

bool CSmsDlg::CanWrite() const { return static_cast<bool>(services_.openWriteWindow); }

void CSmsDlg::Fill() {
  KeepSelectionVisible();
  rows_->setUpdatesEnabled(false);
  rows_->clear();
  const CSmsListOrder& order = Order(box_);
  const SmsNameLookup lookup = Lookup();
  const std::string unknown = LoadString(kStrUnknown);
  std::array<QIcon, 4> icons;
  for (int s = 0; s < 4; ++s) icons[static_cast<std::size_t>(s)] = StatusIcon(s, rows_->palette());
  QList<QTreeWidgetItem*> items;
  items.reserve(order.Rows());
  for (int row = 0; row < order.Rows(); ++row) {
    std::optional<SmsRecord> r = services_.sms->GetRecord(box_, order.IndexAt(row));
    if (!r) continue;
    auto* item = new QTreeWidgetItem;
    item->setText(kSmsNameColumn, FromAnsi(SmsDisplayName(*r, unknown, lookup)));
    item->setText(kSmsNumberColumn, FromAnsi(SmsDisplayNumber(*r, unknown)));
    item->setText(kSmsTimeColumn, LocalText(r->Time()));
    // One line of the content; the read window shows it whole.
    QString content = FromAnsi(SmsContentText(*r));
    content.replace('\r', ' ').replace('\n', ' ');
    item->setText(kSmsContentColumn, content);
    if (r->status >= 0 && r->status < 4)
      item->setIcon(kSmsNameColumn, icons[static_cast<std::size_t>(r->status)]);
    if (r->status == RecUnread) {
      QFont bold = rows_->font();
      bold.setBold(true);
      for (int c = 0; c < kSmsColumnCount; ++c) item->setFont(c, bold);
    }
    items.push_back(item);
  }
  rows_->addTopLevelItems(items);
  const SmsSortState& state = order.State();
  rows_->header()->setSortIndicator(
      state.column, state.direction == 1 ? Qt::AscendingOrder : Qt::DescendingOrder);
  FitContentColumn();
  rows_->setUpdatesEnabled(true);
}

void CSmsDlg::FitContentColumn() {
  int fixed = 0;
  for (int c = 0; c + 1 < kSmsColumnCount; ++c) fixed += kColumnWidths[c];
  const int width = rows_->viewport()->width();
  rows_->setColumnWidth(kSmsContentColumn, std::max(kMinContentWidth, width - fixed));
}

void CSmsDlg::resizeEvent(QResizeEvent* event) {
  CBasePage::resizeEvent(event);
  FitContentColumn();
}

void CSmsDlg::changeEvent(QEvent* event) {
  CBasePage::changeEvent(event);
  // A new skin: the icons take its colours.
  if (event->type() == QEvent::PaletteChange && rows_ != nullptr) Fill();
}

void CSmsDlg::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  // The keyboard starts on the list.
  if (!isAncestorOf(QApplication::focusWidget())) rows_->setFocus();
  if (rows_->currentItem() == nullptr && rows_->topLevelItemCount() > 0)
    rows_->setCurrentItem(rows_->topLevelItem(0), 0, QItemSelectionModel::NoUpdate);
}

void CSmsDlg::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Delete) return DeleteSelected();
  CBasePage::keyPressEvent(event);
}

void CSmsDlg::ShowBox(int box) {
  if (box < 0 || box >= kSmsBoxCount) return;
  box_ = box;
  if (tabs_->currentIndex() != box) tabs_->setCurrentIndex(box);
  UpdateButtons();
  Fill();
}

void CSmsDlg::RefreshBox(int box) {
  for (int b = 0; b < kSmsBoxCount; ++b)
    if (box == AllBoxes || box == b) Rebuild(b);
  if (box == AllBoxes || box == box_) Fill();
  if ((box == AllBoxes || box == Inbox) && services_.indicatorsChanged)
    services_.indicatorsChanged();
}

void CSmsDlg::ClickColumn(int column) {
  orders_[static_cast<std::size_t>(box_)].ClickColumn(column, *services_.sms, box_, Lookup());
  Fill();
}

bool CSmsDlg::Selected(int& row, SmsRecord& out) {
  QTreeWidgetItem* item = rows_->currentItem();
  if (item == nullptr || !item->isSelected()) {
    QList<QTreeWidgetItem*> chosen = rows_->selectedItems();
    item = chosen.isEmpty() ? nullptr : chosen.first();
  }
  if (item == nullptr) {
    tell(kStrSelectMessage);
    return false;
  }
  row = rows_->indexOfTopLevelItem(item);
  std::optional<SmsRecord> r = RecordAt(box_, row);
  if (!r) return false;
  out = *r;
  return true;
}

void CSmsDlg::OpenRead(int box, int row) {
  if (read_) {
    read_->OnMessage(kMsgShowSmsRecord, static_cast<WParam>(box), static_cast<LParam>(row));
    read_->raise();
    read_->activateWindow();
    return;
  }
  auto* window = new CSmsReadDlg(*this, box, row, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowModality(Qt::ApplicationModal);
  read_ = window;
  window->show();
}

void CSmsDlg::Read() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  OpenRead(box_, row);
}

void CSmsDlg::OpenWrite(const QString& recipients, const QString& text) {
  if (services_.openWriteWindow) services_.openWriteWindow(recipients, text);
}

void CSmsDlg::Reply() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  OpenWrite(FromAnsi(r.Number()), QString());
}

void CSmsDlg::Forward() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  OpenWrite(QString(), FromAnsi(r.Text()));
}

void CSmsDlg::Resend() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  OpenWrite(FromAnsi(r.Number()), FromAnsi(r.Text()));
}

void CSmsDlg::CallBack() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  if (services_.portReady && !services_.portReady()) return;
  if (r.Number().empty()) return tell(kStrNoNumber);
  if (services_.dial) services_.dial(std::string(r.Number()));
}

void CSmsDlg::SaveNumber() {
  if (services_.sms->IsEmpty(box_)) return;
  int row = -1;
  SmsRecord r{};
  if (!Selected(row, r)) return;
  if (!services_.saveNumber) return;
  if (services_.phonebook != nullptr && services_.phonebook->Count() >= kMaxContacts) return tell(kStrPhonebookFull);
  // The numbers in the text, offered with the message's own number first.
  sms::NumberList found{};
  sms::ExtractNumbers(r.Text(), found);
  const std::string own(r.Number());
  std::string chosen;
  if (found.count > 0) {
    std::vector<std::string> numbers;
    if (!own.empty()) numbers.push_back(own);
    for (int i = 0; i < found.count; ++i) {
      const std::string n(found.Number(i));
      if (std::find(numbers.begin(), numbers.end(), n) == numbers.end()) numbers.push_back(n);
    }
    chosen = chooseNumber(numbers);
    if (chosen.empty()) return;
  } else if (own.empty()) {
    return tell(kStrNoNumber);
  } else {
    std::string known;
    if (services_.phonebook != nullptr && services_.phonebook->FindNameByNumber(own, known)) return;
    chosen = own;
  }
  services_.saveNumber(chosen, this);
  // The names of the list may have changed.
  RefreshBox(AllBoxes);
}

void CSmsDlg::ReportFailure(const ChangeResult& change) {
  if (change.message != 0) return tell(change.message);
  warn(QString::fromStdString(change.Error()));
}

void CSmsDlg::DeleteSelected() {
  if (services_.sms->IsEmpty(box_)) return;
  std::vector<int> rows;
  for (QTreeWidgetItem* item : rows_->selectedItems())
    rows.push_back(rows_->indexOfTopLevelItem(item));
  if (rows.empty()) return tell(kStrSelectMessage);
  if (!ask(kStrConfirmDelete)) return;
  // A read window on this box would show a row that moved: it closes.
  if (read_ && read_->Box() == box_) read_->close();
  SmsDeleteResult result =
      DeleteSmsRows(*services_.sms, box_, orders_[static_cast<std::size_t>(box_)], rows);
  Fill();
  if (result.selectRow >= 0 && result.selectRow < rows_->topLevelItemCount()) {
    QTreeWidgetItem* item = rows_->topLevelItem(result.selectRow);
    rows_->setCurrentItem(item);
    item->setSelected(true);
  }
  if (box_ == Inbox && services_.indicatorsChanged) services_.indicatorsChanged();
  if (!result.ok) ReportFailure(result.failed);
}

void CSmsDlg::DeleteAll() {
  if (services_.sms->IsEmpty(box_)) return;
  if (!ask(kStrConfirmDeleteAll)) return;
  if (read_ && read_->Box() == box_) read_->close();
  ChangeResult cleared = services_.sms->ClearBox(box_);
  RefreshBox(box_);
  if (!cleared) ReportFailure(cleared);
}

void CSmsDlg::NewMessage() { OpenWrite(QString(), QString()); }

void CSmsDlg::Transfer() {
  if (services_.openTransferWindow) services_.openTransferWindow();
}

void CSmsDlg::ShowNewMessage() {
  const int index = FindNewMessage(*services_.sms);
  if (index < 0) return tell(kStrNoNewMessage);
  ChangeResult cleared = services_.sms->ClearFlag(Inbox, kSmsFlagNew, true);
  if (!cleared && !cleared.saved.ok) ReportFailure(cleared);
  ShowBox(Inbox);
  const int row = Order(Inbox).RowOf(index);
  if (row < 0) return;
  rows_->clearSelection();
  rows_->setCurrentItem(rows_->topLevelItem(row));
  OpenRead(Inbox, row);
}

void CSmsDlg::MarkRead(int box, int row) {
  std::optional<SmsRecord> r = RecordAt(box, row);
  if (!r || r->status != RecUnread) return;
  r->status = RecRead;
  const int index = Order(box).IndexAt(row);
  ChangeResult change = services_.sms->ReplaceRecord(box, index, *r);
  if (box == box_) {
    // The row loses its unread look at once.
    if (QTreeWidgetItem* item = rows_->topLevelItem(row)) {
      item->setIcon(kSmsNameColumn, StatusIcon(RecRead, rows_->palette()));
      for (int c = 0; c < kSmsColumnCount; ++c) item->setFont(c, rows_->font());
    }
  }
  if (services_.indicatorsChanged) services_.indicatorsChanged();
  if (!change) ReportFailure(change);
}

bool CSmsDlg::ChoiceIsEmpty(int choice) const {
  if (choice == AllBoxes) return services_.sms->Count(AllBoxes) == 0;
  return services_.sms->IsEmpty(choice);
}

int CSmsDlg::ExportTo(int choice, const std::string& path) {
  if (ChoiceIsEmpty(choice)) return kStrNoMessagesToExport;
  CExportWriter writer(ExportKind::Messages, ExportFormat::Csv, LoadString(kMessagesHeaderString));
  const std::array<std::string, 4> names = {
      LoadString(kStrStatusUnread), LoadString(kStrStatusRead), LoadString(kStrStatusUnsent),
      LoadString(kStrStatusSent)};
  auto time = [](const DateTime& t) { return ToAnsi(LocalText(t)); };
  for (const SmsExportLine& line : SmsExportLines(*services_.sms, choice, names, time)) {
    for (const std::string& field : line) writer.AddField(field);
    writer.EndRecord();
  }
  return writer.SaveText(path);
}

QString CSmsDlg::ChooseExportFile() {
  // The filter text is "name (*.ext)|*.ext||": the part before the bar.
  QString filter = Str(kOtherFilterString).section('|', 0, 0);
  QString path = QFileDialog::getSaveFileName(this, Str(kOtherExportTitleString), QString(), filter,
                                              nullptr, QFileDialog::DontConfirmOverwrite);
  if (path.isEmpty()) return {};
  path = QString::fromLocal8Bit(CExportWriter::WithExtension(path.toLocal8Bit().toStdString(),
                                                             LoadString(kCsvExtensionString)));
  if (QFileInfo::exists(path)) {
    QMessageBox box(QMessageBox::Question, Str(kStrAppTitle), path + Str(kStrConfirmOverwrite),
                    QMessageBox::Ok | QMessageBox::Cancel, this);
    box.setObjectName(QString("question%1").arg(kStrConfirmOverwrite));
    if (box.exec() != QMessageBox::Ok) return {};
  }
  return path;
}

void CSmsDlg::Export() {
  auto* window = new CSmsExportSel(*this, this);
  window->setAttribute(Qt::WA_DeleteOnClose);
  window->setWindowModality(Qt::ApplicationModal);
  window->show();
}

// ---------------------------------------------------------------------------

CSmsExportSel::CSmsExportSel(CSmsDlg& page, QWidget* parent) : CBaseDlg(parent), page_(page) {
  setObjectName("CSmsExportSel");
  setWindowTitle(Str(kStrSmsExportTitle));
  auto* layout = new QVBoxLayout(this);
  auto* label = new QLabel(Str(kStrSmsExportChoose), this);
  layout->addWidget(label);
  choices_ = new QButtonGroup(this);
  const int titles[] = {kStrTabInbox, kStrTabOutbox, kStrTabSaved, kStrSmsAllBoxes};
  for (int choice = 0; choice <= AllBoxes; ++choice) {
    auto* b = new QRadioButton(Str(titles[choice]), this);
    b->setObjectName(QString("choice%1").arg(choice));
    choices_->addButton(b, choice);
    layout->addWidget(b);
  }
  choices_->button(page.CurrentBox())->setChecked(true);
  auto* buttons = new QDialogButtonBox(this);
  QPushButton* ok = buttons->addButton(Str(kStrSmsOk), QDialogButtonBox::AcceptRole);
  ok->setObjectName("ok");
  ok->setDefault(true);
  QPushButton* cancel = buttons->addButton(Str(kStrSmsCancel), QDialogButtonBox::RejectRole);
  cancel->setObjectName("cancel");
  layout->addWidget(buttons);
  connect(ok, &QPushButton::clicked, this, [this] { Run(); });
  connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
}

void CSmsExportSel::OnInitDialog() {
  CBaseDlg::OnInitDialog();
  ModifyStyle(0, kStyleSysMenu);
}

int CSmsExportSel::Choice() const { return choices_->checkedId(); }

void CSmsExportSel::SetChoice(int choice) {
  if (QAbstractButton* b = choices_->button(choice)) b->setChecked(true);
}

void CSmsExportSel::Run() {
  const int choice = Choice();
  if (page_.ChoiceIsEmpty(choice)) return page_.tell(kStrNoMessagesToExport);
  hide();
  const QString path = page_.chooseFile ? page_.chooseFile() : QString();
  if (!path.isEmpty()) {
    if (int message = page_.ExportTo(choice, path.toLocal8Bit().toStdString()); message != 0)
      page_.tell(message);
  }
  accept();
}

}  // namespace evdo
