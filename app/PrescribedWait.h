#pragma once
// The waits that start-up, resume and device removal prescribe (the 300 ms
// after each progress dot, the device search intervals, the 6 seconds after
// a resume, ...). The event loop keeps running while they last, so windows
// repaint and posted messages arrive; their total is kept so that start-up
// time can be told apart from them.
#include <cstdint>

namespace evdo {

class PrescribedWait {
public:
  // Waits ms milliseconds, processing events.
  static void Sleep(std::uint32_t ms);
  // Milliseconds spent in Sleep so far in this process.
  static std::uint64_t TotalMs();
};

}  // namespace evdo
