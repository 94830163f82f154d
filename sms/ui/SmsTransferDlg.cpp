#include "sms/ui/SmsTransferDlg.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMessageBox>
#include <QProgressBar>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "sms/SmsCodec.h"
#include "sms/ui/SmsUiText.h"
#include "ui/text/QtText.h"

namespace evdo::sms {

namespace {

constexpr StringId kStorageTexts[3] = {kStrStoragePc, kStrStorageMe, kStrStorageSm};
constexpr StringId kBoxTexts[kSmsBoxCount] = {kStrTabInbox, kStrTabOutbox, kStrBoxSaved};

// One row: number, time, text (a part with its label in front).
QTreeWidgetItem* Row(const SmsRecord& record) {
  auto* item = new QTreeWidgetItem();
  item->setText(0, FromAnsi(record.Number()));
  item->setText(1, LocalText(record.Time()));
  std::string label;
  if (record.HasPartInfo()) FormatPartLabel(record.partIndex, record.partCount, label);
  QString text = FromAnsi(label) + FromAnsi(record.Text());
  text.replace('\n', ' ').replace('\r', ' ');
  item->setText(2, text);
  item->setToolTip(2, FromAnsi(record.Text()));
  return item;
}

}  // namespace

bool CSmsTransferDlg::CanOpen(const TransferServices& s) {
  return s.exchange != nullptr && s.store != nullptr && s.notificationGate != nullptr && s.link != nullptr &&
         (!s.cardReady || s.cardReady()) && (!s.incomingCall || !s.incomingCall()) && (!s.portOpen || s.portOpen());
}

CSmsTransferDlg::CSmsTransferDlg(TransferServices services, QWidget* parent)
    : CBaseDlg(parent), services_(std::move(services)) {
  setObjectName("CSmsTransferDlg");
  setWindowTitle(Str(kStrTransferTitle));
  transfer_ = std::make_unique<CSmsTransfer>(*services_.exchange, *services_.store, *services_.notificationGate,
                                             *services_.link, Port(), Hooks());

  auto* layout = new QVBoxLayout(this);
  auto* panes = new QHBoxLayout();
  panes->addWidget(BuildPane(kLeft), 1);

  auto* middle = new QVBoxLayout();
  middle->addStretch(1);
  const StringId texts[4] = {kStrCopyRight, kStrMoveRight, kStrCopyLeft, kStrMoveLeft};
  for (int i = 0; i < 4; ++i) {
    auto* button = new QPushButton(Str(texts[i]), this);
    const Pane from = i < 2 ? kLeft : kRight;
    const bool move = i % 2 == 1;
    button->setObjectName(QString(move ? "move%1" : "copy%1").arg(from == kLeft ? "Right" : "Left"));
    if (move) button->setToolTip(Str(kStrMoveCheck));
    (move ? move_ : copy_)[from] = button;
    connect(button, &QPushButton::clicked, this, [this, from, move] { CopyOrMove(from, move); });
    middle->addWidget(button);
    if (i == 1) middle->addSpacing(16);
  }
  middle->addStretch(1);
  panes->addLayout(middle);
  panes->addWidget(BuildPane(kRight), 1);
  layout->addLayout(panes, 1);

  auto* bottom = new QHBoxLayout();
  progressText_ = new QLabel(this);
  progressText_->setObjectName("progressText");
  progressText_->setTextFormat(Qt::PlainText);
  progress_ = new QProgressBar(this);
  progress_->setObjectName("progress");
  progress_->setTextVisible(false);
  progress_->setVisible(false);
  auto* close = new QPushButton(Str(kStrCloseButton), this);
  close->setObjectName("close");
  connect(close, &QPushButton::clicked, this, [this] {
    transfer_->Abort();
    reject();
  });
  bottom->addWidget(progressText_);
  bottom->addWidget(progress_, 1);
  bottom->addStretch(0);
  bottom->addWidget(close);
  layout->addLayout(bottom);

  // Keyboard order: the left pane, the buttons between, the right pane.
  QWidget* order[] = {storages_[kLeft], boxes_[kLeft],  lists_[kLeft],     delete_[kLeft],  copy_[kLeft],
                      move_[kLeft],     copy_[kRight],  move_[kRight],     storages_[kRight], boxes_[kRight],
                      lists_[kRight],   delete_[kRight], close};
  for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);

  filling_ = true;
  ChooseStorage(kLeft, kStoragePc);
  ChooseStorage(kRight, kStorageSm);
  filling_ = false;
  FillAll();
  resize(860, 480);
}

CSmsTransferDlg::~CSmsTransferDlg() { transfer_->Abort(); }

QWidget* CSmsTransferDlg::BuildPane(Pane pane) {
  auto* box = new QWidget(this);
  box->setObjectName(pane == kLeft ? "leftPane" : "rightPane");
  auto* layout = new QVBoxLayout(box);
  layout->setContentsMargins(0, 0, 0, 0);
  auto* choosers = new QHBoxLayout();
  storages_[pane] = new QComboBox(box);
  storages_[pane]->setObjectName("storage");
  for (StringId id : kStorageTexts) storages_[pane]->addItem(Str(id));
  boxes_[pane] = new QComboBox(box);
  boxes_[pane]->setObjectName("box");
  for (StringId id : kBoxTexts) boxes_[pane]->addItem(Str(id));
  choosers->addWidget(storages_[pane], 1);
  choosers->addWidget(boxes_[pane], 1);
  layout->addLayout(choosers);

  lists_[pane] = new QTreeWidget(box);
  lists_[pane]->setObjectName("list");
  lists_[pane]->setRootIsDecorated(false);
  lists_[pane]->setSelectionMode(QAbstractItemView::ExtendedSelection);
  lists_[pane]->setHeaderLabels({Str(kStrColumnNumber), Str(kStrColumnTime), Str(kStrColumnContent)});
  lists_[pane]->header()->setStretchLastSection(true);
  lists_[pane]->setColumnWidth(0, lists_[pane]->fontMetrics().horizontalAdvance("+8613800000000") + 16);
  // Wide enough for a date and time of the display locale.
  const QString sample = LocalText(DateTime::FromLocal(2026, 12, 28, 23, 59, 59));
  lists_[pane]->setColumnWidth(1, lists_[pane]->fontMetrics().horizontalAdvance(sample) + 16);
  layout->addWidget(lists_[pane], 1);

  auto* row = new QHBoxLayout();
  counts_[pane] = new QLabel(box);
  counts_[pane]->setObjectName("counts");
  counts_[pane]->setTextFormat(Qt::PlainText);
  delete_[pane] = new QPushButton(Str(kStrTransferDelete), box);
  delete_[pane]->setObjectName("delete");
  row->addWidget(counts_[pane], 1);
  row->addWidget(delete_[pane]);
  layout->addLayout(row);

  connect(storages_[pane], &QComboBox::currentIndexChanged, this, [this, pane] { OnStorageChosen(pane); });
  connect(boxes_[pane], &QComboBox::currentIndexChanged, this, [this, pane] {
    if (filling_) return;
    transfer_->SetPcBox(boxes_[pane]->currentIndex());
    Fill(pane);
  });
  connect(delete_[pane], &QPushButton::clicked, this, [this, pane] { DeleteSelection(pane); });
  return box;
}

int CSmsTransferDlg::Storage(Pane pane) const { return std::max(0, storages_[pane]->currentIndex()); }

void CSmsTransferDlg::ChooseStorage(Pane pane, int storage) { storages_[pane]->setCurrentIndex(storage); }

void CSmsTransferDlg::ChooseBox(int box) {
  for (Pane pane : {kLeft, kRight})
    if (Storage(pane) == kStoragePc) boxes_[pane]->setCurrentIndex(box);
}

void CSmsTransferDlg::OnStorageChosen(Pane pane) {
  const Pane other = pane == kLeft ? kRight : kLeft;
  const int storage = Storage(pane);
  // One storage is never shown in both panes: the other pane moves on.
  if (storages_[other]->currentIndex() == storage) {
    const bool was = filling_;
    filling_ = true;
    storages_[other]->setCurrentIndex(storage == kStorageSm ? kStorageMe : kStorageSm);
    filling_ = was;
  }
  for (Pane p : {kLeft, kRight}) {
    const bool pc = Storage(p) == kStoragePc;
    boxes_[p]->setVisible(pc);
    if (pc) {
      const bool was = filling_;
      filling_ = true;
      boxes_[p]->setCurrentIndex(transfer_->PcBox());
      filling_ = was;
    }
  }
  if (!filling_) FillAll();
}

void CSmsTransferDlg::Fill(Pane pane) {
  QTreeWidget* list = lists_[pane];
  list->clear();
  const int storage = Storage(pane);
  QList<QTreeWidgetItem*> rows;
  if (storage == kStoragePc) {
    const int box = transfer_->PcBox();
    const int count = services_.store->Count(box);
    for (int i = 0; i < count; ++i)
      if (auto r = services_.store->GetRecord(box, i)) rows.push_back(Row(*r));
    counts_[pane]->setText(FilledText(kStrStorageCounts, {}, {count, kSmsBoxCapacity}));
  } else {
    const DeviceStorage& device = transfer_->Storage(storage);
    for (const DeviceEntry& e : device.entries) rows.push_back(Row(e.record));
    counts_[pane]->setText(FilledText(kStrStorageCounts, {}, {device.used, device.total}));
  }
  list->addTopLevelItems(rows);
  EnableButtons();
}

void CSmsTransferDlg::FillAll() {
  Fill(kLeft);
  Fill(kRight);
}

void CSmsTransferDlg::EnableButtons() {
  const bool idle = !transfer_->IsRunning();
  for (Pane p : {kLeft, kRight}) {
    const bool hasRows = lists_[p]->topLevelItemCount() > 0;
    copy_[p]->setEnabled(idle && hasRows);
    move_[p]->setEnabled(idle && hasRows);
    delete_[p]->setEnabled(idle && hasRows);
    storages_[p]->setEnabled(idle);
    boxes_[p]->setEnabled(idle);
  }
}

std::vector<int> CSmsTransferDlg::Selection(Pane pane) const {
  std::vector<int> rows;
  for (QTreeWidgetItem* item : lists_[pane]->selectedItems())
    rows.push_back(lists_[pane]->indexOfTopLevelItem(item));
  std::sort(rows.begin(), rows.end());
  return rows;
}

void CSmsTransferDlg::CopyOrMove(Pane from, bool move) {
  const Pane to = from == kLeft ? kRight : kLeft;
  if (!CanOpen(services_)) return;
  progressText_->setText(Str(kStrTransferProgress));
  transfer_->Start(Storage(from), Storage(to), Selection(from), move);
  EnableButtons();
}

void CSmsTransferDlg::DeleteSelection(Pane pane, bool ask) {
  std::vector<int> rows = Selection(pane);
  if (rows.empty()) {
    ShowMessageBox(this, kStrSelectEntry);
    return;
  }
  if (ask && QMessageBox::question(this, Str(kStrAppTitle), Str(kStrConfirmDelete)) != QMessageBox::Yes) return;
  progressText_->setText(Str(kStrTransferProgress));
  transfer_->Delete(Storage(pane), std::move(rows));
  EnableButtons();
}

TransferHooks CSmsTransferDlg::Hooks() {
  TransferHooks hooks;
  if (services_.cardReady) hooks.cardReady = services_.cardReady;
  if (services_.incomingCall) hooks.incomingCall = services_.incomingCall;
  if (services_.portOpen) hooks.portOpen = services_.portOpen;
  hooks.boxChanged = [this](int box) {
    if (services_.boxChanged) services_.boxChanged(box);
  };
  hooks.indicatorsChanged = [this] {
    if (services_.indicatorsChanged) services_.indicatorsChanged();
  };
  hooks.openProgress = [this](int range) {
    progress_->setRange(0, std::max(range, 1));
    progress_->setValue(0);
    progress_->setVisible(true);
  };
  hooks.stepProgress = [this](int position) { progress_->setValue(std::min(position, progress_->maximum())); };
  hooks.closeProgress = [this] {
    progress_->setVisible(false);
    progressText_->clear();
  };
  hooks.panesChanged = [this] { FillAll(); };
  hooks.showMessage = [this](int id, const std::string& detail) { ShowMessageBox(this, id, detail); };
  hooks.finished = [this](TransferMode, TransferEnd) { EnableButtons(); };
  return hooks;
}

void CSmsTransferDlg::showEvent(QShowEvent* event) {
  CBaseDlg::showEvent(event);
  if (read_) return;
  read_ = true;
  progressText_->setText(Str(kStrReadingDevice));
  transfer_->ReadDevices();
  EnableButtons();
}

void CSmsTransferDlg::closeEvent(QCloseEvent* event) {
  transfer_->Abort();
  CBaseDlg::closeEvent(event);
}

void CSmsTransferDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message == kMsgSmsAnswer) return transfer_->OnMessage(message, wParam, lParam);
  CBaseDlg::OnMessage(message, wParam, lParam);
}

void CSmsTransferDlg::OnTimer(TimerId timerId) {
  transfer_->OnTimer(timerId);
  CBaseDlg::OnTimer(timerId);
}

}  // namespace evdo::sms
