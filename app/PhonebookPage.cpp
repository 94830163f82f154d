#include "app/PhonebookPage.h"

#include "app/MainWindowPages.h"
#include "app/MessageService.h"
#include "app/ModaraApp.h"
#include "app/ModaraDlg.h"
#include "core/settings/SetupData.h"
#include "phonebook/ui/PhoneBookDlg.h"
#include "ui/StringIds.h"
#include "ui/text/QtText.h"

namespace evdo {

void RegisterPhonebookPage(CModaraApp& app) {
  MainWindowPages::Register(PageKind::Phonebook, [&app](CModaraDlg& main, QString& title) -> CBasePage* {
    if (app.Phonebook() == nullptr) return nullptr;
    title = Str(kStrPbPageTitle);
    PhonebookServices s;
    s.exchange = &app.Exchange();
    s.dispatcher = &app.Dispatcher();
    s.port = &app.Port();
    s.mainWindow = &main;
    s.mainPort = &main.Port();
    CModaraDlg* window = &main;
    s.cardReady = [window] { return window->Status().Pin().IsReady(); };
    s.linkBusy = [window] { return window->StatusCommands().IsOutstanding() || window->Initializer().IsRunning(); };
    // The main window hands the number to the call page, which dials.
    if (CSetupData::Instance().Main_nCall != 0)
      s.dial = [window](const std::string& number) { window->DialNumber(FromAnsi(number)); };
    s.writeMessage = [window](QWidget* parent, const std::string& recipients) {
      if (MessageService* messages = window->Messages()) messages->OpenWriteWindow(FromAnsi(recipients), {}, parent);
    };
    return new CPhoneBookDlg(std::move(s), *app.Phonebook(), &main);
  });
}

}  // namespace evdo
