#pragma once
// Plugs the call page into the main window's pages.
namespace evdo {

class CModaraApp;

// Registers the factory of the call page (made only when Main_nCall is not
// 0): it reaches the modem, the stores and the main window's device texts,
// card state and incoming-call flag through app and the main window.
void RegisterCallPage(CModaraApp& app);

}  // namespace evdo
