#pragma once
// What the PIN windows and the settings pages of the card, the radio and the
// network need from the main window: the command exchange of the one serial
// port, the card lock record, the main window's port (skin change) and
// whether the dial-up connection is up.
#include <QString>

#include <functional>

#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"
#include "device/status/PinStatus.h"
#include "ui/StringIds.h"

class QWidget;

namespace evdo {

struct SecurityContext {
  CCommandExchange* exchange = nullptr;
  CPinStatus* pin = nullptr;
  WindowPort* mainWindow = nullptr;
  std::function<bool()> isConnected;
};

// The active language module's text.
QString SecurityText(StringId id);
// The caption of message boxes: the prefixed application title.
QString SecurityCaption();
// Shows a language string in a message box that does not block (it stays
// above the start-up picture); parent keeps it in front of its window.
void ShowSecurityMessage(QWidget* parent, StringId id);

}  // namespace evdo
