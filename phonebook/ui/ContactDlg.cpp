#include "phonebook/ui/ContactDlg.h"

#include <QApplication>
#include <QDialogButtonBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include "ui/text/QtText.h"
#include "core/time/DateTime.h"
#include "phonebook/ContactPicture.h"
#include "phonebook/ContactRules.h"
#include "phonebook/PhonebookMessages.h"
#include "phonebook/ui/PhonebookUi.h"

namespace evdo {
namespace {

constexpr int kPictureSize = 96;
// Characters typed into each field at most.
constexpr std::array<int, kContactColumnCount> kMaxChars = {32, 40, 40, 40, 32, 128};
constexpr std::array<StringId, kContactColumnCount> kLabels = {kStrColumnName, kStrPbMobile,   kStrColumnHome,
                                                               kStrColumnOffice, kStrColumnEmail, kStrColumnRemark};

bool IsNumberField(ContactField f) {
  return f == ContactField::Mobile || f == ContactField::Home || f == ContactField::Company;
}

}  // namespace

CContactDlg::CContactDlg(Mode mode, const ContactRecord& initial, WindowHandler* owner, QWidget* parent)
    : CBaseDlg(parent), mode_(mode), initial_(initial), owner_(owner), picture_label_(new QLabel(this)) {
  setObjectName("CContactDlg");
  setWindowTitle(Str(kStrPbEditorTitle));
  auto* layout = new QHBoxLayout(this);
  auto* form = new QFormLayout;
  for (int f = 0; f < kContactColumnCount; ++f) {
    auto field = static_cast<ContactField>(f);
    auto* edit = new QLineEdit(this);
    edit->setObjectName(QString::fromLatin1(FieldName(field).data(), static_cast<int>(FieldName(field).size())));
    edit->setMaxLength(kMaxChars[static_cast<std::size_t>(f)]);
    edit->setText(FromAnsi(FieldValue(initial, field)));
    if (IsNumberField(field))
      edit->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9*#+]*"), edit));
    edits_[static_cast<std::size_t>(f)] = edit;
    previous_[static_cast<std::size_t>(f)] = edit->text();
    connect(edit, &QLineEdit::textEdited, this, [this, field](const QString& text) { OnEdited(field, text); });
    form->addRow(Str(kLabels[static_cast<std::size_t>(f)]), edit);
  }
  auto* left = new QVBoxLayout;
  left->addLayout(form);
  auto* buttons = new QDialogButtonBox(this);
  buttons->addButton(Str(kStrOk), QDialogButtonBox::AcceptRole)->setObjectName("ok");
  buttons->addButton(Str(kStrCancel), QDialogButtonBox::RejectRole);
  connect(buttons, &QDialogButtonBox::accepted, this, &CContactDlg::OnOk);
  connect(buttons, &QDialogButtonBox::rejected, this, [this] {
    if (owner_ != nullptr) owner_->OnMessage(kMsgEditorEnded, 1, 0);
    reject();
  });
  left->addWidget(buttons);
  layout->addLayout(left, 1);

  auto* right = new QVBoxLayout;
  picture_label_->setObjectName("picture");
  picture_label_->setFixedSize(kPictureSize, kPictureSize);
  picture_label_->setFrameShape(QFrame::Box);
  picture_label_->setAlignment(Qt::AlignCenter);
  right->addWidget(new QLabel(Str(kStrPbPicture), this));
  right->addWidget(picture_label_);
  auto* choose = new QPushButton(Str(kStrPbChoosePicture), this);
  choose->setObjectName("choosePicture");
  auto* remove = new QPushButton(Str(kStrPbRemovePicture), this);
  remove->setObjectName("removePicture");
  connect(choose, &QPushButton::clicked, this, [this] {
    QFileDialog dialog(this, Str(kStrPbPictureDialogTitle), QDir::currentPath(), Str(kStrPbPictureFilter));
    dialog.setFileMode(QFileDialog::ExistingFile);
    if (dialog.exec() == QDialog::Accepted && !dialog.selectedFiles().isEmpty())
      ChoosePicture(QFile::encodeName(dialog.selectedFiles().front()).toStdString());
  });
  connect(remove, &QPushButton::clicked, this, &CContactDlg::RemovePicture);
  right->addWidget(choose);
  right->addWidget(remove);
  right->addStretch(1);
  layout->addLayout(right);

  picture_ = std::string(FieldValue(initial, ContactField::Picture));
  ShowPicture(true);
  resize(480, 280);
}

void CContactDlg::OnEdited(ContactField field, const QString& text) {
  QLineEdit* edit = Edit(field);
  const std::size_t f = static_cast<std::size_t>(field);
  if (IsNumberField(field)) {
    // A '+' typed after the first position is refused; the caret goes back
    // to where it was typed.
    const std::string before = ToAnsi(previous_[f]), now = ToAnsi(text);
    if (auto restored = ContactRules::RefuseTypedPlus(before, now, static_cast<std::size_t>(edit->cursorPosition()))) {
      QApplication::beep();
      edit->setText(FromAnsi(restored->text));
      edit->setCursorPosition(static_cast<int>(restored->caret));
      return;
    }
  }
  if (!ContactRules::FitsEditor(field, ToAnsi(text))) {
    QApplication::beep();
    const int caret = std::max(0, edit->cursorPosition() - 1);
    edit->setText(previous_[f]);
    edit->setCursorPosition(std::min(caret, static_cast<int>(previous_[f].size())));
    return;
  }
  previous_[f] = text;
}

void CContactDlg::ShowPicture(bool reportFailure) {
  QPixmap picture;
  if (picture_.empty() || !picture.load(QFile::decodeName(picture_.c_str()))) {
    if (!picture.load(QString::fromLatin1(kDefaultPicture))) {
      picture_label_->setPixmap({});
      picture_label_->setText("?");
      if (reportFailure && !picture_.empty()) ShowPbMessage(this, pbmsg::kPictureFailed);
      return;
    }
  }
  picture_label_->setPixmap(picture.scaled(kPictureSize, kPictureSize, Qt::KeepAspectRatio, Qt::SmoothTransformation));
}

void CContactDlg::ChoosePicture(const std::string& path) {
  QPixmap test;
  if (!test.load(QFile::decodeName(path.c_str()))) {
    ShowPbMessage(this, pbmsg::kPictureFailed);
    return;
  }
  picture_ = path;
  pictureChosen_ = true;
  ShowPicture(false);
}

void CContactDlg::RemovePicture() {
  picture_.clear();
  pictureChosen_ = true;
  ShowPicture(false);
}

void CContactDlg::OnOk() {
  ContactForm form;
  form.name = ToAnsi(Edit(ContactField::Name)->text());
  form.mobile = ToAnsi(Edit(ContactField::Mobile)->text());
  form.home = ToAnsi(Edit(ContactField::Home)->text());
  form.company = ToAnsi(Edit(ContactField::Company)->text());
  form.email = ToAnsi(Edit(ContactField::Email)->text());
  form.remark = ToAnsi(Edit(ContactField::Remark)->text());
  bool confirmed = false;
  for (;;) {
    EditorVerdict verdict = ContactRules::CheckForOk(form, confirmed);
    if (verdict.step == EditorStep::StayOpen) return;
    if (verdict.step == EditorStep::Message) return ShowPbMessage(this, verdict.message);
    if (verdict.step == EditorStep::Question) {
      if (!AskPb(this, verdict.message, false)) return;
      confirmed = true;
      continue;
    }
    break;
  }
  // The picture: a newly chosen one is copied into the picture folder; the
  // contact's previous copy goes once the new one is in place.
  const std::string previous(FieldValue(initial_, ContactField::Picture));
  std::string picture = previous;
  if (pictureChosen_) {
    if (picture_.empty()) {
      picture.clear();
    } else {
      PictureCopy copy = ContactPicture::TakeChoice(picture_, mode_ == kEditContact ? previous : std::string(),
                                                    kPictureFolder, DateTime::Now());
      if (copy.message != 0) return ShowPbMessage(this, copy.message, QString::fromStdString(copy.error));
      picture = QFile::encodeName(QFileInfo(QFile::decodeName(copy.path.c_str())).absoluteFilePath()).toStdString();
    }
  }
  result_ = ContactRules::BuildRecord(form, picture);
  if (mode_ != kEditContact && owner_ != nullptr) {
    if (mode_ == kFromNumber) owner_->OnMessage(kMsgEditorEnded, 0, 0);
    owner_->OnMessage(kMsgPhonebookSync, static_cast<WParam>(mode_), reinterpret_cast<LParam>(&result_));
  }
  accept();
}

}  // namespace evdo
