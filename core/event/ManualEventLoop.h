#pragma once
// A deterministic event loop with a manual clock. Windows created from it
// receive posted messages in order and timers when the clock is advanced past
// their due time, so exchanges, time-outs and retries run without sleeping.
#include "core/event/WindowPort.h"

#include <condition_variable>
#include <cstdint>
#include <deque>
#include <map>
#include <memory>
#include <mutex>
#include <vector>

namespace evdo {

class ManualEventLoop {
public:
  class Window;

  ManualEventLoop() = default;
  ManualEventLoop(const ManualEventLoop&) = delete;
  ManualEventLoop& operator=(const ManualEventLoop&) = delete;

  // A window whose messages and timers go to handler. The loop owns it.
  Window& CreateWindow(WindowHandler& handler);

  // Milliseconds since the loop was made.
  std::uint64_t Now() const;

  // Delivers every posted message (including those posted while delivering).
  // Returns how many were delivered.
  std::size_t RunPending();

  // Moves the clock forward by ms, delivering posted messages and each timer
  // at its due time, in time order. Returns the number of events delivered.
  std::size_t Advance(std::uint64_t ms);

  // Advances in small steps until pred() holds or limitMs have passed on the
  // manual clock; messages posted from other threads are awaited for up to
  // realWaitMs of real time at each step. Returns pred().
  template <class Pred>
  bool AdvanceUntil(Pred pred, std::uint64_t limitMs, std::uint64_t stepMs = 10,
                    int realWaitMs = 0) {
    std::uint64_t spent = 0;
    RunPending();
    while (!pred() && spent < limitMs) {
      if (realWaitMs > 0) WaitForPost(realWaitMs);
      Advance(stepMs);
      spent += stepMs;
    }
    return pred();
  }

  // Blocks up to timeoutMs of real time until a message is posted (from any
  // thread). Returns true when one is waiting.
  bool WaitForPost(int timeoutMs);

  bool IsTimerArmed(const Window& window, TimerId id) const;
  std::size_t PendingMessages() const;

  class Window : public WindowPort {
  public:
    Window(ManualEventLoop& loop, WindowHandler& handler) : loop_(loop), handler_(handler) {}
    void PostMessage(MessageId message, WParam wParam = 0, LParam lParam = 0) override;
    void SetTimer(TimerId timerId, std::uint32_t elapseMs) override;
    void KillTimer(TimerId timerId) override;
    WindowHandler& Handler() { return handler_; }

  private:
    ManualEventLoop& loop_;
    WindowHandler& handler_;
  };

private:
  struct Posted {
    Window* window;
    MessageId message;
    WParam wParam;
    LParam lParam;
  };
  struct Timer {
    std::uint64_t due;
    std::uint32_t period;
    std::uint64_t generation;
  };
  using TimerKey = std::pair<Window*, TimerId>;

  bool DeliverOnePosted();
  bool DeliverNextTimer(std::uint64_t until);

  mutable std::mutex mutex_;
  std::condition_variable posted_;
  std::deque<Posted> queue_;
  std::map<TimerKey, Timer> timers_;
  std::uint64_t now_ = 0;
  std::uint64_t generation_ = 0;
  std::vector<std::unique_ptr<Window>> windows_;
};

}  // namespace evdo
