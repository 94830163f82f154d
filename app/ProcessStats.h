#pragma once
// Figures of the running process, for the start-up report.
#include <cstdint>

namespace evdo {

// Milliseconds since the process started (10 ms resolution); -1 when unknown.
std::int64_t ProcessAgeMs();
// Resident memory in kilobytes; -1 when unknown.
std::int64_t ResidentKb();

}  // namespace evdo
