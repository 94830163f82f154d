#pragma once
// The message settings page's exchange: the service centre (a '+' put in
// front, taken at once), the validity period and the delivery report
// (Messages_ValPeriod, Messages_DeliReport, saved at once), and the storage
// of new messages: "AT+CPMS" with "ME" or "SM" then "AT$QCNMI=2,1" (stored
// and announced with "+CMTI: "), or for the computer "AT$QCNMI=1,2"
// (delivered directly with "+CMT: "). Messages_PreStor is saved only when
// the modem confirmed the last command. A state machine on the page's
// thread: nothing waits for the modem.
#include <functional>
#include <string>
#include <string_view>

#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"
#include "sms/SmsChannel.h"

namespace evdo::sms {

// The entries of the preferred-storage list.
enum PreferredStorage : int { kPreferMe = 0, kPreferSm = 1, kPreferPc = 2 };
inline constexpr int kPreferredStorageCount = 3;
inline constexpr int kValidityChoiceCount = 6;

// Completion steps of the settings exchange.
enum SettingsStep : int { kStepPreferredStorage = 1, kStepRouting = 2 };

// The preferred-storage command for "ME" or "SM", and the routing command
// (mode 2, mt 1 for a device storage; mode 1, mt 2 for the computer).
std::string PreferredStorageLine(int storage);
std::string RoutingLine(int storage);
// The service centre as the page takes it: a '+' put in front when the
// field holds none; an empty field stays empty.
std::string NormalizeServiceCentre(std::string_view field);

struct SettingsChoice {
  std::string serviceCentre;  // the field as typed
  int validity = 2;           // 0..5
  bool deliveryReport = false;
  int storage = kPreferMe;    // PreferredStorage
};

struct SettingsHooks {
  // The application's service centre.
  std::function<std::string()> serviceCentre;
  std::function<void(const std::string&)> setServiceCentre;
  // Messages_ValPeriod and Messages_DeliReport set and the configuration
  // saved; false when it could not be saved.
  std::function<bool(int validity, bool deliveryReport)> saveChoices;
  // Messages_PreStor set and the configuration saved.
  std::function<bool(int storage)> saveStorage;
  std::function<void(int stringId, const std::string& detail)> showMessage;
  std::function<void(bool enabled)> enableApply;
};

enum class SettingsApply { Started, Saved, BadServiceCentre, Busy, NotWritten };

class CSmsSettings : public WindowHandler {
public:
  CSmsSettings(CCommandExchange& exchange, CSmsLinkLock& link, WindowPort& self, SettingsHooks hooks);
  ~CSmsSettings() override;
  CSmsSettings(const CSmsSettings&) = delete;
  CSmsSettings& operator=(const CSmsSettings&) = delete;

  // The apply button. Started: the storage exchange runs (the button stays
  // off until it ends). Saved: nothing needed the modem. BadServiceCentre:
  // nothing was taken (message 3301 with the number).
  SettingsApply Apply(const SettingsChoice& choice);
  bool IsRunning() const { return state_ != State::Idle; }
  void Abort();

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  enum class State { Idle, WaitingForLink, Storage, Routing };

  void Begin();
  void SendRouting();
  void Done(bool confirmed, bool timedOut);
  void Show(int id, const std::string& detail = {});

  CSmsLinkLock& link_;
  SettingsHooks hooks_;
  CSmsChannel channel_;
  State state_ = State::Idle;
  int storage_ = kPreferMe;
};

}  // namespace evdo::sms
