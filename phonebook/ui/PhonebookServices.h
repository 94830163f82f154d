#pragma once
// What the phonebook's windows reach beyond the contact store: the modem
// link for the transfer window, and the main window with its other pages.
// The application fills it in; tests give their own.
#include <functional>
#include <string>

#include "core/event/WindowPort.h"

class QWidget;

namespace evdo {

class CAtDispatcher;
class CCommandExchange;
class CSerialPort;

struct PhonebookServices {
  CCommandExchange* exchange = nullptr;
  CAtDispatcher* dispatcher = nullptr;
  CSerialPort* port = nullptr;
  // The main window: a new contact from the editor goes to it (WM_USER+18),
  // and it is told when a transfer changed the PC phonebook (WM_USER+21).
  WindowHandler* mainWindow = nullptr;
  WindowPort* mainPort = nullptr;
  // The card answers (card state 22).
  std::function<bool()> cardReady;
  // The status commands or the device initialisation hold the link.
  std::function<bool()> linkBusy;
  // Hands a number to the call page; empty: there is no call page.
  std::function<void(const std::string& number)> dial;
  // Opens the message writing window with the recipients (numbers joined
  // with ';'); empty: messages cannot be written here.
  std::function<void(QWidget* parent, const std::string& recipients)> writeMessage;
};

}  // namespace evdo
