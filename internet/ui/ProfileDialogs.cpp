#include "internet/ui/ProfileDialogs.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QRadioButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <cstdio>
#include <cstring>

#include "ui/text/QtText.h"
#include "core/text/CodePage.h"
#include "ui/LanguageStrings.h"
#include "wlan/ProvinceTable.h"

namespace evdo {
namespace {

QDialogButtonBox* OkCancel(QDialog* dialog) {
  auto* buttons = new QDialogButtonBox(dialog);
  buttons->addButton(Str(kStrInetOk), QDialogButtonBox::AcceptRole);
  buttons->addButton(Str(kStrInetCancel), QDialogButtonBox::RejectRole);
  QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
  return buttons;
}

// Copies text into a fixed field, cut to fit without splitting a character.
template <std::size_t N>
void CopyBounded(char (&field)[N], const std::string& text) {
  std::string cut(CutToBytes(text, N - 1));
  std::memset(field, 0, N);
  std::memcpy(field, cut.data(), cut.size());
}

}  // namespace

ProfileFieldsWidget::ProfileFieldsWidget(bool withName, QWidget* parent)
    : QWidget(parent),
      phone(new QLineEdit(this)),
      user(new QLineEdit(this)),
      password(new QLineEdit(this)),
      apn(new QLineEdit(this)),
      isDefault(new QCheckBox(Str(kStrInetDefault), this)),
      auth(new QButtonGroup(this)) {
  auto* form = new QFormLayout(this);
  form->setContentsMargins(0, 0, 0, 0);
  if (withName) {
    name = new QLineEdit(this);
    name->setObjectName("name");
    form->addRow(Str(kStrInetName), name);
  }
  phone->setObjectName("phone");
  // Dial characters only.
  phone->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9#*+,pPwWtT]*"), phone));
  user->setObjectName("user");
  password->setObjectName("password");
  password->setEchoMode(QLineEdit::Password);
  apn->setObjectName("apn");
  isDefault->setObjectName("default");
  form->addRow(Str(kStrInetPhone), phone);
  form->addRow(Str(kStrInetUser), user);
  form->addRow(Str(kStrInetPassword), password);
  form->addRow(Str(kStrInetApn), apn);
  auto* authRow = new QHBoxLayout;
  const std::pair<const char*, int> kinds[] = {{"CHAP", kAuthChap}, {"PAP", kAuthPap}, {nullptr, 2}};
  for (auto [text, id] : kinds) {
    auto* radio = new QRadioButton(text ? QString::fromLatin1(text) : Str(kStrInetAuthNone), this);
    radio->setObjectName(QStringLiteral("auth%1").arg(id));
    auth->addButton(radio, id);
    authRow->addWidget(radio);
  }
  authRow->addStretch();
  form->addRow(Str(kStrInetAuth), authRow);
  form->addRow(QString(), isDefault);
  Clear();
}

ProfileFields ProfileFieldsWidget::Fields() const {
  ProfileFields f;
  if (name) f.name = ToAnsi(name->text());
  f.phoneNumber = ToAnsi(phone->text());
  f.userName = ToAnsi(user->text());
  f.password = ToAnsi(password->text());
  f.apn = ToAnsi(apn->text());
  f.isDefault = isDefault->isChecked();
  f.authType = auth->checkedId() < 0 ? kAuthChap : auth->checkedId();
  return f;
}

void ProfileFieldsWidget::Show(const ProfileFields& f) {
  if (name) name->setText(FromAnsi(f.name));
  phone->setText(FromAnsi(f.phoneNumber));
  user->setText(FromAnsi(f.userName));
  password->setText(FromAnsi(f.password));
  apn->setText(FromAnsi(f.apn));
  isDefault->setChecked(f.isDefault);
  QAbstractButton* b = auth->button(f.authType == kAuthChap || f.authType == kAuthPap ? f.authType : 2);
  if (b) b->setChecked(true);
}

void ProfileFieldsWidget::Clear() { Show(ProfileFields{}); }

void ShowRefusal(QWidget* parent, int stringId) {
  QString text = Str(stringId);
  if (stringId == kMsgProfilesFull) {
    char buffer[512];
    std::snprintf(buffer, sizeof buffer, LoadString(stringId).c_str(), int{kMaxConnProfiles});
    text = FromAnsi(buffer);
  }
  QMessageBox box(QMessageBox::Information, Str(kStrAppTitle), text, QMessageBox::Ok, parent);
  box.setTextFormat(Qt::PlainText);
  box.exec();
}

CDlgInternetNewConn::CDlgInternetNewConn(const CConnProfile& store, const CSetupData& setup, QWidget* parent)
    : CBaseDlg(parent), store_(store), fields_(new ProfileFieldsWidget(true, this)) {
  setObjectName("CDlgInternetNewConn");
  setWindowTitle(Str(kStrInetNewConnTitle));
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(fields_);
  layout->addWidget(OkCancel(this));
  ProfileFields initial;
  initial.phoneNumber = setup.Internet_szLocalPhoneNumber;
  initial.apn = std::string(CutToBytes(setup.Internet_szAPN, kProfileApnMax));
  fields_->Show(initial);
  fields_->name->setFocus();
  setMinimumWidth(360);
}

void CDlgInternetNewConn::accept() {
  if (int refusal = CheckNewProfile(fields_->Fields(), store_); refusal != kProfileOk) {
    ShowRefusal(this, refusal);
    return;
  }
  CBaseDlg::accept();
}

CDlgInternetSetConn::CDlgInternetSetConn(CConnProfile& store, const CSetupData& setup, int selected,
                                         QWidget* parent)
    : CBaseDlg(parent),
      store_(store),
      setup_(setup),
      list_(new QListWidget(this)),
      fields_(new ProfileFieldsWidget(false, this)),
      delete_(new QPushButton(Str(kStrInetDelete), this)) {
  setObjectName("CDlgInternetSetConn");
  setWindowTitle(Str(kStrInetManagerTitle));
  list_->setObjectName("profiles");
  auto* layout = new QVBoxLayout(this);
  auto* row = new QHBoxLayout;
  row->addWidget(list_, 1);
  row->addWidget(fields_, 2);
  layout->addLayout(row);
  auto* buttons = new QHBoxLayout;
  auto* add = new QPushButton(Str(kStrInetNew), this);
  add->setObjectName("new");
  delete_->setObjectName("delete");
  buttons->addWidget(add);
  buttons->addWidget(delete_);
  buttons->addStretch();
  buttons->addWidget(OkCancel(this));
  layout->addLayout(buttons);
  connect(add, &QPushButton::clicked, this, &CDlgInternetSetConn::New);
  connect(delete_, &QPushButton::clicked, this, &CDlgInternetSetConn::Delete);
  connect(list_, &QListWidget::currentRowChanged, this, [this] { ShowSelected(); });

  AddDefaultProfileIfEmpty(store_, setup_);
  Fill(selected >= 0 ? selected : InitialSelection(store_));
}

void CDlgInternetSetConn::Fill(int select) {
  QSignalBlocker block(list_);
  list_->clear();
  for (int i = 0; i < store_.Count(); ++i) {
    ConnProfileRecord r{};
    store_.Get(i, r);
    list_->addItem(FromAnsi(r.name));
  }
  if (select < 0 || select >= store_.Count()) select = 0;
  if (store_.Count() > 0) list_->setCurrentRow(select);
  // The fields and delete are usable only while there is a profile.
  const bool any = !store_.IsEmpty();
  fields_->setEnabled(any);
  delete_->setEnabled(any);
  ShowSelected();
}

int CDlgInternetSetConn::Selected() const { return list_->currentRow(); }

void CDlgInternetSetConn::ShowSelected() {
  ConnProfileRecord r{};
  if (store_.Get(Selected(), r))
    fields_->Show(FieldsOf(r));
  else
    fields_->Clear();
}

void CDlgInternetSetConn::New() {
  if (int refusal = CheckNewAllowed(store_); refusal != kProfileOk) return ShowRefusal(this, refusal);
  CDlgInternetNewConn dialog(store_, setup_, this);
  if (dialog.exec() != QDialog::Accepted) return;
  ChangeResult added = store_.Add(RecordFromNewProfile(dialog.Fields()));
  if (!added) QMessageBox::warning(this, windowTitle(), QString::fromStdString(added.Error()));
  Fill(store_.Count() - 1);
}

void CDlgInternetSetConn::Delete() {
  if (Selected() < 0 || Selected() >= store_.Count()) return;
  if (QMessageBox::question(this, windowTitle(), Str(kMsgDeleteProfileQuestion), QMessageBox::Yes | QMessageBox::No,
                            QMessageBox::No) != QMessageBox::Yes)
    return;
  ChangeResult deleted = store_.Delete(Selected());
  if (!deleted) QMessageBox::warning(this, windowTitle(), QString::fromStdString(deleted.Error()));
  Fill(0);
}

void CDlgInternetSetConn::accept() {
  ConnProfileRecord r{};
  if (store_.Get(Selected(), r)) {
    const ProfileFields f = fields_->Fields();
    if (int refusal = CheckManagerFields(f); refusal != kProfileOk) return ShowRefusal(this, refusal);
    ApplyManagerFields(r, f);
    ChangeResult saved = store_.Set(Selected(), r);
    if (!saved) QMessageBox::warning(this, windowTitle(), QString::fromStdString(saved.Error()));
  }
  CBaseDlg::accept();
}

CStartSettingDlg::CStartSettingDlg(std::int32_t connectAtStart, QWidget* parent)
    : CBaseDlg(parent), check_(new QCheckBox(Str(kStrInetConnectAtStart), this)) {
  setObjectName("CStartSettingDlg");
  setWindowTitle(Str(kStrInetStartSettings).remove("..."));
  check_->setObjectName("connectAtStart");
  auto* layout = new QVBoxLayout(this);
  layout->addWidget(check_);
  layout->addWidget(OkCancel(this));
  check_->setChecked(connectAtStart != 0);
  setMinimumWidth(340);
}

std::int32_t CStartSettingDlg::ConnectAtStart() const { return check_->isChecked() ? 1 : 0; }

CAutolinkCol::CAutolinkCol(const std::int32_t order[3], QWidget* parent) : CBaseDlg(parent) {
  setObjectName("CAutolinkCol");
  setWindowTitle(Str(kStrInetAutoOrder).remove("..."));
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  for (int i = 0; i < 3; ++i) {
    types_[i] = new QComboBox(this);
    types_[i]->setObjectName(QStringLiteral("type%1").arg(i));
    types_[i]->addItem(Str(kStrInetTypeWlan), kAutoLinkWlan);
    types_[i]->addItem(Str(kStrInetType3G), kAutoLink3G);
    types_[i]->addItem(Str(kStrInetType1X), kAutoLink1X);
    const std::int32_t t = order[i] >= 0 && order[i] <= 2 ? order[i] : i;
    types_[i]->setCurrentIndex(t);
    char label[128];
    std::snprintf(label, sizeof label, LoadString(kStrInetOrderN).c_str(), i + 1);
    form->addRow(FromAnsi(label), types_[i]);
  }
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
  setMinimumWidth(340);
}

void CAutolinkCol::Order(std::int32_t out[3]) const {
  for (int i = 0; i < 3; ++i) out[i] = types_[i]->currentData().toInt();
}

CWlanSettingDlg::CWlanSettingDlg(const ConnSetData& data, QWidget* parent)
    : CBaseDlg(parent),
      text1_(new QLineEdit(this)),
      text2_(new QLineEdit(this)),
      keep_(new QCheckBox(Str(kStrInetWlanKeep), this)),
      province_(new QComboBox(this)) {
  setObjectName("CWlanSettingDlg");
  setWindowTitle(Str(kStrInetWlanSettings).remove("..."));
  text1_->setObjectName("text1");
  text2_->setObjectName("text2");
  keep_->setObjectName("keep");
  province_->setObjectName("province");
  text1_->setMaxLength(static_cast<int>(kWlanTextField - 1));
  text2_->setMaxLength(static_cast<int>(kWlanTextField - 1));
  text2_->setEchoMode(QLineEdit::Password);
  auto* layout = new QVBoxLayout(this);
  auto* form = new QFormLayout;
  form->addRow(Str(kStrInetWlanText1), text1_);
  form->addRow(Str(kStrInetWlanText2), text2_);
  form->addRow(QString(), keep_);
  form->addRow(Str(kStrInetProvince), province_);
  layout->addLayout(form);
  layout->addWidget(OkCancel(this));
  for (const char* name : kProvincesUtf8) province_->addItem(QString::fromUtf8(name));
  setMinimumWidth(360);
  text1_->setText(FromAnsi(std::string(data.wlanText1, strnlen(data.wlanText1, sizeof data.wlanText1))));
  if (data.keepWlanText2 != 0)
    text2_->setText(FromAnsi(std::string(data.wlanText2, strnlen(data.wlanText2, sizeof data.wlanText2))));
  keep_->setChecked(data.keepWlanText2 != 0);
  province_->setCurrentIndex(static_cast<int>(
      evdo::ProvinceIndex(std::string_view(data.province, strnlen(data.province, sizeof data.province)))));
}

int CWlanSettingDlg::ProvinceIndex() const { return province_->currentIndex(); }

void CWlanSettingDlg::Apply(ConnSetData& data) const {
  CopyBounded(data.wlanText1, ToAnsi(text1_->text()));
  data.keepWlanText2 = keep_->isChecked() ? 1 : 0;
  CopyBounded(data.wlanText2, data.keepWlanText2 ? ToAnsi(text2_->text()) : std::string());
  CopyBounded(data.province, ProvinceAnsi(static_cast<std::size_t>(ProvinceIndex())));
}

}  // namespace evdo
