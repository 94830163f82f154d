#include "app/MessagesPage.h"

#include "app/MainWindowPages.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "ui/text/QtText.h"
#include "app/StatusIndicators.h"
#include "device/SerialPort.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsDlg.h"
#include "ui/StringIds.h"

namespace evdo {

void UpdateMessageIndicators(CModaraApp& app, CModaraDlg& window) {
  const CSmsData* sms = app.Sms();
  if (sms == nullptr) return;
  window.Port().PostMessage(kMsgStatus, kIndicatorUnread, sms->CountUnread() != 0 ? 1 : 0);
  window.Port().PostMessage(kMsgStatus, kIndicatorInboxFull, sms->IsFull(Inbox) ? 1 : 0);
}

void RegisterMessagesPage(CModaraApp& app) {
  MainWindowPages::Register(
      PageKind::Messages, [&app](CModaraDlg& main, QString& title) -> CBasePage* {
        if (app.Sms() == nullptr) return nullptr;
        title = Str(kStrTabMessages);
        MessagesPageServices s;
        s.sms = app.Sms();
        s.phonebook = app.Phonebook();
        CModaraDlg* window = &main;
        CModaraApp* application = &app;
        s.portReady = [application] { return application->Port().CheckReady(); };
        // The main window hands the number to the call page, as a later copy's
        // "dial" does.
        s.dial = [window](const std::string& number) { window->DialNumber(FromAnsi(number)); };
        s.indicatorsChanged = [application, window] {
          UpdateMessageIndicators(*application, *window);
        };
        UpdateMessageIndicators(app, main);
        return new CSmsDlg(std::move(s), &main);
      });
}

}  // namespace evdo
