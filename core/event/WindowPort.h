#pragma once
// The event layer: how logic reaches a window. Logic never calls a window
// directly; it posts numbered messages with two parameters and arms numbered
// timers. The Qt windows implement this port, tests use ManualEventLoop.
#include <cstdint>

namespace evdo {

using MessageId = std::uint32_t;
using WParam = std::uintptr_t;
using LParam = std::intptr_t;
using TimerId = std::uint32_t;

constexpr MessageId WM_USER = 0x0400;
constexpr MessageId WM_TIMER = 0x0113;
constexpr MessageId WM_QUIT = 0x0012;
constexpr MessageId WM_CLOSE = 0x0010;

// What a window does with what arrives through its port.
class WindowHandler {
public:
  virtual ~WindowHandler() = default;
  virtual void OnMessage(MessageId message, WParam wParam, LParam lParam) = 0;
  virtual void OnTimer(TimerId timerId) = 0;
};

// The handle logic holds on a window. PostMessage may be called from any
// thread; SetTimer and KillTimer only from the thread that owns the window.
class WindowPort {
public:
  virtual ~WindowPort() = default;
  virtual void PostMessage(MessageId message, WParam wParam = 0, LParam lParam = 0) = 0;
  // Arms (or re-arms) a periodic timer: it fires every elapseMs until killed.
  virtual void SetTimer(TimerId timerId, std::uint32_t elapseMs) = 0;
  virtual void KillTimer(TimerId timerId) = 0;
};

}  // namespace evdo
