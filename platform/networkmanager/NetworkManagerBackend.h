#pragma once
// The wireless LAN on NetworkManager over the system bus: its wireless
// devices with their states, the access points of the last one, connecting a
// device to a network by SSID, disconnecting. Every bus call runs on a thread
// of its own; the page reads the latest snapshot and gets the outcome of a
// connect as a posted message, so the user-interface thread never waits.
#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

#include "wlan/WlanBackend.h"

namespace evdo {

class NetworkManagerBackend final : public WlanBackend {
public:
  // busAddress: a private bus for tests; empty for the system bus.
  explicit NetworkManagerBackend(std::string busAddress = {});
  ~NetworkManagerBackend() override;
  NetworkManagerBackend(const NetworkManagerBackend&) = delete;
  NetworkManagerBackend& operator=(const NetworkManagerBackend&) = delete;

  WlanSnapshot Snapshot() override;
  void Connect(const WlanInterfaceInfo& iface, const WlanNetworkInfo& network, bool infrastructure,
               WindowPort& window, MessageId done) override;
  void Disconnect(const WlanInterfaceInfo& iface) override;

  // Waits (tests only) until a refresh asked for now has finished.
  WlanSnapshot RefreshNow();
  // Forgets the window of pending answers (the page is going away).
  void Detach(WindowPort& window);

private:
  void Run();
  WlanSnapshot Query();
  void Post(std::function<void()> job);

  std::string busAddress_;
  std::string connectionName_;
  std::mutex mutex_;
  std::condition_variable wake_;
  std::condition_variable refreshed_;
  std::deque<std::function<void()>> jobs_;
  bool refreshWanted_ = true;
  bool stopping_ = false;
  std::uint64_t started_ = 0;    // refreshes begun
  std::uint64_t refreshes_ = 0;  // refreshes finished
  WlanSnapshot latest_;
  WindowPort* window_ = nullptr;  // where connect answers go
  std::thread worker_;
};

}  // namespace evdo
