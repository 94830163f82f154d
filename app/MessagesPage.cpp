#include "app/MessagesPage.h"

#include <QPointer>

#include "app/MainWindowPages.h"
#include "app/ModaraApp.h"
#include "app/MessageService.h"
#include "app/ModaraDlg.h"
#include "ui/text/QtText.h"
#include "app/StatusIndicators.h"
#include "device/SerialPort.h"
#include "sms/SmsData.h"
#include "phonebook/ui/PhoneBookDlg.h"
#include "sms/ui/SmsDlg.h"
#include "sms/ui/SmsTransferDlg.h"
#include "ui/StringIds.h"

namespace evdo {

void UpdateMessageIndicators(CModaraApp& app, CModaraDlg& window) {
  const CSmsData* sms = app.Sms();
  if (sms == nullptr) return;
  window.Port().PostMessage(kMsgStatus, kIndicatorUnread, sms->CountUnread() != 0 ? 1 : 0);
  window.Port().PostMessage(kMsgStatus, kIndicatorInboxFull, sms->IsFull(Inbox) ? 1 : 0);
}

namespace {

// The transfer window between the computer's boxes and the modem's
// storages: one at a time, and only with a ready card, no call and an open
// port.
void OpenTransferWindow(CModaraApp& app, CModaraDlg& window) {
  static QPointer<sms::CSmsTransferDlg> open;
  if (open) {
    open->raise();
    open->activateWindow();
    return;
  }
  sms::TransferServices s;
  s.exchange = &app.Exchange();
  s.store = app.Sms();
  s.notificationGate = &app.Dispatcher().NotificationGate();
  s.link = &app.MessageLink();
  CModaraDlg* main = &window;
  CModaraApp* application = &app;
  s.cardReady = [main] { return main->Status().Pin().IsReady(); };
  s.incomingCall = [main] { return main->IncomingCallFlag().load(); };
  s.portOpen = [application] { return application->Port().IsOpen(); };
  s.boxChanged = [main](int box) {
    if (auto* page = dynamic_cast<CSmsDlg*>(main->Page(PageKind::Messages))) page->RefreshBox(box);
  };
  s.indicatorsChanged = [application, main] { UpdateMessageIndicators(*application, *main); };
  if (!sms::CSmsTransferDlg::CanOpen(s)) return;
  open = new sms::CSmsTransferDlg(std::move(s), main);
  open->setAttribute(Qt::WA_DeleteOnClose);
  open->show();
}

}  // namespace

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
        // The message exchanges' windows; the message service comes with the
        // main window's initialisation, after the pages.
        s.openWriteWindow = [window](const QString& recipients, const QString& text) {
          if (MessageService* messages = window->Messages()) messages->OpenWriteWindow(recipients, text, window);
        };
        s.openTransferWindow = [application, window] { OpenTransferWindow(*application, *window); };
        s.saveNumber = [window](const std::string& number, QWidget* over) {
          if (auto* phonebook = dynamic_cast<CPhoneBookDlg*>(window->Page(PageKind::Phonebook)))
            phonebook->NewContactFromNumber(number, over);
        };
        UpdateMessageIndicators(app, main);
        return new CSmsDlg(std::move(s), &main);
      });
}

}  // namespace evdo
