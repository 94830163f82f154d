#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>

#include "tests/support/NotificationDaemon.h"
#include "ui/notify/DesktopNotifier.h"

namespace evdo {
namespace {

QCoreApplication& App() {
  static int argc = 1;
  static char name[] = "notify_tests";
  static char* argv[] = {name, nullptr};
  static QCoreApplication* app = new QCoreApplication(argc, argv);
  return *app;
}

template <typename Done>
bool WaitFor(Done done, int timeoutMs = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < timeoutMs) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

TEST(DesktopNotice, ReachesTheServiceAndAClickRunsItsAction) {
  App();
  test::NotificationDaemon daemon;
  ASSERT_TRUE(daemon.Running()) << "dbus-daemon or python3-dbusmock missing";
  CFreedesktopNotifier notifier(daemon.Connection());
  int opened = 0;
  EXPECT_TRUE(notifier.Notify({NoticeKind::NewMessage, "New message", "From <Alice> & co", [&] { ++opened; }}));
  // Markup in a text from the network reaches the desktop escaped.
  ASSERT_TRUE(WaitFor([&] { return daemon.Notices() == QStringList{"New message: From &lt;Alice&gt; &amp; co"}; }));
  // The mocked daemon numbers its notices from 1.
  for (int i = 0; i < 50 && opened == 0; ++i) {
    daemon.Click(1);
    WaitFor([&] { return opened != 0; }, 100);
  }
  EXPECT_EQ(opened, 1);
  // A click on a notice of someone else does nothing.
  daemon.Click(999);
  WaitFor([] { return false; }, 200);
  EXPECT_EQ(opened, 1);
}

TEST(DesktopNotice, WithoutABusNothingIsSent) {
  App();
  CFreedesktopNotifier nowhere("no-such-connection");
  EXPECT_FALSE(nowhere.Notify({NoticeKind::MissedCall, "Missed Call", "x", {}}));
}

}  // namespace
}  // namespace evdo
