#pragma once
// Plugs the phonebook page into the main window's pages.
namespace evdo {

class CModaraApp;

// Registers the factory of the phonebook page: it reaches the contact
// store, the modem link and the main window through app and the window.
void RegisterPhonebookPage(CModaraApp& app);

}  // namespace evdo
