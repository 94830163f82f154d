#include "sms/ui/SmsWriteDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QTextCursor>
#include <QVBoxLayout>

#include <utility>

#include "core/settings/SetupData.h"
#include "sms/SmsCodec.h"
#include "sms/SmsCommands.h"
#include "ui/LanguageStrings.h"
#include "ui/StringIds.h"
#include "ui/text/QtText.h"

namespace evdo {

using namespace sms;

namespace {

constexpr int kWindowWidth = 460;
constexpr int kTextHeight = 150;

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  return label;
}

// A key that types a character (not an editing or control key).
bool TypesCharacter(const QKeyEvent& key) {
  if (key.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  const QString text = key.text();
  if (text.isEmpty()) return false;
  return text.front().isPrint() || text.front() == QLatin1Char('\r') || text.front() == QLatin1Char('\n');
}

bool IsBackspace(const QKeyEvent& key) { return key.key() == Qt::Key_Backspace || key.key() == Qt::Key_Delete; }

}  // namespace

CSmsWriteDlg::CSmsWriteDlg(SmsWriteServices services, QWidget* parent)
    : CBaseDlg(parent),
      services_(std::move(services)),
      sender_(*services_.exchange, *services_.store, *services_.notificationGate, *services_.link,
              *services_.splitter, Port(), SenderHooks()) {
  setObjectName("CSmsWriteDlg");
  setAttribute(Qt::WA_DeleteOnClose);
  setWindowTitle(Str(kStrWriteTitle));
  ModifyStyle(0, kStyleMinimizeBox);
  setMinimumWidth(kWindowWidth);

  auto* layout = new QVBoxLayout(this);
  auto* grid = new QGridLayout();
  grid->setColumnStretch(1, 1);

  recipients_ = new QLineEdit(this);
  recipients_->setObjectName("recipients");
  recipients_->installEventFilter(this);
  auto* recipientsLabel = PlainLabel(Str(kStrRecipientsLabel), this);
  recipientsLabel->setBuddy(recipients_);
  grid->addWidget(recipientsLabel, 0, 0);
  auto* recipientsRow = new QHBoxLayout();
  recipientsRow->addWidget(recipients_, 1);
  contacts_ = new QPushButton(Str(kStrPickContacts), this);
  contacts_->setObjectName("contacts");
  contacts_->setAutoDefault(false);
  contacts_->setVisible(static_cast<bool>(services_.pickContacts));
  recipientsRow->addWidget(contacts_);
  grid->addLayout(recipientsRow, 0, 1);

  centre_ = new QLineEdit(this);
  centre_->setObjectName("serviceCentre");
  centre_->setMaxLength(static_cast<int>(kMaxNumberChars));
  centre_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9+*#]*"), centre_));
  auto* centreLabel = PlainLabel(Str(kStrServiceCentreLabel), this);
  centreLabel->setBuddy(centre_);
  grid->addWidget(centreLabel, 1, 0);
  grid->addWidget(centre_, 1, 1);
  layout->addLayout(grid);

  auto* textRow = new QHBoxLayout();
  auto* textLabel = PlainLabel(Str(kStrMessageTextLabel), this);
  textRow->addWidget(textLabel);
  textRow->addStretch(1);
  part_ = PlainLabel(QString(), this);
  part_->setObjectName("partCounter");
  left_ = PlainLabel(QString(), this);
  left_->setObjectName("leftCounter");
  count_ = PlainLabel(QString(), this);
  count_->setObjectName("countCounter");
  textRow->addWidget(part_);
  textRow->addWidget(left_);
  textRow->addWidget(count_);
  layout->addLayout(textRow);

  text_ = new QPlainTextEdit(this);
  text_->setObjectName("messageText");
  text_->setTabChangesFocus(true);
  text_->setMinimumHeight(kTextHeight);
  text_->installEventFilter(this);
  textLabel->setBuddy(text_);
  layout->addWidget(text_, 1);

  auto* buttons = new QHBoxLayout();
  buttons->addStretch(1);
  send_ = new QPushButton(Str(kStrSendButton), this);
  send_->setObjectName("send");
  send_->setDefault(false);
  send_->setAutoDefault(false);
  save_ = new QPushButton(Str(kStrSaveButton), this);
  save_->setObjectName("save");
  save_->setAutoDefault(false);
  close_ = new QPushButton(Str(kStrCloseButton), this);
  close_->setObjectName("close");
  close_->setAutoDefault(false);
  buttons->addWidget(send_);
  buttons->addWidget(save_);
  buttons->addWidget(close_);
  layout->addLayout(buttons);

  connect(recipients_, &QLineEdit::textEdited, this, [this] { RecipientsEdited(); });
  connect(text_, &QPlainTextEdit::textChanged, this, [this] { TextChanged(); });
  connect(contacts_, &QPushButton::clicked, this, [this] { PickContacts(); });
  connect(send_, &QPushButton::clicked, this, [this] { Send(); });
  connect(save_, &QPushButton::clicked, this, [this] { Save(); });
  connect(close_, &QPushButton::clicked, this, [this] { close(); });
  UpdateCounters();
}

CSmsWriteDlg::~CSmsWriteDlg() { CloseProgress(); }

SendHooks CSmsWriteDlg::SenderHooks() {
  SendHooks hooks = services_.hooks;
  hooks.openProgress = [this](int range) { OpenProgress(range); };
  hooks.progress = [this](const std::string& number, int position, int count) {
    StepProgress(number, position, count);
  };
  hooks.closeProgress = [this] { CloseProgress(); };
  hooks.showMessage = [this](int id, const std::string& detail) { Show(id, FromAnsi(detail)); };
  auto outer = services_.hooks.finished;
  hooks.finished = [this, outer](const SendReport& report) {
    SetBusy(false);
    if (outer) outer(report);
    // Everything went: the window's work is done.
    if (report.AllSent()) close();
  };
  return hooks;
}

void CSmsWriteDlg::OnInitDialog() {
  CBaseDlg::OnInitDialog();
  (recipients_->text().isEmpty() ? static_cast<QWidget*>(recipients_) : static_cast<QWidget*>(text_))->setFocus();
}

void CSmsWriteDlg::SetRecipients(const QString& recipients) {
  restoring_ = true;
  recipients_->setText(recipients);
  restoring_ = false;
  acceptedRecipients_ = recipients;
}

void CSmsWriteDlg::SetText(const QString& text) {
  // Put through the text field's rules: a text beyond the limit is cut.
  QString accepted = text;
  while (!accepted.isEmpty() && !IsTextWithinLimit(ToAnsi(accepted))) accepted.chop(1);
  restoring_ = true;
  text_->setPlainText(accepted);
  restoring_ = false;
  acceptedText_ = accepted;
  text_->moveCursor(QTextCursor::End);
  UpdateCounters();
}

void CSmsWriteDlg::SetServiceCentre(const QString& number) { centre_->setText(number); }

QString CSmsWriteDlg::Recipients() const { return recipients_->text(); }
QString CSmsWriteDlg::Text() const { return text_->toPlainText(); }
QString CSmsWriteDlg::ServiceCentre() const { return centre_->text(); }
QString CSmsWriteDlg::CountText() const { return count_->text(); }
QString CSmsWriteDlg::LeftText() const { return left_->text(); }
QString CSmsWriteDlg::PartText() const { return part_->text(); }

QString CSmsWriteDlg::ProgressText() const { return progress_ ? progressText_->text() : QString(); }
int CSmsWriteDlg::ProgressValue() const { return progress_ ? progressBar_->value() : -1; }

void CSmsWriteDlg::Show(int stringId, const QString& detail) {
  if (services_.showMessage) return services_.showMessage(stringId, detail);
  QString text = Str(stringId);
  if (!detail.isEmpty()) text.replace(QStringLiteral("%s"), detail);
  // A box that outlives the window when the window closes after it.
  QWidget* owner = stringId == kStrMessageSent && parentWidget() != nullptr ? parentWidget() : this;
  auto* box = new QMessageBox(stringId == kStrMessageSent || stringId == kStrMessageSaved ? QMessageBox::Information
                                                                                         : QMessageBox::Warning,
                              FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))), text, QMessageBox::Ok, owner);
  box->setObjectName(QString("message%1").arg(stringId));
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void CSmsWriteDlg::Beep() {
  if (services_.beep) return services_.beep();
  QApplication::beep();
}

bool CSmsWriteDlg::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() == QEvent::KeyPress && (watched == recipients_ || watched == text_)) {
    const auto& key = static_cast<const QKeyEvent&>(*event);
    if (watched == recipients_ && TypesCharacter(key)) {
      const QString typed = key.text();
      bool allowed = true;
      for (QChar c : typed) allowed = allowed && c.unicode() < 128 && IsRecipientChar(c.unicode());
      if (!allowed) {
        Beep();
        return true;
      }
    }
    if (watched == text_ && TypesCharacter(key) && !IsBackspace(key)) {
      const std::string text = ToAnsi(text_->toPlainText());
      // A typed character replacing a selection does not lengthen the text.
      if (!text_->textCursor().hasSelection() && sms::CountChars(text) >= TextLimit(text)) {
        Beep();
        return true;
      }
    }
  }
  return CBaseDlg::eventFilter(watched, event);
}

void CSmsWriteDlg::RecipientsEdited() {
  if (restoring_) return;
  const QString now = recipients_->text();
  const FieldCheck check = CheckRecipientsField(ToAnsi(now));
  // Characters the code page cannot hold become '?', which the check refuses.
  if (check == kFieldAccepted) {
    acceptedRecipients_ = now;
    return;
  }
  const int caret = std::min(static_cast<int>(acceptedRecipients_.size()), recipients_->cursorPosition());
  restoring_ = true;
  recipients_->setText(acceptedRecipients_);
  recipients_->setCursorPosition(caret);
  restoring_ = false;
  if (check == kRefuseTooMany)
    Show(kStrTooManyRecipients);
  else
    Beep();
}

void CSmsWriteDlg::TextChanged() {
  if (restoring_) return;
  const QString now = text_->toPlainText();
  if (IsTextWithinLimit(ToAnsi(now))) {
    acceptedText_ = now;
  } else {
    restoring_ = true;
    text_->setPlainText(acceptedText_);
    text_->moveCursor(QTextCursor::End);
    restoring_ = false;
    Beep();
  }
  UpdateCounters();
}

void CSmsWriteDlg::UpdateCounters() {
  const TextCounters counters = sms::CountText(ToAnsi(text_->toPlainText()));
  count_->setText(QString::fromStdString(counters.count));
  left_->setText(QString::fromStdString(counters.left));
  part_->setText(counters.part.empty() ? QString() : Str(kStrPartOfParts) + " " + QString::fromStdString(counters.part));
}

void CSmsWriteDlg::PickContacts() {
  if (!services_.pickContacts) return;
  const std::vector<std::string> numbers = services_.pickContacts(this);
  if (numbers.empty()) return;
  QString field = recipients_->text();
  for (const std::string& number : numbers) {
    if (!field.isEmpty() && !field.endsWith(';')) field += ';';
    field += FromAnsi(number);
  }
  const FieldCheck check = CheckRecipientsField(ToAnsi(field));
  if (check == kRefuseTooMany) return Show(kStrTooManyRecipients);
  if (check != kFieldAccepted) return Beep();
  SetRecipients(field);
}

SendStart CSmsWriteDlg::Send() {
  const SendStart start = sender_.Send(ToAnsi(recipients_->text()), ToAnsi(text_->toPlainText()),
                                       ToAnsi(centre_->text()));
  // The modem not ready or a call: the user hears why nothing happens.
  if (start == SendStart::NotReady && !recipients_->text().isEmpty()) Show(kStrCliSendRefused);
  if (start == SendStart::Started) SetBusy(sender_.IsSending());
  return start;
}

bool CSmsWriteDlg::Save() {
  return sender_.Save(ToAnsi(recipients_->text()), ToAnsi(text_->toPlainText()), ToAnsi(centre_->text()));
}

void CSmsWriteDlg::SetBusy(bool busy) {
  send_->setEnabled(!busy);
  save_->setEnabled(!busy);
  contacts_->setEnabled(!busy);
  close_->setEnabled(!busy);
  recipients_->setReadOnly(busy);
  text_->setReadOnly(busy);
  centre_->setReadOnly(busy);
}

void CSmsWriteDlg::OpenProgress(int range) {
  CloseProgress();
  progress_ = new CBaseDlg(this);
  progress_->setObjectName("CSmsProgressDlg");
  progress_->setWindowTitle(Str(kStrSendingTitle));
  progress_->setWindowModality(Qt::WindowModal);
  progress_->ModifyStyle(kStyleSysMenu | kStyleThickFrame, 0);
  progress_->setMinimumWidth(kWindowWidth - 60);
  auto* layout = new QVBoxLayout(progress_);
  progressText_ = PlainLabel(Str(kStrSendingTitle), progress_);
  progressText_->setObjectName("progressText");
  progressBar_ = new QProgressBar(progress_);
  progressBar_->setObjectName("progressBar");
  progressBar_->setRange(0, range);
  progressBar_->setValue(0);
  layout->addWidget(progressText_);
  layout->addWidget(progressBar_);
  progress_->show();
}

void CSmsWriteDlg::StepProgress(const std::string& number, int position, int count) {
  if (!progress_) return;
  // "%s\"%s\", (%d/%d)": string 326, the number, the position and the count.
  progressText_->setText(QStringLiteral("%1\"%2\", (%3/%4)")
                             .arg(Str(kStrSendingTo), FromAnsi(number))
                             .arg(position)
                             .arg(count));
  progressBar_->setValue(position);
}

void CSmsWriteDlg::CloseProgress() {
  if (!progress_) return;
  progress_->hide();
  progress_->deleteLater();
  progress_ = nullptr;
  progressText_ = nullptr;
  progressBar_ = nullptr;
}

void CSmsWriteDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message == kMsgSmsAnswer) return sender_.OnMessage(message, wParam, lParam);
  CBaseDlg::OnMessage(message, wParam, lParam);
}

void CSmsWriteDlg::OnTimer(TimerId timerId) {
  sender_.OnTimer(timerId);
  CBaseDlg::OnTimer(timerId);
}

// The window stays while its message is being sent: the send ends by itself
// (sent, refused or timed out) and says so here.
void CSmsWriteDlg::closeEvent(QCloseEvent* event) {
  if (sender_.IsSending()) {
    event->ignore();
    Beep();
    return;
  }
  CBaseDlg::closeEvent(event);
}

void CSmsWriteDlg::reject() {
  if (sender_.IsSending()) return Beep();
  CBaseDlg::reject();
}

}  // namespace evdo
