#pragma once
// Plugs the messages page into the main window's pages.
namespace evdo {

class CModaraApp;
class CModaraDlg;

// Registers the factory of the messages page: it reaches the message store,
// the phonebook, the port and the call page through app and the main window.
void RegisterMessagesPage(CModaraApp& app);

// Shows the message store's state on the main window's unread and
// inbox-full indicators.
void UpdateMessageIndicators(CModaraApp& app, CModaraDlg& window);

}  // namespace evdo
