#include "sms/ui/SmsReadDlg.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "core/text/CodePage.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsDlg.h"
#include "ui/LanguageStrings.h"
#include "ui/text/QtText.h"
#include "ui/StringIds.h"

namespace evdo {


namespace {

QLabel* ValueLabel(QWidget* parent, const char* name) {
  auto* label = new QLabel(parent);
  label->setObjectName(name);
  // Texts from the network are shown as they are, never as markup.
  label->setTextFormat(Qt::PlainText);
  label->setTextInteractionFlags(Qt::TextSelectableByMouse);
  return label;
}

}  // namespace

CSmsReadDlg::CSmsReadDlg(CSmsDlg& page, int box, int row, QWidget* parent)
    : CBaseDlg(parent), page_(page), box_(box), row_(row) {
  setObjectName("CSmsReadDlg");
  setWindowTitle(Str(kStrSmsReadTitle));
  auto* layout = new QVBoxLayout(this);
  auto* fields = new QFormLayout;
  name_ = ValueLabel(this, "name");
  number_ = ValueLabel(this, "number");
  time_ = ValueLabel(this, "time");
  fields->addRow(Str(kStrSmsFieldName), name_);
  fields->addRow(Str(kStrSmsFieldNumber), number_);
  fields->addRow(Str(kStrSmsFieldTime), time_);
  layout->addLayout(fields);
  content_ = new QPlainTextEdit(this);
  content_->setObjectName("content");
  content_->setReadOnly(true);
  content_->setTabChangesFocus(true);
  layout->addWidget(content_, 1);
  count_ = ValueLabel(this, "count");
  count_->setAlignment(Qt::AlignRight);
  layout->addWidget(count_);
  auto* buttons = new QHBoxLayout;
  previous_ = new QPushButton(Str(kStrSmsPrevious), this);
  previous_->setObjectName("previous");
  next_ = new QPushButton(Str(kStrSmsNext), this);
  next_->setObjectName("next");
  first_ = new QPushButton(this);
  first_->setObjectName("first");
  second_ = new QPushButton(this);
  second_->setObjectName("second");
  for (QPushButton* b : {previous_, next_}) buttons->addWidget(b);
  buttons->addStretch(1);
  for (QPushButton* b : {first_, second_}) buttons->addWidget(b);
  layout->addLayout(buttons);
  connect(previous_, &QPushButton::clicked, this, [this] { Move(SmsReadMove::Previous); });
  connect(next_, &QPushButton::clicked, this, [this] { Move(SmsReadMove::Next); });
  connect(first_, &QPushButton::clicked, this, [this] { FirstButton(); });
  connect(second_, &QPushButton::clicked, this, [this] { SecondButton(); });
  resize(460, 360);
  ShowRow(box, row);
}

void CSmsReadDlg::OnInitDialog() {
  CBaseDlg::OnInitDialog();
  ModifyStyle(0, kStyleSysMenu | kStyleThickFrame);
}

QPushButton* CSmsReadDlg::Button(const char* name) const { return findChild<QPushButton*>(name); }

void CSmsReadDlg::ShowRow(int box, int row) {
  std::optional<SmsRecord> r = page_.RecordAt(box, row);
  if (!r) return;
  box_ = box;
  row_ = row;
  // Shown now: an unread message becomes read.
  if (r->status == RecUnread) page_.MarkRead(box, row);
  name_->setText(page_.NameText(*r));
  number_->setText(page_.NumberText(*r));
  time_->setText(LocalText(r->Time()));
  const std::string content = SmsContentText(*r);
  content_->setPlainText(FromAnsi(content));
  count_->setText(QString("(%1)").arg(CountChars(r->Text())));
  const bool inbox = box == Inbox;
  first_->setText(Str(inbox ? kStrButtonReply : kStrSmsFirst));
  second_->setText(Str(inbox ? kStrButtonClose : kStrSmsLast));
  first_->setEnabled(!inbox || page_.CanWrite());
  page_.SelectRow(box, row);
  const int rows = page_.Order(box).Rows();
  previous_->setEnabled(SmsReadTarget(row, rows, SmsReadMove::Previous) >= 0);
  next_->setEnabled(SmsReadTarget(row, rows, SmsReadMove::Next) >= 0);
}

void CSmsReadDlg::Move(SmsReadMove move) {
  const int target = SmsReadTarget(row_, page_.Order(box_).Rows(), move);
  if (target >= 0) ShowRow(box_, target);
}

void CSmsReadDlg::FirstButton() {
  if (box_ != Inbox) return Move(SmsReadMove::First);
  std::optional<SmsRecord> r = page_.RecordAt(box_, row_);
  if (r) page_.OpenWrite(FromAnsi(r->Number()), QString());
}

void CSmsReadDlg::SecondButton() {
  if (box_ != Inbox) return Move(SmsReadMove::Last);
  close();
}

QString CSmsReadDlg::NameText() const { return name_->text(); }
QString CSmsReadDlg::NumberText() const { return number_->text(); }
QString CSmsReadDlg::TimeText() const { return time_->text(); }
QString CSmsReadDlg::ContentText() const { return content_->toPlainText(); }

void CSmsReadDlg::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message != kMsgShowSmsRecord) return CBaseDlg::OnMessage(message, wParam, lParam);
  ShowRow(static_cast<int>(wParam), static_cast<int>(lParam));
}

}  // namespace evdo
