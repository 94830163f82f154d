#pragma once
// The message settings page of the settings window (CDlgSetupMessages): the
// message centre number, the validity period and the delivery report of
// sent messages, and where new messages are kept (the modem's memory, the
// card, or the computer). Apply hands the choices to the CSmsSettings
// exchange; the button stays off while the modem is asked.
#include <functional>
#include <memory>

#include "device/CommandExchange.h"
#include "sms/SmsChannel.h"
#include "sms/SmsSettings.h"
#include "ui/skin/CBasePage.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;

namespace evdo::sms {

struct SettingsPageServices {
  CCommandExchange* exchange = nullptr;
  CSmsLinkLock* link = nullptr;
};

// The hooks that keep the choices in the application: the service centre
// text of the device status, CSetupData with the configuration saved at once.
SettingsHooks ApplicationSettingsHooks();

class CDlgSetupMessages : public CBasePage {
  Q_OBJECT

public:
  explicit CDlgSetupMessages(SettingsPageServices services, QWidget* parent = nullptr);
  ~CDlgSetupMessages() override;

  QLineEdit* ServiceCentre() const { return centre_; }
  QComboBox* Validity() const { return validity_; }
  QCheckBox* DeliveryReport() const { return report_; }
  QComboBox* PreferredStorage() const { return storage_; }
  QPushButton* ApplyButton() const { return apply_; }
  CSmsSettings& Exchange() { return *settings_; }
  // Shows the settings as the application holds them.
  void Load();
  void Apply();

  // Tests replace the application's hooks (the page then keeps the view's).
  void SetHooks(SettingsHooks hooks);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

protected:
  void showEvent(QShowEvent* event) override;

private:
  SettingsHooks WithView(SettingsHooks hooks);

  SettingsPageServices services_;
  SettingsHooks hooks_;
  std::unique_ptr<CSmsSettings> settings_;
  QLineEdit* centre_;
  QComboBox* validity_;
  QCheckBox* report_;
  QComboBox* storage_;
  QPushButton* apply_;
};

}  // namespace evdo::sms
