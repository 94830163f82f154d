#pragma once
// The general page's radio switch without its window: "AT+CFUN=1" (radio on,
// button 1086) and "AT+CFUN=4" (off, button 1087), guarded by timer 28. The
// answer "OK" posts WM_USER+30 to the page, which flips the state, saves
// Setup_nPowerManagement and sets the buttons; a refusal shows message 215
// and a time-out gives up (command slot emptied, port Ready, message 171).
// Either way the buttons come back as they were.
#include <functional>

#include "core/settings/SetupData.h"
#include "security/ReplyExchange.h"
#include "ui/StringIds.h"

namespace evdo {

struct RadioView {
  // Which radio buttons are enabled.
  std::function<void(bool onEnabled, bool offEnabled)> enableRadio;
  // The four PIN buttons of the page.
  std::function<void(bool enabled)> enablePinButtons;
  std::function<void(StringId message)> showMessage;
  // Wait cursor while a command is outstanding; also tells the state.
  std::function<void(bool busy)> setBusy;
  // Writes the settings file; false when it could not be written.
  std::function<bool()> saveSettings;
};

class CRadioSwitch : public WindowHandler {
public:
  CRadioSwitch(CCommandExchange& exchange, WindowPort& self, RadioView view, CSetupData& setup);

  // The page opens (the settings file has just been read again).
  void Open();
  void Switch(bool on);
  bool IsOn() const { return on_; }
  bool IsBusy() const { return exchange_.IsOutstanding(); }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override { exchange_.OnTimer(timerId); }

private:
  void ShowState();
  void Busy(bool busy);

  CReplyExchange exchange_;
  WindowPort& self_;
  RadioView view_;
  CSetupData& setup_;
  bool on_ = true;
  bool requested_ = true;
};

}  // namespace evdo
