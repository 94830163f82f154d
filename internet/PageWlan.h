#pragma once
// The Internet page's wireless LAN on the WLAN manager: connect the first
// visible network of the first interface, stop, disconnect, and the state
// the page's indicator shows.
#include "internet/InternetConnection.h"
#include "wlan/WLanManager.h"

namespace evdo {

// What the page's WLAN indicator shows.
enum class WlanIndicator { NoService, NoDevice, Available, Connected };

class CPageWlan final : public WlanConnector {
public:
  explicit CPageWlan(WlanBackend& backend) : manager_(backend) {}

  void Connect(WindowPort& window, bool quiet) override;
  void Stop() override;
  void Disconnect() override;
  bool IsConnected() override;

  // Timer 58: refresh and say what the indicator shows.
  WlanIndicator Refresh();
  CWLanManager& Manager() { return manager_; }

private:
  CWLanManager manager_;
  bool connecting_ = false;
};

}  // namespace evdo
