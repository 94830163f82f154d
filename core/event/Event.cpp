#include "core/event/Event.h"

#include <cassert>
#include <chrono>

namespace evdo {

void Event::Set() {
  // Everything under the lock: a woken thread may destroy the event as soon
  // as the lock is free.
  std::lock_guard lock(mutex_);
  set_ = true;
  if (mode_ == Mode::Manual) cv_.notify_all();
  else cv_.notify_one();
  for (WaiterLink* link = waiters_; link != nullptr; link = link->next) {
    {
      std::lock_guard waiterLock(link->waiter->mutex);
      link->waiter->signalled = true;
    }
    // Notified outside the waiter's own lock, so that the woken thread does
    // not block on it at once; the waiter stays valid while it is linked,
    // that is while this event's lock is held.
    link->waiter->cv.notify_one();
  }
}

void Event::Reset() {
  std::lock_guard lock(mutex_);
  set_ = false;
}

bool Event::IsSet() const {
  std::lock_guard lock(mutex_);
  return set_;
}

bool Event::Wait(int timeoutMs) {
  std::unique_lock lock(mutex_);
  auto ready = [this] { return set_; };
  if (timeoutMs < 0) {
    cv_.wait(lock, ready);
  } else if (!cv_.wait_for(lock, std::chrono::milliseconds(timeoutMs), ready)) {
    return false;
  }
  if (mode_ == Mode::Auto) set_ = false;
  return true;
}

bool Event::TryConsume() {
  std::lock_guard lock(mutex_);
  if (!set_) return false;
  if (mode_ == Mode::Auto) set_ = false;
  return true;
}

void Event::Link(WaiterLink& link) {
  std::lock_guard lock(mutex_);
  link.next = waiters_;
  waiters_ = &link;
}

void Event::Unlink(WaiterLink& link) {
  std::lock_guard lock(mutex_);
  for (WaiterLink** at = &waiters_; *at != nullptr; at = &(*at)->next) {
    if (*at == &link) {
      *at = link.next;
      return;
    }
  }
}

int Event::WaitAny(std::initializer_list<Event*> events, int timeoutMs) {
  using Clock = std::chrono::steady_clock;
  const auto deadline = Clock::now() + std::chrono::milliseconds(timeoutMs < 0 ? 0 : timeoutMs);
  assert(events.size() <= kMaxWaitEvents);
  Waiter waiter;
  WaiterLink links[kMaxWaitEvents];
  std::size_t i = 0;
  for (Event* event : events) {
    links[i] = WaiterLink{&waiter, nullptr};
    event->Link(links[i++]);
  }
  int result = kTimedOut;
  for (;;) {
    int index = 0;
    for (Event* event : events) {
      if (event->TryConsume()) {
        result = index;
        break;
      }
      ++index;
    }
    if (result != kTimedOut) break;
    std::unique_lock lock(waiter.mutex);
    if (timeoutMs < 0) {
      waiter.cv.wait(lock, [&] { return waiter.signalled; });
    } else if (!waiter.cv.wait_until(lock, deadline, [&] { return waiter.signalled; })) {
      break;
    }
    waiter.signalled = false;
  }
  i = 0;
  for (Event* event : events) event->Unlink(links[i++]);
  return result;
}

}  // namespace evdo
