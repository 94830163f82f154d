#pragma once
// A Windows-style event object: manual reset (stays set until Reset) or auto
// reset (a successful wait resets it).
#include <condition_variable>
#include <cstddef>
#include <initializer_list>
#include <mutex>

namespace evdo {

class Event {
public:
  enum class Mode { Manual, Auto };
  static constexpr int kInfinite = -1;
  static constexpr int kTimedOut = -1;
  static constexpr std::size_t kMaxWaitEvents = 8;

  explicit Event(Mode mode, bool initiallySet = false) : mode_(mode), set_(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // Waits up to timeoutMs (kInfinite: no limit). True when the event was set.
  bool Wait(int timeoutMs);

  // Waits up to timeoutMs until any of events (at most kMaxWaitEvents) is set. Returns the index of
  // the first set event in list order (an auto-reset one is reset by the
  // wait), or kTimedOut.
  static int WaitAny(std::initializer_list<Event*> events, int timeoutMs);

private:
  // A thread blocked in WaitAny, linked into every event it waits for.
  struct Waiter {
    std::mutex mutex;
    std::condition_variable cv;
    bool signalled = false;
  };
  struct WaiterLink {
    Waiter* waiter;
    WaiterLink* next;
  };

  bool TryConsume();
  void Link(WaiterLink& link);
  void Unlink(WaiterLink& link);

  const Mode mode_;
  bool set_;
  WaiterLink* waiters_ = nullptr;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
};

}  // namespace evdo
