#include "app/PrescribedWait.h"

#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include <atomic>

namespace evdo {
namespace {

std::atomic<std::uint64_t> total{0};

}  // namespace

void PrescribedWait::Sleep(std::uint32_t ms) {
  QElapsedTimer clock;
  clock.start();
  QEventLoop loop;
  QTimer timer;
  timer.setSingleShot(true);
  timer.setTimerType(Qt::PreciseTimer);
  QObject::connect(&timer, &QTimer::timeout, &loop, &QEventLoop::quit);
  timer.start(static_cast<int>(ms));
  loop.exec();
  total += static_cast<std::uint64_t>(clock.elapsed());
}

std::uint64_t PrescribedWait::TotalMs() { return total.load(); }

}  // namespace evdo
