#include "app/StallProbe.h"

#include <QAbstractEventDispatcher>
#include <QCoreApplication>
#include <QObject>

#include <unistd.h>

#include <chrono>
#include <cinttypes>
#include <cstdio>
#include <cstdlib>
#include <memory>

#include "app/LoopStretches.h"

namespace evdo {

namespace {

constexpr const char* kProbeVariable = "EVDO_STALL_PROBE";
constexpr const char* kThresholdVariable = "EVDO_STALL_PROBE_MIN_US";
constexpr std::int64_t kDefaultThresholdUs = 2000;

std::int64_t NowNs() {
  return std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now().time_since_epoch())
      .count();
}

}  // namespace

void StartStallProbeIfAsked() {
  const char* path = std::getenv(kProbeVariable);
  auto* dispatcher = QAbstractEventDispatcher::instance();
  if (path == nullptr || *path == '\0' || dispatcher == nullptr) return;
  std::int64_t thresholdUs = kDefaultThresholdUs;
  if (const char* given = std::getenv(kThresholdVariable)) {
    char* end = nullptr;
    const long long value = std::strtoll(given, &end, 10);
    if (end != given && *end == '\0' && value >= 0) thresholdUs = value;
  }
  std::FILE* file = std::fopen(path, "a");
  if (file == nullptr) {
    std::fprintf(stderr, "evdo-dashboard: the stall probe cannot write %s\n", path);
    return;
  }
  std::fprintf(file, "# stall probe pid %d threshold_us %" PRId64 "\n", static_cast<int>(::getpid()), thresholdUs);
  std::fflush(file);
  // Lives as long as the process: the file is closed by the process's end.
  auto* stretches = new LoopStretches(thresholdUs * 1000, [file](std::int64_t startNs, std::int64_t durationNs) {
    std::fprintf(file, "%" PRId64 " %" PRId64 "\n", startNs, durationNs / 1000);
    std::fflush(file);
  });
  QObject::connect(dispatcher, &QAbstractEventDispatcher::awake, [stretches] { stretches->Awake(NowNs()); });
  QObject::connect(dispatcher, &QAbstractEventDispatcher::aboutToBlock,
                   [stretches] { stretches->AboutToBlock(NowNs()); });
}

}  // namespace evdo
