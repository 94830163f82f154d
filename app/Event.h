#pragma once
// A Windows-style event object: manual reset (stays set until Reset) or auto
// reset (a successful wait resets it).
#include <condition_variable>
#include <mutex>

namespace evdo {

class Event {
public:
  enum class Mode { Manual, Auto };
  static constexpr int kInfinite = -1;

  explicit Event(Mode mode, bool initiallySet = false) : mode_(mode), set_(initiallySet) {}
  Event(const Event&) = delete;
  Event& operator=(const Event&) = delete;

  void Set();
  void Reset();
  bool IsSet() const;
  // Waits up to timeoutMs (kInfinite: no limit). True when the event was set.
  bool Wait(int timeoutMs);

private:
  const Mode mode_;
  bool set_;
  mutable std::mutex mutex_;
  std::condition_variable cv_;
};

}  // namespace evdo
