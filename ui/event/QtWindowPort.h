#pragma once
// The event layer for Qt windows. Posted messages become queued events
// delivered in order on the thread that made the port (the window's thread),
// whichever thread posts them; numbered timers become Qt timers of that
// thread. Both arrive at the window's WindowHandler.
#include <QObject>

#include <map>
#include <mutex>

#include "core/event/WindowPort.h"

namespace evdo {

// The shortest timer period, as the platform's window timers have.
constexpr std::uint32_t kMinimumTimerMs = 10;

class QtWindowPort : public WindowPort {
public:
  explicit QtWindowPort(WindowHandler& handler);
  ~QtWindowPort() override;
  QtWindowPort(const QtWindowPort&) = delete;
  QtWindowPort& operator=(const QtWindowPort&) = delete;

  // Any thread. Messages posted after the port is gone are dropped.
  void PostMessage(MessageId message, WParam wParam = 0, LParam lParam = 0) override;
  // The window's thread only. Re-arming a timer replaces it.
  void SetTimer(TimerId timerId, std::uint32_t elapseMs) override;
  void KillTimer(TimerId timerId) override;

  bool IsTimerArmed(TimerId timerId) const;

private:
  class Receiver;
  std::mutex mutex_;  // guards receiver_ against posts during destruction
  Receiver* receiver_;
};

}  // namespace evdo
