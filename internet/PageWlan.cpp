#include "internet/PageWlan.h"

namespace evdo {

void CPageWlan::Connect(WindowPort& window, bool /*quiet*/) {
  switch (StartWlanConnect(manager_, window, kMsgWlanDone)) {
    case WlanConnectStep::NoDevice:
      window.PostMessage(kMsgWlanDone, manager_.LastResult() == kWlanServiceMissing
                                           ? static_cast<WParam>(kStrIdWlanNoService)
                                           : static_cast<WParam>(kStrIdWlanNoDevice));
      return;
    case WlanConnectStep::AlreadyConnected: window.PostMessage(kMsgWlanDone, kWlanDoneOk); return;
    case WlanConnectStep::NoNetwork: window.PostMessage(kMsgWlanDone, kStrIdWlanNoNetwork); return;
    case WlanConnectStep::Failed: window.PostMessage(kMsgWlanDone, kWlanDoneFailed); return;
    case WlanConnectStep::Requested: connecting_ = true; return;
  }
}

void CPageWlan::Stop() {
  // The page no longer waits; a connection that comes up anyway is shown by
  // the next start action or indicator refresh, and ended here.
  if (connecting_) manager_.Disconnect(0);
  connecting_ = false;
}

void CPageWlan::Disconnect() {
  connecting_ = false;
  manager_.Refresh();
  manager_.Disconnect(0);
}

bool CPageWlan::IsConnected() {
  manager_.Refresh();
  return manager_.InterfaceCount() >= 1 && manager_.InterfaceState(0) == kWlanConnected;
}

WlanIndicator CPageWlan::Refresh() {
  manager_.Refresh();
  if (manager_.LastResult() == kWlanServiceMissing) return WlanIndicator::NoService;
  if (manager_.InterfaceCount() < 1) return WlanIndicator::NoDevice;
  return manager_.InterfaceState(0) == kWlanConnected ? WlanIndicator::Connected : WlanIndicator::Available;
}

}  // namespace evdo
