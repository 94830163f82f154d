#pragma once
// The WLAN manager: the wireless interfaces with their states and the
// visible networks of the latest refresh, connect and disconnect by index.
#include <cstddef>

#include "wlan/WlanBackend.h"

namespace evdo {

class CWLanManager {
public:
  explicit CWLanManager(WlanBackend& backend) : backend_(backend) {}
  virtual ~CWLanManager() = default;

  // Takes the latest snapshot; returns its error (0 when it has a list).
  int Refresh();
  bool HasList() const { return hasList_; }
  int LastResult() const { return lastResult_; }
  int InterfaceCount() const { return hasList_ ? static_cast<int>(snapshot_.interfaces.size()) : 0; }
  // 0 to 7, 8 when there is no interface list.
  int InterfaceState(int index) const;
  const WlanSnapshot& Latest() const { return snapshot_; }
  // Connects interface ifIndex to network netIndex of the latest refresh;
  // 87 without a list or with an index out of range, else 0 (requested:
  // the outcome arrives at window as done).
  int Connect(int ifIndex, int netIndex, bool infrastructure, WindowPort& window, MessageId done);
  int Disconnect(int ifIndex);

private:
  WlanBackend& backend_;
  WlanSnapshot snapshot_;
  bool hasList_ = false;
  int lastResult_ = kWlanOk;
};

// The connect procedure of the Internet page on the manager.
enum class WlanConnectStep {
  NoDevice,         // no interface: failure (message unless quiet)
  AlreadyConnected, // interface 0 is connected: success at once
  NoNetwork,        // no visible network: failure
  Requested,        // the connection was asked for; the outcome follows
  Failed,           // the request was refused
};
WlanConnectStep StartWlanConnect(CWLanManager& manager, WindowPort& window, MessageId done);

}  // namespace evdo
