#include "calls/ui/CallHistoryDlg.h"

#include <QDateTime>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QTabBar>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "calls/CallControl.h"
#include "calls/HistData.h"
#include "ui/LanguageStrings.h"
#include "ui/text/QtText.h"
#include "phonebook/PbData.h"
#include "phonebook/ui/SelDialDlg.h"
#include "ui/StringIds.h"

namespace evdo {


namespace {

constexpr int kTabLists[kHistListCount] = {kMissedCalls, kReceivedCalls, kDialledCalls};
constexpr int kTabTitles[kHistListCount] = {kStrTabMissedCalls, kStrTabReceivedCalls, kStrTabDialledCalls};
constexpr int kColumnWidths[kHistColumnCount] = {80, 130, 120, 100, 60};
constexpr int kColumnTitles[kHistColumnCount] = {kStrColumnName, kStrColumnNumber, kStrColumnTime,
                                                  kStrColumnDuration, kStrColumnCount};


}  // namespace

CCallHistoryDlg::CCallHistoryDlg(HistoryWindowServices services, QWidget* parent)
    : CBaseDlg(parent), services_(std::move(services)) {
  setObjectName("CCallHistoryDlg");
  ask = [this](int id) {
    QMessageBox box(QMessageBox::Question, windowTitle(), Str(id), QMessageBox::Yes | QMessageBox::No, this);
    box.setDefaultButton(QMessageBox::No);
    box.setObjectName(QString("question%1").arg(id));
    return box.exec() == QMessageBox::Yes;
  };
  tell = [this](int id) {
    QMessageBox box(id == kStrSelectEntry ? QMessageBox::Information : QMessageBox::Warning, windowTitle(), Str(id),
                    QMessageBox::Ok, this);
    box.setObjectName(QString("message%1").arg(id));
    box.exec();
  };
  auto* layout = new QVBoxLayout(this);
  tabs_ = new QTabBar(this);
  tabs_->setObjectName("lists");
  for (int title : kTabTitles) tabs_->addTab(Str(title));
  layout->addWidget(tabs_);
  rows_ = new QTreeWidget(this);
  rows_->setObjectName("CHistListCtrl");
  rows_->setRootIsDecorated(false);
  rows_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  rows_->setColumnCount(kHistColumnCount);
  QStringList titles;
  for (int t : kColumnTitles) titles << Str(t);
  rows_->setHeaderLabels(titles);
  for (int c = 0; c < kHistColumnCount; ++c) rows_->setColumnWidth(c, kColumnWidths[c]);
  rows_->header()->setSectionsClickable(true);
  rows_->header()->setSortIndicatorShown(true);
  layout->addWidget(rows_, 1);
  auto* buttons = new QHBoxLayout;
  callBack_ = new QPushButton(Str(kStrButtonCallBack), this);
  callBack_->setObjectName("callBack");
  save_ = new QPushButton(Str(kStrButtonSaveToPhonebook), this);
  save_->setObjectName("save");
  delete_ = new QPushButton(Str(kStrButtonDelete), this);
  delete_->setObjectName("delete");
  deleteAll_ = new QPushButton(Str(kStrButtonDeleteAll), this);
  deleteAll_->setObjectName("deleteAll");
  close_ = new QPushButton(Str(kStrButtonClose), this);
  close_->setObjectName("close");
  for (QPushButton* b : {callBack_, save_, delete_, deleteAll_}) buttons->addWidget(b);
  buttons->addStretch(1);
  buttons->addWidget(close_);
  layout->addLayout(buttons);
  save_->setEnabled(services_.phonebook != nullptr);

  connect(tabs_, &QTabBar::currentChanged, this, [this](int index) { ShowList(kTabLists[index]); });
  connect(rows_->header(), &QHeaderView::sectionClicked, this, [this](int column) { ClickColumn(column); });
  connect(rows_, &QTreeWidget::itemActivated, this, [this] { CallBack(); });
  connect(callBack_, &QPushButton::clicked, this, [this] { CallBack(); });
  connect(save_, &QPushButton::clicked, this, [this] { SaveToPhonebook(); });
  connect(delete_, &QPushButton::clicked, this, [this] { DeleteSelected(); });
  connect(deleteAll_, &QPushButton::clicked, this, [this] { DeleteAll(); });
  connect(close_, &QPushButton::clicked, this, [this] { close(); });
  setWindowTitle(Str(kStrButtonCallHistory));
  resize(700, 380);
  for (int list = 0; list < kHistListCount; ++list) Rebuild(list);
  Redisplay();
}

void CCallHistoryDlg::OnInitDialog() {
  CBaseDlg::OnInitDialog();
  ModifyStyle(0, kStyleSysMenu | kStyleThickFrame);
}

std::string CCallHistoryDlg::NameOf(const HistRecord& record) const {
  const CPbData* pb = services_.phonebook;
  return HistDisplayName(record, LoadString(kStrUnknown), [pb](std::string_view number) -> std::optional<std::string> {
    std::string name;
    if (pb != nullptr && pb->FindNameByNumber(number, name)) return name;
    return std::nullopt;
  });
}

void CCallHistoryDlg::Rebuild(int list) {
  orders_[list].Rebuild(*services_.history, list, [this](const HistRecord& r) { return NameOf(r); });
}

void CCallHistoryDlg::ShowList(int list) {
  if (list < 0 || list >= kHistListCount) return;
  shown_ = list;
  if (tabs_->currentIndex() != list) tabs_->setCurrentIndex(list);
  Redisplay();
}

void CCallHistoryDlg::Redisplay() {
  rows_->clear();
  const CHistListOrder& order = orders_[shown_];
  for (int row = 0; row < order.Rows(); ++row) {
    HistRecord r{};
    if (!services_.history->Get(shown_, order.SlotAt(row), r)) continue;
    auto* item = new QTreeWidgetItem(rows_);
    item->setText(kHistNameColumn, FromAnsi(NameOf(r)));
    item->setText(kHistNumberColumn, FromAnsi(r.Number()));
    item->setText(kHistStartColumn, LocalText(r.Start()));
    item->setText(kHistDurationColumn, QString::fromStdString(DurationText(r.duration)));
    item->setText(kHistRepeatColumn, QString::number(r.repeatCount));
  }
  // Never narrower than the standard widths, wide enough for the locale's dates.
  for (int c = kHistNameColumn; c <= kHistDurationColumn; ++c) {
    rows_->resizeColumnToContents(c);
    rows_->setColumnWidth(c, std::max(rows_->columnWidth(c) + 8, kColumnWidths[c]));
  }
  const HistSortState& state = order.State();
  rows_->header()->setSortIndicator(state.column, state.ascending ? Qt::AscendingOrder : Qt::DescendingOrder);
}

void CCallHistoryDlg::ClickColumn(int column) {
  orders_[shown_].ClickColumn(column, *services_.history, shown_, [this](const HistRecord& r) { return NameOf(r); });
  Redisplay();
}

bool CCallHistoryDlg::Selected(HistRecord& out) {
  QTreeWidgetItem* item = rows_->currentItem();
  if (item == nullptr || !item->isSelected()) {
    QList<QTreeWidgetItem*> chosen = rows_->selectedItems();
    item = chosen.isEmpty() ? nullptr : chosen.first();
  }
  if (item == nullptr) {
    tell(kStrSelectEntry);
    return false;
  }
  return services_.history->Get(shown_, orders_[shown_].SlotAt(rows_->indexOfTopLevelItem(item)), out);
}

bool CCallHistoryDlg::UsableNumber(const HistRecord& record) const {
  return !record.Number().empty() && record.Number() != LoadString(kStrUnknown);
}

void CCallHistoryDlg::CallBack() {
  if (services_.history->IsEmpty(shown_)) return;
  HistRecord r{};
  if (!Selected(r)) return;
  if (!UsableNumber(r)) return tell(kStrNoNumber);
  if (services_.dial && services_.dial(std::string(r.Number()))) close();
}

void CCallHistoryDlg::SaveToPhonebook() {
  if (services_.history->IsEmpty(shown_) || services_.phonebook == nullptr) return;
  HistRecord r{};
  if (!Selected(r)) return;
  if (services_.phonebook->Count() >= kMaxContacts) return tell(kStrPhonebookFull);
  if (!UsableNumber(r)) return tell(kStrNoNumber);
  if (!CPbData::CheckNumberCharacters(r.Number())) return tell(kStrInvalidNumberCharacter);
  CSelPosition position(std::string(r.Number()), this);
  if (position.exec() != QDialog::Accepted) return;
  ChangeResult saved = services_.phonebook->Append(position.Contact());
  if (!saved && saved.message != 0) tell(saved.message);
  else if (!saved) QMessageBox::warning(this, windowTitle(), QString::fromStdString(saved.Error()));
  Redisplay();
}

void CCallHistoryDlg::DeleteSelected() {
  if (services_.history->IsEmpty(shown_)) return;
  std::vector<int> rows;
  for (QTreeWidgetItem* item : rows_->selectedItems()) rows.push_back(rows_->indexOfTopLevelItem(item));
  if (rows.empty()) return tell(kStrSelectEntry);
  if (!ask(kStrConfirmDelete)) return;
  HistDeleteResult result = DeleteHistRows(*services_.history, shown_, orders_[shown_], rows);
  if (!result.saved)
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(result.saved.error));
  Redisplay();
  if (result.selectRow >= 0 && result.selectRow < rows_->topLevelItemCount()) {
    rows_->setCurrentItem(rows_->topLevelItem(result.selectRow));
    rows_->topLevelItem(result.selectRow)->setSelected(true);
  }
}

void CCallHistoryDlg::DeleteAll() {
  if (services_.history->IsEmpty(shown_)) return;
  if (!ask(kStrConfirmDeleteAll)) return;
  if (ChangeResult cleared = services_.history->Clear(shown_); !cleared)
    QMessageBox::warning(this, windowTitle(), QString::fromStdString(cleared.Error()));
  for (int list = 0; list < kHistListCount; ++list) {
    orders_[list].Reset();
    Rebuild(list);
  }
  Redisplay();
}

void CCallHistoryDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message != kMsgCallRecorded) return CBaseDlg::OnMessage(message, wParam, lParam);
  const int list = static_cast<int>(wParam);
  for (int l = 0; l < kHistListCount; ++l)
    if (list == kAllHistLists || list == l) Rebuild(l);
  if (list == kAllHistLists || list == shown_) Redisplay();
}

}  // namespace evdo
