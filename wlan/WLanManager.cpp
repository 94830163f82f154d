#include "wlan/WLanManager.h"

namespace evdo {

int CWLanManager::Refresh() {
  lastResult_ = kWlanOk;
  snapshot_ = backend_.Snapshot();
  hasList_ = snapshot_.error == kWlanOk;
  lastResult_ = snapshot_.error;
  return lastResult_;
}

int CWLanManager::InterfaceState(int index) const {
  if (!hasList_) return kWlanNoList;
  if (index < 0 || index >= InterfaceCount()) return kWlanNoList;
  return snapshot_.interfaces[static_cast<std::size_t>(index)].state;
}

int CWLanManager::Connect(int ifIndex, int netIndex, bool infrastructure, WindowPort& window, MessageId done) {
  if (!hasList_ || ifIndex < 0 || ifIndex >= InterfaceCount() || netIndex < 0 ||
      netIndex >= static_cast<int>(snapshot_.networks.size()))
    return lastResult_ = kWlanInvalidParameter;
  backend_.Connect(snapshot_.interfaces[static_cast<std::size_t>(ifIndex)],
                   snapshot_.networks[static_cast<std::size_t>(netIndex)], infrastructure, window, done);
  return lastResult_ = kWlanOk;
}

int CWLanManager::Disconnect(int ifIndex) {
  if (!hasList_ || ifIndex < 0 || ifIndex >= InterfaceCount()) return lastResult_ = kWlanInvalidParameter;
  backend_.Disconnect(snapshot_.interfaces[static_cast<std::size_t>(ifIndex)]);
  return lastResult_ = kWlanOk;
}

WlanConnectStep StartWlanConnect(CWLanManager& manager, WindowPort& window, MessageId done) {
  manager.Refresh();
  if (manager.InterfaceCount() <= 0) return WlanConnectStep::NoDevice;
  if (manager.InterfaceState(0) == kWlanConnected) return WlanConnectStep::AlreadyConnected;
  if (manager.Latest().networks.empty()) return WlanConnectStep::NoNetwork;
  return manager.Connect(0, 0, true, window, done) == kWlanOk ? WlanConnectStep::Requested
                                                               : WlanConnectStep::Failed;
}

}  // namespace evdo
