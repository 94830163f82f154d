#include "calls/ui/CallDlg.h"

#include <QApplication>
#include <QDateTime>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QMessageBox>
#include <QPushButton>
#include <QSlider>
#include <QVBoxLayout>

#include "calls/ui/CallHistoryDlg.h"
#include "ui/LanguageStrings.h"
#include "ui/text/QtText.h"
#include "ui/notify/DesktopNotifier.h"
#include "calls/ui/PopDlg.h"
#include "core/settings/SetupData.h"
#include "phonebook/PbData.h"
#include "phonebook/ui/SelContactDlg.h"
#include "ui/StringIds.h"

namespace evdo {


namespace {

constexpr char kKeys[] = "123456789*0#";
constexpr int kColumnWidth = 460;


}  // namespace

CCallDlg::CCallDlg(CallPageServices services, QWidget* parent) : CBasePage(parent), services_(std::move(services)) {
  CallHooks hooks;
  hooks.beep = [] { QApplication::beep(); };
  hooks.showMessage = [this](int id) { ShowMessage(id); };
  hooks.openInfoDialog = [this](int mode) { OpenInfoDialog(mode); };
  hooks.changed = [this] { Refresh(); };
  hooks.contactName = [this](std::string_view n) { return ContactName(n); };
  if (services_.cardReady) hooks.cardReady = services_.cardReady;
  if (services_.powerManagement) hooks.powerManagement = services_.powerManagement;
  hooks.callRecorded = [this](int kind) {
    if (history_) history_->OnMessage(kMsgCallRecorded, static_cast<WParam>(kind), 0);
  };
  hooks.historyProblem = [this](const std::string& problem) {
    QMessageBox::warning(this, Str(kStrButtonCallHistory), QString::fromStdString(problem));
  };
  hooks.ringing = [this](const std::string& number) { OnRinging(number); };
  hooks.ringingEnded = [this] {
    popup_->Hide();
    UpdateIndicator();
  };
  hooks.missed = [this](const std::string& number) { OnMissed(number); };
  hooks.clearIncomingFlag = services_.clearIncomingFlag;
  control_ = std::make_unique<CCallControl>(*services_.exchange, Port(), services_.history, std::move(hooks));

  popup_ = new CPopDlg(nullptr);
  popup_->onAnswer = [this] {
    control_->Answer();
    if (services_.showPage) services_.showPage();
  };
  popup_->onReject = [this] { control_->Reject(); };
  popup_->onIgnore = [this] { control_->Dismiss(); };
  BuildWindow();
  control_->Start();
}

CCallDlg::~CCallDlg() {
  control_->UnregisterNotifications();
  delete popup_;
  if (history_) delete history_.data();
}

void CCallDlg::RegisterNotifications() {
  if (services_.dispatcher != nullptr) control_->RegisterNotifications(*services_.dispatcher);
}

void CCallDlg::BuildWindow() {
  // A column of the keypad's width in the middle of the page.
  auto* outer = new QHBoxLayout(this);
  auto* column = new QWidget(this);
  column->setMaximumWidth(kColumnWidth);
  outer->addStretch(1);
  outer->addWidget(column, 4);
  outer->addStretch(1);
  auto* layout = new QVBoxLayout(column);
  layout->setContentsMargins(0, 0, 0, 0);
  display_ = new QLabel(this);
  display_->setObjectName("display");
  display_->setTextFormat(Qt::PlainText);
  display_->setFrameShape(QFrame::StyledPanel);
  display_->setAlignment(Qt::AlignCenter);
  display_->setMinimumHeight(76);
  layout->addWidget(display_);

  auto* fieldRow = new QHBoxLayout;
  field_ = new QLineEdit(this);
  field_->setObjectName("number");
  field_->setAccessibleName(Str(kStrCallNumberField));
  QFont big = field_->font();
  big.setPointSizeF(big.pointSizeF() * 1.4);
  field_->setFont(big);
  erase_ = new QPushButton(this);
  erase_->setObjectName("erase");
  fieldRow->addWidget(field_, 1);
  fieldRow->addWidget(erase_);
  layout->addLayout(fieldRow);

  auto* keypad = new QGridLayout;
  for (int i = 0; i < 12; ++i) {
    auto* key = new QPushButton(QString(QChar(kKeys[i])), this);
    key->setObjectName(QString("key%1").arg(QChar(kKeys[i])));
    key->setMinimumSize(64, 34);
    key->setFont(big);
    key->setFocusPolicy(Qt::NoFocus);
    const char k = kKeys[i];
    connect(key, &QPushButton::pressed, this, [this] { held_.start(); });
    connect(key, &QPushButton::clicked, this, [this, k] {
      control_->PressKey(k, held_.isValid() ? static_cast<std::uint32_t>(held_.elapsed()) : 0);
    });
    keypad->addWidget(key, i / 3, i % 3);
    keys_ << key;
  }
  layout->addLayout(keypad);

  auto* callRow = new QHBoxLayout;
  dial_ = new QPushButton(this);
  dial_->setObjectName("dial");
  end_ = new QPushButton(this);
  end_->setObjectName("end");
  callRow->addWidget(dial_);
  callRow->addWidget(end_);
  layout->addLayout(callRow);

  auto* moreRow = new QHBoxLayout;
  contacts_ = new QPushButton(this);
  contacts_->setObjectName("contacts");
  historyButton_ = new QPushButton(this);
  historyButton_->setObjectName("history");
  message_ = new QPushButton(this);
  message_->setObjectName("message");
  message_->setVisible(static_cast<bool>(services_.writeMessage));
  moreRow->addWidget(contacts_);
  moreRow->addWidget(historyButton_);
  moreRow->addWidget(message_);
  layout->addLayout(moreRow);

  auto* volumeRow = new QHBoxLayout;
  volumeLabel_ = new QLabel(this);
  volume_ = new QSlider(Qt::Horizontal, this);
  volume_->setObjectName("volume");
  volume_->setRange(kVolumeMin, kVolumeMax);
  volume_->setValue(kVolumeDefault);
  volume_->setPageStep(1);
  volume_->setTickPosition(QSlider::TicksBelow);
  volumeRow->addWidget(volumeLabel_);
  volumeRow->addWidget(volume_, 1);
  layout->addLayout(volumeRow);
  layout->addStretch(1);

  connect(field_, &QLineEdit::textEdited, this, [this](const QString& text) {
    control_->EditField(ToAnsi(text));
  });
  connect(field_, &QLineEdit::returnPressed, this, [this] { control_->Dial(); });
  connect(erase_, &QPushButton::pressed, this, [this] { held_.start(); });
  connect(erase_, &QPushButton::clicked, this, [this] {
    control_->Erase(held_.isValid() ? static_cast<std::uint32_t>(held_.elapsed()) : 0);
  });
  connect(dial_, &QPushButton::clicked, this, [this] { control_->Dial(); });
  connect(end_, &QPushButton::clicked, this, [this] { control_->End(); });
  connect(volume_, &QSlider::sliderReleased, this, [this] { control_->SetVolume(volume_->value()); });
  // The keyboard moves the slider without a release.
  connect(volume_, &QSlider::actionTriggered, this, [this](int) {
    if (!volume_->isSliderDown())
      QMetaObject::invokeMethod(this, [this] { control_->SetVolume(volume_->value()); }, Qt::QueuedConnection);
  });
  connect(contacts_, &QPushButton::clicked, this, [this] { PickContact(); });
  connect(historyButton_, &QPushButton::clicked, this, [this] { OpenHistory(); });
  connect(message_, &QPushButton::clicked, this, [this] {
    if (services_.writeMessage) services_.writeMessage(control_->Field());
  });

  erase_->setText(Str(kStrButtonErase));
  dial_->setText(Str(kStrButtonDial));
  end_->setText(Str(kStrButtonEndCall));
  contacts_->setText(Str(kStrButtonContacts));
  historyButton_->setText(Str(kStrButtonCallHistory));
  message_->setText(Str(kStrButtonSendMessage));
  volumeLabel_->setText(Str(kStrLabelVolume));
  Refresh();
}

std::optional<std::string> CCallDlg::ContactName(std::string_view number) const {
  if (services_.phonebook == nullptr) return std::nullopt;
  ContactRecord contact;
  if (!services_.phonebook->FindContactByNumber(number, contact)) return std::nullopt;
  return std::string(FieldValue(contact, ContactField::Name));
}

QString CCallDlg::DisplayText() const { return display_->text(); }

CCallHistoryDlg* CCallDlg::HistoryWindow() const { return history_.data(); }

void CCallDlg::Refresh() {
  if (display_ == nullptr || refreshing_) return;
  refreshing_ = true;
  const bool inCall = control_->InCall();
  const bool idle = !inCall && !control_->Busy() && control_->IncomingState() == CCallControl::Incoming::None;
  CCallControl::Display d = control_->CurrentDisplay();
  QString text;
  if (inCall) {
    text = LocalText(d.time) + "\n" + QString::fromStdString(d.duration) + "\n" + FromAnsi(d.party);
  } else {
    text = FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))) + "\n" + LocalText(d.time);
    if (control_->Busy() && !inCall && !control_->Field().empty()) text += "\n" + Str(kStrCalling);
  }
  display_->setText(text);
  QString field = FromAnsi(control_->Field());
  if (field_->text() != field) {
    field_->setText(field);
    field_->setCursorPosition(field.size());
  }
  const bool card = !services_.cardReady || services_.cardReady();
  field_->setEnabled(idle);
  erase_->setEnabled(idle);
  dial_->setEnabled(idle);
  end_->setEnabled(inCall && !control_->Busy());
  volume_->setEnabled(inCall);
  for (QPushButton* key : keys_) key->setEnabled(idle || inCall);
  contacts_->setEnabled(idle && card && services_.phonebook != nullptr);
  historyButton_->setEnabled(card && services_.history != nullptr);
  refreshing_ = false;
}

void CCallDlg::ShowMessage(int id) {
  auto* box = new QMessageBox(QMessageBox::Warning, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))), Str(id),
                              QMessageBox::Ok, this);
  box->setObjectName(QString("message%1").arg(id));
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void CCallDlg::OpenInfoDialog(int mode) {
  const bool identity = mode == kInfoIdentity;
  std::string text = identity ? (services_.identityText ? services_.identityText() : std::string())
                              : (services_.versionText ? services_.versionText() : std::string());
  QMessageBox box(QMessageBox::Information, Str(identity ? kStrTitleDeviceIdentity : kStrTitleDeviceVersion),
                  FromAnsi(text), QMessageBox::Ok, this);
  box.setObjectName(identity ? "CVersionDlg0" : "CVersionDlg1");
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

void CCallDlg::PickContact() {
  if (services_.phonebook == nullptr) return;
  const std::vector<std::string> chosen = CSelContactDlg::Choose(this, *services_.phonebook, false);
  if (chosen.empty()) return;
  control_->EditField(chosen.front());
  if (control_->Field() != chosen.front()) ShowMessage(kStrInvalidNumberCharacter);
}

CCallHistoryDlg* CCallDlg::OpenHistory() {
  if (services_.history == nullptr) return nullptr;
  if (!history_) {
    HistoryWindowServices s;
    s.history = services_.history;
    s.phonebook = services_.phonebook;
    s.dial = [this](const std::string& number) {
      if (services_.showPage) services_.showPage();
      return control_->DialNumber(number);
    };
    s.writeMessage = services_.writeMessage;
    s.saveToPhonebook = services_.saveToPhonebook;
    history_ = new CCallHistoryDlg(std::move(s), window());
    history_->setAttribute(Qt::WA_DeleteOnClose);
  }
  missedUnseen_ = 0;
  UpdateIndicator();
  history_->show();
  history_->raise();
  history_->activateWindow();
  return history_;
}

void CCallDlg::UpdateIndicator() {
  if (!services_.callIndicator) return;
  const bool ringing = control_->IncomingState() == CCallControl::Incoming::Ringing;
  services_.callIndicator(ringing || missedUnseen_ > 0 ? 1 : 0, missedUnseen_);
}

void CCallDlg::OnRinging(const std::string& number) {
  QString name;
  if (!number.empty()) {
    if (std::optional<std::string> n = ContactName(number)) name = FromAnsi(*n);
  }
  // The pop-up is a window of its own: it takes the skin's colours from here.
  popup_->setPalette(window()->palette());
  popup_->setFont(window()->font());
  popup_->ShowCall(FromAnsi(number), name);
  UpdateIndicator();
}

void CCallDlg::OnMissed(const std::string& number) {
  ++missedUnseen_;
  UpdateIndicator();
  if (services_.notifier == nullptr) return;
  QString who = FromAnsi(number.empty() ? LoadString(kStrUnknown) : number);
  if (!number.empty()) {
    if (std::optional<std::string> n = ContactName(number); n && !n->empty()) who = FromAnsi(*n) + " (" + who + ")";
  }
  QString body = Str(kStrMissedCallText);
  body.replace("%s", who);
  services_.notifier->Notify({NoticeKind::MissedCall, Str(kStrMissedCallTitle), body, {}});
}

bool CCallDlg::AskLeave() { return control_->AskLeave() == 0; }

void CCallDlg::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  control_->Start();
}

void CCallDlg::keyPressEvent(QKeyEvent* event) {
  const QString text = event->text();
  if (text.size() == 1 && !field_->hasFocus() && std::string_view(kKeys).find(text[0].toLatin1()) != std::string_view::npos) {
    control_->PressKey(text[0].toLatin1(), 0);
    return;
  }
  if (event->key() == Qt::Key_Backspace && !field_->hasFocus()) {
    control_->Erase(0);
    return;
  }
  CBasePage::keyPressEvent(event);
}

void CCallDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) { control_->OnMessage(message, wParam, lParam); }

void CCallDlg::OnTimer(TimerId timerId) { control_->OnTimer(timerId); }

}  // namespace evdo
