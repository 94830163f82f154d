#include "core/event/ManualEventLoop.h"

#include <chrono>

namespace evdo {

ManualEventLoop::Window& ManualEventLoop::CreateWindow(WindowHandler& handler) {
  std::lock_guard lock(mutex_);
  windows_.push_back(std::make_unique<Window>(*this, handler));
  return *windows_.back();
}

std::uint64_t ManualEventLoop::Now() const {
  std::lock_guard lock(mutex_);
  return now_;
}

bool ManualEventLoop::DeliverOnePosted() {
  Posted p{};
  {
    std::lock_guard lock(mutex_);
    if (queue_.empty()) return false;
    p = queue_.front();
    queue_.pop_front();
  }
  p.window->Handler().OnMessage(p.message, p.wParam, p.lParam);
  return true;
}

std::size_t ManualEventLoop::RunPending() {
  std::size_t n = 0;
  while (DeliverOnePosted()) ++n;
  return n;
}

// Fires the earliest timer due at or before `until`, moving the clock to its
// due time. Ties go to the timer armed first.
bool ManualEventLoop::DeliverNextTimer(std::uint64_t until) {
  Window* window = nullptr;
  TimerId id = 0;
  {
    std::lock_guard lock(mutex_);
    const Timer* best = nullptr;
    for (auto& [key, t] : timers_) {
      if (t.due > until) continue;
      if (!best || t.due < best->due || (t.due == best->due && t.generation < best->generation)) {
        best = &t;
        window = key.first;
        id = key.second;
      }
    }
    if (!best) return false;
    auto& t = timers_[{window, id}];
    now_ = t.due;
    t.due += t.period == 0 ? 1 : t.period;
    t.generation = ++generation_;
  }
  window->Handler().OnTimer(id);
  return true;
}

std::size_t ManualEventLoop::Advance(std::uint64_t ms) {
  std::uint64_t until;
  {
    std::lock_guard lock(mutex_);
    until = now_ + ms;
  }
  std::size_t n = RunPending();
  while (DeliverNextTimer(until)) {
    ++n;
    n += RunPending();
  }
  {
    std::lock_guard lock(mutex_);
    now_ = until;
  }
  return n + RunPending();
}

bool ManualEventLoop::WaitForPost(int timeoutMs) {
  std::unique_lock lock(mutex_);
  return posted_.wait_for(lock, std::chrono::milliseconds(timeoutMs),
                          [this] { return !queue_.empty(); });
}

bool ManualEventLoop::IsTimerArmed(const Window& window, TimerId id) const {
  std::lock_guard lock(mutex_);
  return timers_.count({const_cast<Window*>(&window), id}) != 0;
}

std::size_t ManualEventLoop::PendingMessages() const {
  std::lock_guard lock(mutex_);
  return queue_.size();
}

void ManualEventLoop::Window::PostMessage(MessageId message, WParam wParam, LParam lParam) {
  {
    std::lock_guard lock(loop_.mutex_);
    loop_.queue_.push_back({this, message, wParam, lParam});
  }
  loop_.posted_.notify_all();
}

void ManualEventLoop::Window::SetTimer(TimerId timerId, std::uint32_t elapseMs) {
  std::lock_guard lock(loop_.mutex_);
  loop_.timers_[{this, timerId}] = {loop_.now_ + elapseMs, elapseMs, ++loop_.generation_};
}

void ManualEventLoop::Window::KillTimer(TimerId timerId) {
  std::lock_guard lock(loop_.mutex_);
  loop_.timers_.erase({this, timerId});
}

}  // namespace evdo
