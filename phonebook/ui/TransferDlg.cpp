#include "phonebook/ui/TransferDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "ui/text/QtText.h"
#include "device/AtDispatcher.h"
#include "device/SerialPort.h"
#include "phonebook/ui/PhonebookUi.h"
#include "phonebook/ui/SelPosition.h"
#include "ui/LanguageStrings.h"

namespace evdo {
namespace {

constexpr int kNameColumnWidth = 120;
constexpr int kProgressUpdateMs = 100;
CTransferDlg* g_current = nullptr;

}  // namespace

// --- wait window ---

CWaitDlg::CWaitDlg(QWidget* parent) : CBaseDlg(parent), text_(new QLabel(this)), bar_(new QProgressBar(this)) {
  setObjectName("CWaitDlg");
  setWindowTitle(Str(kStrPbTransfering));
  ModifyStyle(kStyleSysMenu | kStyleThickFrame, 0);
  auto* layout = new QVBoxLayout(this);
  text_->setObjectName("waitText");
  layout->addWidget(new QLabel(Str(kStrPbTransfering), this));
  layout->addWidget(text_);
  bar_->setObjectName("waitProgress");
  bar_->setRange(0, 1);
  bar_->setValue(0);
  layout->addWidget(bar_);
  setMinimumWidth(320);
}

void CWaitDlg::SetText(const QString& text) { text_->setText(text); }

void CWaitDlg::SetProgress(int done, int total) {
  // The bar repaints at once when its value changes; the answers of a read
  // come every few milliseconds, so the bar follows them a few times a
  // second instead, apart from the answers' handling.
  done_ = done;
  total_ = total;
  if (updateScheduled_) return;
  updateScheduled_ = true;
  QTimer::singleShot(kProgressUpdateMs, this, [this] {
    updateScheduled_ = false;
    bar_->setRange(0, std::max(1, total_));
    bar_->setValue(std::clamp(done_, 0, std::max(1, total_)));
  });
}

void CWaitDlg::keyPressEvent(QKeyEvent* event) {
  // The read cannot be abandoned half-way from the wait window.
  if (event->key() == Qt::Key_Escape) return event->ignore();
  CBaseDlg::keyPressEvent(event);
}

// --- transfer window ---

CTransferDlg* CTransferDlg::Current() { return g_current; }

CTransferDlg::CTransferDlg(const PhonebookServices& services, CPbData& store, QWidget* parent)
    : CBaseDlg(parent),
      services_(services),
      store_(store),
      io_(*services.exchange, Port(), [port = services.port] { return port->IsOpen(); }),
      transfer_(store, io_, services.dispatcher->NotificationGate(), Hooks()),
      leftPlace_(new QComboBox(this)),
      rightPlace_(new QComboBox(this)),
      left_(new QTreeWidget(this)),
      right_(new QTreeWidget(this)),
      progress_(new QProgressBar(this)) {
  g_current = this;
  setObjectName("CTransferDlg");
  setWindowTitle(Str(kStrPbTransferTitle));
  io_.SetUnnamedText(LoadString(pbsync::kUnnamed));
  leftPlace_->setObjectName("leftPlace");
  rightPlace_->setObjectName("rightPlace");
  leftPlace_->addItem(Str(kStrMemoryPc), static_cast<int>(PbPlace::PC));
  leftPlace_->addItem(Str(kStrMemoryModem), static_cast<int>(PbPlace::ME));
  rightPlace_->addItem(Str(kStrMemoryPc), static_cast<int>(PbPlace::PC));
  rightPlace_->addItem(Str(kStrMemoryCard), static_cast<int>(PbPlace::SM));
  rightPlace_->setCurrentIndex(1);
  for (QTreeWidget* pane : {left_, right_}) {
    pane->setRootIsDecorated(false);
    pane->setSelectionMode(QAbstractItemView::ExtendedSelection);
    pane->setAlternatingRowColors(true);
  }
  left_->setObjectName("leftPane");
  right_->setObjectName("rightPane");

  auto* grid = new QGridLayout(this);
  grid->addWidget(leftPlace_, 0, 0);
  grid->addWidget(rightPlace_, 0, 2);
  grid->addWidget(left_, 1, 0);
  grid->addWidget(right_, 1, 2);
  auto* middle = new QVBoxLayout;
  middle->addStretch(1);
  const StringId labels[4] = {kStrPbCopyRight, kStrPbCopyLeft, kStrPbMoveRight, kStrPbMoveLeft};
  const char* names[4] = {"copyRight", "copyLeft", "moveRight", "moveLeft"};
  for (int i = 0; i < 4; ++i) {
    buttons_[i] = new QPushButton(Str(labels[i]), this);
    buttons_[i]->setObjectName(names[i]);
    middle->addWidget(buttons_[i]);
    const bool leftToRight = i % 2 == 0, move = i >= 2;
    connect(buttons_[i], &QPushButton::clicked, this, [this, leftToRight, move] { CopyOrMove(leftToRight, move); });
  }
  middle->addStretch(1);
  grid->addLayout(middle, 1, 1);
  progress_->setObjectName("transferProgress");
  progress_->setRange(0, 1);
  progress_->setValue(0);
  grid->addWidget(progress_, 2, 0, 1, 2);
  auto* close = new QPushButton(Str(kStrClose), this);
  close->setObjectName("close");
  connect(close, &QPushButton::clicked, this, &QDialog::reject);
  grid->addWidget(close, 2, 2, Qt::AlignRight);
  grid->setColumnStretch(0, 1);
  grid->setColumnStretch(2, 1);
  connect(leftPlace_, &QComboBox::currentIndexChanged, this, [this] { OnSelector(0); });
  connect(rightPlace_, &QComboBox::currentIndexChanged, this, [this] { OnSelector(1); });
  resize(980, 500);
}

CTransferDlg::~CTransferDlg() {
  if (wait_) wait_->close();
  if (g_current == this) g_current = nullptr;
}

PbTransferHooks CTransferDlg::Hooks() {
  PbTransferHooks hooks;
  hooks.showMessage = [this](int message, const std::string& detail) {
    ShowPbMessage(this, message, FromAnsi(detail));
  };
  hooks.entryAdded = [this](PbMemory, int) { FillBoth(); };
  hooks.entryRemoved = [this](PbMemory, int) { FillBoth(); };
  hooks.pcChanged = [this] {
    FillBoth();
    if (services_.mainPort != nullptr) services_.mainPort->PostMessage(kMsgPhonebookSyncEnd);
  };
  hooks.askField = [this](const DeviceEntry& entry, std::function<void(std::optional<ContactField>, bool)> answer) {
    CSelPosition dialog(FromAnsi(entry.Name()), FromAnsi(entry.Number()), true, this);
    if (dialog.exec() != QDialog::Accepted) return answer(std::nullopt, false);
    answer(dialog.Field(), dialog.Keep());
  };
  hooks.progress = [this](int done, int total) {
    progress_->setRange(0, std::max(1, total));
    progress_->setValue(done);
  };
  hooks.finished = [this](bool) {
    SetButtonsEnabled(true);
    FillBoth();
  };
  hooks.busy = [this] {
    return services_.port->GetState() == CSerialPort::Busy || (services_.linkBusy && services_.linkBusy());
  };
  return hooks;
}

void CTransferDlg::Start() {
  wait_ = new CWaitDlg(parentWidget());
  wait_->setAttribute(Qt::WA_DeleteOnClose);
  wait_->setWindowModality(Qt::ApplicationModal);
  wait_->show();
  transfer_.Open([this](int done, int total) {
                   if (wait_) wait_->SetProgress(done, total);
                 },
                 [this](PbMemory memory) {
                   if (wait_) wait_->SetText(Str(memory == PbMemory::SM ? kStrReadingCardPhonebook
                                                                        : kStrReadingModemPhonebook));
                 },
                 [this](const PbResult& result) {
                   // The panes are filled after the last answer's handling.
                   QTimer::singleShot(0, this, [this, result] { OnOpened(result); });
                 });
}

void CTransferDlg::OnOpened(const PbResult& result) {
  if (wait_) wait_->close();
  if (!result.ok) {
    const int message = result.empty ? kStrPbNoLocations : result.message;
    if (message != 0) ShowPbMessage(parentWidget(), message, FromAnsi(result.detail));
    setAttribute(Qt::WA_DeleteOnClose);
    close();
    deleteLater();
    return;
  }
  ready_ = true;
  FillBoth();
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowModality(Qt::ApplicationModal);
  show();
}

PbPlace CTransferDlg::PlaceOf(int side) const {
  return static_cast<PbPlace>(Selector(side)->currentData().toInt());
}

void CTransferDlg::SetPlace(int side, PbPlace place) {
  QComboBox* box = Selector(side);
  box->setCurrentIndex(box->findData(static_cast<int>(place)));
}

void CTransferDlg::OnSelector(int side) {
  if (switching_) return;
  switching_ = true;
  // PC on one side puts the other side on its device memory.
  if (PlaceOf(side) == PbPlace::PC) SetPlace(1 - side, side == 0 ? PbPlace::SM : PbPlace::ME);
  switching_ = false;
  FillBoth();
}

void CTransferDlg::FillBoth() {
  Fill(0);
  Fill(1);
}

void CTransferDlg::Fill(int side) {
  QTreeWidget* pane = Pane(side);
  pane->clear();
  const PbPlace place = PlaceOf(side);
  if (place == PbPlace::PC) {
    pane->setColumnCount(4);
    pane->setHeaderLabels({Str(kStrColumnName), Str(kStrColumnNumber), Str(kStrColumnHome), Str(kStrColumnOffice)});
    pane->header()->setSectionResizeMode(QHeaderView::Stretch);
    for (int p = 0; p < store_.Count(); ++p) {
      ContactRecord r;
      if (!store_.Get(store_.RecordAt(p), r)) continue;
      auto* item = new QTreeWidgetItem(pane);
      item->setText(0, FromAnsi(FieldValue(r, ContactField::Name)));
      item->setText(1, FromAnsi(FieldValue(r, ContactField::Mobile)));
      item->setText(2, FromAnsi(FieldValue(r, ContactField::Home)));
      item->setText(3, FromAnsi(FieldValue(r, ContactField::Company)));
      item->setData(0, Qt::UserRole, p);
    }
    return;
  }
  pane->setColumnCount(2);
  pane->setHeaderLabels({Str(kStrColumnName), Str(kStrColumnDeviceNumber)});
  pane->header()->setSectionResizeMode(0, QHeaderView::Interactive);
  pane->header()->setSectionResizeMode(1, QHeaderView::Stretch);
  pane->setColumnWidth(0, kNameColumnWidth);
  const DeviceBook& book = io_.Book(place == PbPlace::SM ? PbMemory::SM : PbMemory::ME);
  for (int k = 0; k < book.Total(); ++k) {
    const DeviceEntry& e = book.At(k);
    if (e.Empty()) continue;
    auto* item = new QTreeWidgetItem(pane);
    item->setText(0, FromAnsi(e.Name()));
    item->setText(1, FromAnsi(e.Number()));
    item->setData(0, Qt::UserRole, k);
  }
}

void CTransferDlg::SetButtonsEnabled(bool enabled) {
  for (QPushButton* b : buttons_) b->setEnabled(enabled);
  leftPlace_->setEnabled(enabled);
  rightPlace_->setEnabled(enabled);
}

void CTransferDlg::CopyOrMove(bool leftToRight, bool move) {
  const int from = leftToRight ? 0 : 1;
  std::vector<int> items;
  for (QTreeWidgetItem* item : Pane(from)->selectedItems()) items.push_back(item->data(0, Qt::UserRole).toInt());
  if (items.empty()) return ShowPbMessage(this, kStrSelectContact);
  if (transfer_.Running()) return;
  SetButtonsEnabled(false);
  if (!transfer_.CopyOrMove(PlaceOf(from), PlaceOf(1 - from), std::move(items), move)) SetButtonsEnabled(true);
}

void CTransferDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message == kMsgPbAnswer) return io_.OnMessage(message, wParam, lParam);
  CBaseDlg::OnMessage(message, wParam, lParam);
}

void CTransferDlg::OnTimer(TimerId timerId) { io_.OnTimer(timerId); }

}  // namespace evdo
