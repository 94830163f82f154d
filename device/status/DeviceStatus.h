#pragma once
// The main window's device status record: what the device initialisation and
// the modem's status notifications last reported. Handlers write it on the
// dispatcher's parser thread; the user-interface thread reads it.
#include <atomic>
#include <cstddef>
#include <mutex>
#include <string>
#include <string_view>

#include "core/event/Event.h"
#include "core/event/WindowPort.h"
#include "device/status/PinStatus.h"
#include "device/status/StatusMessage.h"

namespace evdo {

inline constexpr std::size_t kOperatorTextSize = 128;
inline constexpr int kServiceStatusReset = 2;

class CDeviceStatus {
public:
  CDeviceStatus();
  CDeviceStatus(const CDeviceStatus&) = delete;
  CDeviceStatus& operator=(const CDeviceStatus&) = delete;

  // The window's status reset: network status, network service, roaming and
  // CSMSS 0, service status 2, no operator text.
  void Reset();

  // The window that receives the status messages. Set once before any
  // handler is registered.
  void AttachWindow(WindowPort& window) { window_ = &window; }
  // Posts the status message of kind with value to the attached window.
  void Post(StatusKind kind, int value);
  // The window that waits for the reply events (the status command
  // exchanges): every SignalReply posts kStatusReplyWake to it.
  void AttachReplyWaiter(WindowPort& waiter) { waiter_ = &waiter; }
  // Sets one of the reply events below and wakes the waiter.
  void SignalReply(Event& event);

  CPinStatus& Pin() { return pin_; }
  const CPinStatus& Pin() const { return pin_; }

  // 1 while the initialisation sequence runs; refused port writes show no
  // message then.
  bool IsInitialising() const;
  void SetInitialising(bool initialising);

  // Set by the main window after its first initialisation sequence; the
  // user-interface thread alone uses it.
  bool initialisedOnce = false;

  std::atomic<int> networkStatus{0};
  std::atomic<int> networkService{0};
  std::atomic<int> roaming{0};
  std::atomic<int> serviceStatus{kServiceStatusReset};
  std::atomic<int> csmssValue{0};

  // The operator name shown in the window (at most 127 bytes, never a split
  // double-byte character); empty when no name is known.
  std::string OperatorText() const;
  void SetOperatorText(std::string_view text);
  bool HasOperatorText() const;

  Event statusReply{Event::Mode::Auto};
  Event csmssReply{Event::Mode::Auto};
  Event simReady{Event::Mode::Auto};

private:
  WindowPort* window_ = nullptr;
  WindowPort* waiter_ = nullptr;
  CPinStatus pin_;
  mutable std::mutex statusLock_;
  bool initialising_ = false;
  mutable std::mutex operatorLock_;
  char operatorText_[kOperatorTextSize] = {};
};

// The process-wide service centre number read by the service centre query
// (at most 40 characters); the message exchanges use it.
inline constexpr std::size_t kServiceCentreTextSize = 42;
inline constexpr std::size_t kServiceCentreMaxChars = 40;
std::string ServiceCentreText();
void SetServiceCentreText(std::string_view text);

}  // namespace evdo
