#include "security/ui/PinDialogs.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QVBoxLayout>

#include "security/SecurityIds.h"
#include "security/ui/PinEdit.h"

namespace evdo {

namespace {

constexpr int kDialogWidth = 340;

QLabel* PlainLabel(const QString& text, QWidget* parent) {
  auto* label = new QLabel(text, parent);
  label->setTextFormat(Qt::PlainText);
  label->setWordWrap(true);
  return label;
}

}  // namespace

CPinDialog::CPinDialog(const SecurityContext& context, QWidget* parent)
    : CBaseDlg(parent),
      context_(context),
      exchange_(*context.exchange, Port()),
      card_(*context.pin, exchange_) {
  // Above the start-up picture, which stays on top.
  setWindowFlag(Qt::WindowStaysOnTopHint);
  setWindowModality(Qt::ApplicationModal);
  setMinimumWidth(kDialogWidth);
}

void CPinDialog::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message == kMsgReplyWake) return exchange_.OnMessage(message, wParam, lParam);
  CBaseDlg::OnMessage(message, wParam, lParam);
}

void CPinDialog::OnTimer(TimerId timerId) {
  exchange_.OnTimer(timerId);
  CBaseDlg::OnTimer(timerId);
}

void CPinDialog::showEvent(QShowEvent* event) {
  CBaseDlg::showEvent(event);
  raise();
  activateWindow();
  if (!started_) {
    started_ = true;
    Started();
  }
}

PinDialogView CPinDialog::View() {
  PinDialogView view;
  // The box outlives the window when the window closes after it.
  view.showMessage = [this](StringId id) {
    ShowSecurityMessage(parentWidget() != nullptr ? parentWidget() : this, id);
    if (id == kStrWrongPin || id == kStrWrongPuk) {
      // A wrong code is typed again from the start.
      const auto fields = findChildren<CPinEdit*>();
      for (CPinEdit* field : fields) field->clear();
      if (!fields.isEmpty()) fields.front()->setFocus();
    }
  };
  view.showAttempts = [this](std::uint16_t attempts, bool last) {
    QString count = attempts == kAttemptsUnset ? QStringLiteral("-") : QString::number(attempts);
    attempts_->setText(SecurityText(attemptsLabel_) + " " + count);
    warning_->setText(last ? SecurityText(lastAttemptText_) : QString());
    warning_->setVisible(last);
  };
  view.setBusy = [this](bool busy) {
    if (busy)
      setCursor(Qt::WaitCursor);
    else
      unsetCursor();
    ok_->setEnabled(!busy);
  };
  view.close = [this](bool accepted) {
    if (accepted)
      accept();
    else
      reject();
  };
  return view;
}

QWidget* CPinDialog::MakeButtons(StringId cancelText) {
  auto* row = new QWidget(this);
  auto* layout = new QHBoxLayout(row);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addStretch(1);
  ok_ = new QPushButton(SecurityText(kStrButtonOk), row);
  ok_->setObjectName("ok");
  ok_->setDefault(true);
  cancel_ = new QPushButton(SecurityText(cancelText), row);
  cancel_->setObjectName("cancel");
  layout->addWidget(ok_);
  layout->addWidget(cancel_);
  connect(cancel_, &QPushButton::clicked, this, &QDialog::reject);
  attempts_ = new QLabel(this);
  attempts_->setObjectName("attempts");
  warning_ = PlainLabel(QString(), this);
  warning_->setObjectName("lastAttempt");
  warning_->setStyleSheet("color: #b00020; font-weight: bold;");
  warning_->hide();
  return row;
}

CDlgSignIn::CDlgSignIn(const SecurityContext& context, bool atStartUp, QWidget* parent)
    : CPinDialog(context, parent), pin_(new CPinEdit(this)) {
  setObjectName("CDlgSignIn");
  setWindowTitle(SecurityText(kStrTitlePinEntry));
  pin_->setObjectName("pin");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(PlainLabel(SecurityText(kStrPinEntryPrompt), this));
  auto* form = new QFormLayout();
  form->addRow(SecurityText(kStrLabelPin), pin_);
  layout->addLayout(form);
  QWidget* buttons = MakeButtons(atStartUp ? kStrButtonWithoutCard : kStrButtonCancel);
  layout->addWidget(attempts_);
  layout->addWidget(warning_);
  layout->addWidget(buttons);
  logic_ = std::make_unique<CSignInLogic>(card_, View());
  connect(ok_, &QPushButton::clicked, this, [this] { logic_->Ok(pin_->Code()); });
  pin_->setFocus();
}

CPinClckDlg::CPinClckDlg(const SecurityContext& context, int mode, QWidget* parent)
    : CPinDialog(context, parent), pin_(new CPinEdit(this)) {
  setObjectName("CPinClckDlg");
  pin_->setObjectName("pin");
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(SecurityText(kStrLabelPin), pin_);
  layout->addLayout(form);
  QWidget* buttons = MakeButtons(kStrButtonCancel);
  layout->addWidget(attempts_);
  layout->addWidget(warning_);
  layout->addWidget(buttons);
  logic_ = std::make_unique<CPinLockLogic>(card_, View(), mode);
  setWindowTitle(SecurityText(logic_->Title()));
  connect(ok_, &QPushButton::clicked, this, [this] { logic_->Ok(pin_->Code()); });
  pin_->setFocus();
}

CModifyPinDlg::CModifyPinDlg(const SecurityContext& context, int mode, bool atStartUp,
                             QWidget* parent)
    : CPinDialog(context, parent),
      code_(new CPinEdit(this)),
      newPin_(new CPinEdit(this)),
      confirm_(new CPinEdit(this)) {
  setObjectName("CModifyPinDlg");
  code_->setObjectName("code");
  newPin_->setObjectName("newPin");
  confirm_->setObjectName("confirm");
  if (mode == 1) {
    attemptsLabel_ = kStrLabelPukAttempts;
    lastAttemptText_ = kStrLastPukAttempt;
  }
  logic_ = std::make_unique<CModifyPinLogic>(card_, PinDialogView{}, mode);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout();
  form->addRow(SecurityText(logic_->CodeLabel()), code_);
  form->addRow(SecurityText(kStrLabelNewPin), newPin_);
  form->addRow(SecurityText(kStrLabelConfirmPin), confirm_);
  layout->addLayout(form);
  QWidget* buttons = MakeButtons(atStartUp ? kStrButtonWithoutCard : kStrButtonCancel);
  layout->addWidget(attempts_);
  layout->addWidget(warning_);
  layout->addWidget(buttons);
  logic_ = std::make_unique<CModifyPinLogic>(card_, View(), mode);
  setWindowTitle(SecurityText(logic_->Title()));
  connect(ok_, &QPushButton::clicked, this,
          [this] { logic_->Ok(code_->Code(), newPin_->Code(), confirm_->Code()); });
  code_->setFocus();
}

}  // namespace evdo
