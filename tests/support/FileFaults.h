#pragma once
// Faults a test provokes on purpose around the data files.
#include <sys/resource.h>
#include <unistd.h>

#include <fcntl.h>

namespace evdo::test {

// While alive, the process cannot open another file ("too many open files"):
// the soft limit of descriptors is lowered to the number in use. Works for
// root too, unlike taking permissions away.
class NoFreeDescriptors {
public:
  NoFreeDescriptors() {
    ::getrlimit(RLIMIT_NOFILE, &old_);
    int lowest = ::fcntl(0, F_DUPFD, 0);  // the lowest free descriptor
    if (lowest >= 0) ::close(lowest);
    rlimit tight = old_;
    tight.rlim_cur = lowest >= 0 ? static_cast<rlim_t>(lowest) : 0;
    active_ = ::setrlimit(RLIMIT_NOFILE, &tight) == 0;
  }
  ~NoFreeDescriptors() { ::setrlimit(RLIMIT_NOFILE, &old_); }
  NoFreeDescriptors(const NoFreeDescriptors&) = delete;
  NoFreeDescriptors& operator=(const NoFreeDescriptors&) = delete;
  bool Active() const { return active_; }

private:
  rlimit old_{};
  bool active_ = false;
};

}  // namespace evdo::test
