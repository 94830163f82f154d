#include "app/CallPage.h"

#include "app/MainWindowPages.h"
#include "app/MessageService.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "ui/text/QtText.h"
#include "app/StatusIndicators.h"
#include "calls/ui/CallDlg.h"
#include "phonebook/ui/PhoneBookDlg.h"
#include "core/settings/SetupData.h"
#include "ui/StringIds.h"

namespace evdo {

void RegisterCallPage(CModaraApp& app) {
  MainWindowPages::Register(PageKind::Calls, [&app](CModaraDlg& main, QString& title) -> CBasePage* {
    title = Str(kStrTabCalls);
    CallPageServices s;
    s.exchange = &app.Exchange();
    s.dispatcher = &app.Dispatcher();
    s.history = app.History();
    s.phonebook = app.Phonebook();
    s.notifier = app.Notifier();
    CModaraDlg* window = &main;
    s.identityText = [window] { return window->IdentityText(); };
    s.versionText = [window] { return window->VersionText(); };
    s.cardReady = [window] { return window->Status().Pin().IsReady(); };
    s.powerManagement = [] { return CSetupData::Instance().Setup_nPowerManagement; };
    s.clearIncomingFlag = [window] { window->IncomingCallFlag() = false; };
    s.callIndicator = [window](int value, int missed) { window->SetCallIndicator(value, missed); };
    s.showPage = [window] { window->ShowCallPage(); };
    s.writeMessage = [window](const std::string& number) {
      if (MessageService* messages = window->Messages()) messages->OpenWriteWindow(FromAnsi(number), {}, window);
    };
    s.saveToPhonebook = [window](const std::string& number, QWidget* over) {
      if (auto* phonebook = dynamic_cast<CPhoneBookDlg*>(window->Page(PageKind::Phonebook)))
        phonebook->NewContactFromNumber(number, over);
    };
    return new CCallDlg(std::move(s), &main);
  });
}

}  // namespace evdo
