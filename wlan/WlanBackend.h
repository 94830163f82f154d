#pragma once
// The platform's wireless service as the WLAN manager sees it: a snapshot of
// the wireless interfaces and the visible networks, refreshed in the
// background, and connect and disconnect requests answered by a posted
// message. Nothing here waits for the service.
#include <cstdint>
#include <string>
#include <vector>

#include "core/event/WindowPort.h"

namespace evdo {

// Interface states (0 to 7), and 8 for no interface list.
constexpr int kWlanNotReady = 0;
constexpr int kWlanConnected = 1;
constexpr int kWlanAdHoc = 2;
constexpr int kWlanDisconnecting = 3;
constexpr int kWlanDisconnected = 4;
constexpr int kWlanAssociating = 5;
constexpr int kWlanDiscovering = 6;
constexpr int kWlanAuthenticating = 7;
constexpr int kWlanNoList = 8;

// Error codes of the operations.
constexpr int kWlanOk = 0;
constexpr int kWlanInvalidParameter = 87;
constexpr int kWlanServiceMissing = 1062;  // the wireless service is not running
constexpr int kWlanFailed = 1;

struct WlanInterfaceInfo {
  std::string name;  // "wlan0"
  std::string id;    // the service's handle of it
  int state = kWlanNotReady;
};

struct WlanNetworkInfo {
  std::string ssid;
  std::string id;  // the service's handle of it
  int strength = 0;  // percent
};

struct WlanSnapshot {
  int error = kWlanOk;  // kWlanServiceMissing when there is no service
  std::vector<WlanInterfaceInfo> interfaces;
  std::vector<WlanNetworkInfo> networks;  // of the last interface
};

class WlanBackend {
public:
  virtual ~WlanBackend() = default;
  // The latest snapshot; asks for a new one in the background.
  virtual WlanSnapshot Snapshot() = 0;
  // Connects interfaceId to the network (by SSID, infrastructure or
  // independent); the outcome arrives at window as done with wParam 0
  // (success) or the error.
  virtual void Connect(const WlanInterfaceInfo& iface, const WlanNetworkInfo& network, bool infrastructure,
                       WindowPort& window, MessageId done) = 0;
  virtual void Disconnect(const WlanInterfaceInfo& iface) = 0;
};

}  // namespace evdo
