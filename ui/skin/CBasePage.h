#pragma once
// The base of the pages that sit inside a window (the tab pages of the main
// window): the page's own end of the event layer. A page draws no
// background of its own, so the skinned window's background shows through.
#include <QWidget>

#include "core/event/WindowPort.h"
#include "ui/event/QtWindowPort.h"

namespace evdo {

class CBasePage : public QWidget, public WindowHandler {
  Q_OBJECT

public:
  explicit CBasePage(QWidget* parent = nullptr);

  WindowPort& Port() { return port_; }
  QtWindowPort& QtPort() { return port_; }

  // WindowHandler: what arrives is the derived page's.
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  QtWindowPort port_;
};

}  // namespace evdo
