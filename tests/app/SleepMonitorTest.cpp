#include <gtest/gtest.h>

#include <QSignalSpy>
#include <QTest>

#include "platform/logind/SleepMonitor.h"
#include "tests/app/MockLogind.h"
#include "tests/app/QtApp.h"

namespace evdo {
namespace {

using test::MockLogind;

class SleepMonitorTest : public ::testing::Test {
protected:
  static void SetUpTestSuite() {
    logind_ = new MockLogind();  // before the process first uses the system bus
    test::QtApp();
  }
  static void TearDownTestSuite() {
    delete logind_;
    logind_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(logind_->IsRunning()) << logind_->Error().toStdString(); }

  static MockLogind* logind_;
};
MockLogind* SleepMonitorTest::logind_ = nullptr;

TEST_F(SleepMonitorTest, HoldsADelayLockAndReleasesItOnlyAfterSuspendingWasHandled) {
  CSleepMonitor monitor;
  ASSERT_TRUE(monitor.IsWatching());
  QSignalSpy taken(&monitor, &CSleepMonitor::DelayLockTaken);
  ASSERT_TRUE(taken.wait(5000));
  EXPECT_EQ(logind_->SleepInhibitorModes(), QStringList{"delay"});

  bool lockHeldWhileHandling = false;
  QObject::connect(&monitor, &CSleepMonitor::Suspending, [&] {
    lockHeldWhileHandling = monitor.HoldsDelayLock();
  });
  QSignalSpy suspending(&monitor, &CSleepMonitor::Suspending);
  ASSERT_TRUE(logind_->EmitPrepareForSleep(true));
  ASSERT_TRUE(suspending.wait(5000));
  EXPECT_TRUE(lockHeldWhileHandling);
  EXPECT_FALSE(monitor.HoldsDelayLock());
  EXPECT_TRUE(QTest::qWaitFor([&] { return logind_->SleepInhibitorModes().isEmpty(); }, 5000));
}

TEST_F(SleepMonitorTest, ResumeIsReportedAndTheLockTakenAgain) {
  CSleepMonitor monitor;
  QSignalSpy taken(&monitor, &CSleepMonitor::DelayLockTaken);
  ASSERT_TRUE(taken.wait(5000));
  QSignalSpy resumed(&monitor, &CSleepMonitor::Resumed);
  ASSERT_TRUE(logind_->EmitPrepareForSleep(true));
  ASSERT_TRUE(logind_->EmitPrepareForSleep(false));
  ASSERT_TRUE(resumed.wait(5000));
  EXPECT_EQ(resumed.count(), 1);
  EXPECT_TRUE(QTest::qWaitFor([&] { return taken.count() == 2; }, 5000));
  EXPECT_TRUE(monitor.HoldsDelayLock());
}

}  // namespace
}  // namespace evdo
