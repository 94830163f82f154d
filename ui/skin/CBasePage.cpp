#include "ui/skin/CBasePage.h"

namespace evdo {

CBasePage::CBasePage(QWidget* parent) : QWidget(parent), port_(*this) {
  setAutoFillBackground(false);
}

void CBasePage::OnMessage(MessageId, WParam, LParam) {}

void CBasePage::OnTimer(TimerId) {}

}  // namespace evdo
