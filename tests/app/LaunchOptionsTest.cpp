#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>

#include <thread>
#include <QUuid>

#include "app/LaunchOptions.h"
#include "app/SingleInstance.h"
#include "tests/app/QtApp.h"

namespace evdo {
namespace {

struct OptionsCase {
  QStringList arguments;
  bool accepted;
  QString port;
  bool simulate;
  QString screenshot;
};

class LaunchOptionsParse : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LaunchOptionsParse, ReadsOrRefusesTheArguments) {
  const OptionsCase& c = GetParam();
  LaunchOptions options;
  QString error;
  ASSERT_EQ(LaunchOptions::Parse(c.arguments, options, error), c.accepted) << error.toStdString();
  if (!c.accepted) {
    EXPECT_FALSE(error.isEmpty());
    return;
  }
  EXPECT_EQ(options.portPath, c.port);
  EXPECT_EQ(options.simulate, c.simulate);
  EXPECT_EQ(options.screenshotPath, c.screenshot);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchOptionsParse,
    ::testing::Values(OptionsCase{{}, true, "", false, ""},
                      OptionsCase{{"--port", "/dev/ttyUSB7"}, true, "/dev/ttyUSB7", false, ""},
                      OptionsCase{{"--simulate", "--screenshot", "a.png"}, true, "", true, "a.png"},
                      OptionsCase{{"--port"}, false, "", false, ""},
                      OptionsCase{{"--port", ""}, false, "", false, ""},
                      OptionsCase{{"--port", "/dev/x", "--simulate"}, false, "", false, ""},
                      OptionsCase{{"--verbose"}, false, "", false, ""},
                      OptionsCase{{"COM7"}, false, "", false, ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

TEST(LaunchOptionsDial, TakesANumberOrATelLinkAndRefusesWhatCannotBeDialled) {
  LaunchOptions options;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"--dial", "+8613800138000"}, options, error));
  EXPECT_EQ(options.dialNumber, "+8613800138000");
  ASSERT_TRUE(LaunchOptions::Parse({"tel:+86-10-086;phone-context=x"}, options, error));
  EXPECT_EQ(options.dialNumber, "+8610086");
  ASSERT_TRUE(LaunchOptions::Parse({"--dial", "tel:*21%23"}, options, error));
  EXPECT_EQ(options.dialNumber, "*21#");
  for (QString bad : QStringList{"10086\rAT+CFUN=0", "12;ATH", "1800-FLOWERS", "tel:", QString(41, '1')}) {
    EXPECT_FALSE(LaunchOptions::Parse({"--dial", bad}, options, error)) << bad.toStdString();
    EXPECT_FALSE(error.isEmpty());
  }
  EXPECT_FALSE(LaunchOptions::Parse({"--dial"}, options, error));
}

TEST(SingleInstanceDial, ALaterCopyHandsItsNumberToTheRunningOne) {
  testing::QtApp();
  const QString title = "evdo-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
  CSingleInstance first;
  ASSERT_TRUE(first.Claim(title));
  QStringList dialled;
  int raised = 0;
  QObject::connect(&first, &CSingleInstance::DialRequested, [&](const QString& n) { dialled << n; });
  QObject::connect(&first, &CSingleInstance::RaiseRequested, [&] { ++raised; });
  // The later copy waits for the first's answer; the first answers from its
  // event loop, so the later one runs on a thread of its own.
  bool claimed = true;
  std::thread later([&] {
    CSingleInstance second;
    claimed = second.Claim(title, "10086");
  });
  QElapsedTimer t;
  t.start();
  while (dialled.isEmpty() && t.elapsed() < 5000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  later.join();
  EXPECT_FALSE(claimed);
  EXPECT_EQ(raised, 1);
  EXPECT_EQ(dialled, QStringList{"10086"});
}

}  // namespace
}  // namespace evdo
