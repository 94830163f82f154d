#include "sms/ui/SmsSettingsPage.h"

#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRegularExpressionValidator>
#include <QVBoxLayout>

#include <algorithm>

#include "core/settings/SetupData.h"
#include "device/status/DeviceStatus.h"
#include "sms/SmsCommands.h"
#include "sms/ui/SmsUiText.h"
#include "ui/text/QtText.h"

namespace evdo::sms {

namespace {

constexpr StringId kValidityTexts[kValidityChoiceCount] = {kStrValidity1Hour, kStrValidity6Hours, kStrValidity1Day,
                                                           kStrValidity3Days, kStrValidity1Week, kStrValidityMax};
// The list's entries: 0 "ME", 1 "SM", 2 the computer.
constexpr StringId kStorageTexts[kPreferredStorageCount] = {kStrStorageMe, kStrStorageSm, kStrStoragePc};

}  // namespace

SettingsHooks ApplicationSettingsHooks() {
  SettingsHooks hooks;
  hooks.serviceCentre = [] { return ServiceCentreText(); };
  hooks.setServiceCentre = [](const std::string& centre) { SetServiceCentreText(centre); };
  hooks.saveChoices = [](int validity, bool report) {
    CSetupData& data = CSetupData::Instance();
    data.Messages_ValPeriod = validity;
    data.Messages_DeliReport = report ? 1 : 0;
    return static_cast<bool>(SaveSettings());
  };
  hooks.saveStorage = [](int storage) {
    CSetupData::Instance().Messages_PreStor = storage;
    return static_cast<bool>(SaveSettings());
  };
  return hooks;
}

CDlgSetupMessages::CDlgSetupMessages(SettingsPageServices services, QWidget* parent)
    : CBasePage(parent),
      services_(services),
      centre_(new QLineEdit(this)),
      validity_(new QComboBox(this)),
      report_(new QCheckBox(Str(kStrDeliveryReportCheck), this)),
      storage_(new QComboBox(this)),
      apply_(new QPushButton(Str(kStrButtonApply), this)) {
  setObjectName("CDlgSetupMessages");
  centre_->setObjectName("serviceCentre");
  validity_->setObjectName("validity");
  report_->setObjectName("deliveryReport");
  storage_->setObjectName("preferredStorage");
  apply_->setObjectName("apply");
  // Dial characters only; the exchange checks again before it takes one.
  centre_->setMaxLength(static_cast<int>(kMaxNumberChars));
  centre_->setValidator(new QRegularExpressionValidator(QRegularExpression("[0-9+*#]*"), centre_));
  for (StringId id : kValidityTexts) validity_->addItem(Str(id));
  for (StringId id : kStorageTexts) storage_->addItem(Str(id));

  // The labels of both groups line up; the fields keep a number's width.
  QLabel* labels[3] = {new QLabel(Str(kStrServiceCentreLabel), this), new QLabel(Str(kStrValidityLabel), this),
                       new QLabel(Str(kStrPreferredStorageLabel), this)};
  int labelWidth = 0;
  for (QLabel* label : labels) labelWidth = std::max(labelWidth, label->sizeHint().width());
  for (QLabel* label : labels) label->setMinimumWidth(labelWidth);
  const int fieldWidth = centre_->fontMetrics().horizontalAdvance("+8613800100500000000000") + 24;
  for (QWidget* field : {static_cast<QWidget*>(centre_), static_cast<QWidget*>(validity_),
                         static_cast<QWidget*>(storage_)})
    field->setMaximumWidth(fieldWidth);

  auto* layout = new QVBoxLayout(this);
  auto* sending = new QGroupBox(Str(kStrGroupMessageSending), this);
  auto* sendingForm = new QFormLayout(sending);
  sendingForm->addRow(labels[0], centre_);
  sendingForm->addRow(labels[1], validity_);
  sendingForm->addRow(QString(), report_);
  layout->addWidget(sending);
  auto* receiving = new QGroupBox(Str(kStrGroupMessageStorage), this);
  auto* receivingForm = new QFormLayout(receiving);
  receivingForm->addRow(labels[2], storage_);
  layout->addWidget(receiving);
  auto* row = new QHBoxLayout();
  row->addStretch(1);
  row->addWidget(apply_);
  layout->addLayout(row);
  layout->addStretch(1);

  SetHooks(ApplicationSettingsHooks());
  connect(apply_, &QPushButton::clicked, this, &CDlgSetupMessages::Apply);
}

CDlgSetupMessages::~CDlgSetupMessages() {
  if (settings_) settings_->Abort();
}

SettingsHooks CDlgSetupMessages::WithView(SettingsHooks hooks) {
  hooks.showMessage = [this](int id, const std::string& detail) { ShowMessageBox(this, id, detail); };
  hooks.enableApply = [this](bool enabled) { apply_->setEnabled(enabled); };
  return hooks;
}

void CDlgSetupMessages::SetHooks(SettingsHooks hooks) {
  if (settings_) settings_->Abort();
  hooks_ = WithView(std::move(hooks));
  settings_ = std::make_unique<CSmsSettings>(*services_.exchange, *services_.link, Port(), hooks_);
}

void CDlgSetupMessages::Load() {
  const CSetupData& data = CSetupData::Instance();
  centre_->setText(FromAnsi(hooks_.serviceCentre ? hooks_.serviceCentre() : std::string()));
  int validity = data.Messages_ValPeriod;
  validity_->setCurrentIndex(validity >= 0 && validity < kValidityChoiceCount ? validity : 2);
  report_->setChecked(data.Messages_DeliReport == 1);
  int storage = data.Messages_PreStor;
  storage_->setCurrentIndex(storage >= 0 && storage < kPreferredStorageCount ? storage : kPreferMe);
}

void CDlgSetupMessages::Apply() {
  SettingsChoice choice;
  choice.serviceCentre = ToAnsi(centre_->text().trimmed());
  choice.validity = validity_->currentIndex();
  choice.deliveryReport = report_->isChecked();
  choice.storage = storage_->currentIndex();
  if (settings_->Apply(choice) != SettingsApply::BadServiceCentre)
    centre_->setText(FromAnsi(hooks_.serviceCentre ? hooks_.serviceCentre() : choice.serviceCentre));
}

void CDlgSetupMessages::showEvent(QShowEvent* event) {
  CBasePage::showEvent(event);
  if (!settings_->IsRunning()) Load();
}

void CDlgSetupMessages::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  settings_->OnMessage(message, wParam, lParam);
}

void CDlgSetupMessages::OnTimer(TimerId timerId) { settings_->OnTimer(timerId); }

}  // namespace evdo::sms
