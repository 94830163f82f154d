#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QLocalSocket>
#include <QUuid>

#include "app/LaunchOptions.h"
#include "app/MainWindowPages.h"
#include "app/SingleInstance.h"
#include "tests/app/QtApp.h"

#include <QDeadlineTimer>

#include <unistd.h>

#include <atomic>
#include <thread>
#include <vector>

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

// A later copy's request reaches the running one and gets its messages and
// exit status back; with no copy running the answer is 3.
TEST(RemoteRequest, MessagesAndResultThroughTheInstanceSocket) {
  test::QtApp();
  const QString title = QStringLiteral("evdo-remote-test-%1").arg(::getpid());
  EXPECT_EQ(CSingleInstance::SendRequest(title, "disconnect", 1000, [](const QString&) {}), 3);
  CSingleInstance instance;
  ASSERT_TRUE(instance.Claim(title));
  QString asked;
  QObject::connect(&instance, &CSingleInstance::CommandRequested, [&](const QString& command, RemoteReply* reply) {
    asked = command;
    reply->Message("first\nline");
    reply->Finish(command == "connect 3g" ? 0 : 1);
  });
  std::vector<QString> printed;
  std::atomic<int> code{-1};
  std::thread client([&] {
    code = CSingleInstance::SendRequest(title, "connect 3g", 5000, [&](const QString& m) { printed.push_back(m); });
  });
  QDeadlineTimer deadline(8000);
  while (code.load() < 0 && !deadline.hasExpired()) QCoreApplication::processEvents(QEventLoop::AllEvents, 20);
  client.join();
  EXPECT_EQ(code.load(), 0);
  EXPECT_EQ(asked, "connect 3g");
  EXPECT_EQ(printed, std::vector<QString>{"first line"});
}

TEST(LaunchOptionsRequests, ConnectAndDisconnect) {
  LaunchOptions o;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"--connect"}, o, error));
  EXPECT_EQ(o.connectType, "auto");
  for (const char* type : {"3g", "1X", "wlan", "auto"}) {
    ASSERT_TRUE(LaunchOptions::Parse({"--connect", type}, o, error)) << type;
    EXPECT_EQ(o.connectType, QString(type).toLower());
  }
  ASSERT_TRUE(LaunchOptions::Parse({"--connect", "--simulate"}, o, error));
  EXPECT_EQ(o.connectType, "auto");
  EXPECT_TRUE(o.simulate);
  ASSERT_TRUE(LaunchOptions::Parse({"--disconnect"}, o, error));
  EXPECT_TRUE(o.disconnect);
  EXPECT_FALSE(LaunchOptions::Parse({"--connect", "4g"}, o, error));
  EXPECT_FALSE(error.isEmpty());
  EXPECT_FALSE(LaunchOptions::Parse({"--connect", "3g", "--disconnect"}, o, error));
}

TEST(LaunchOptionsRequests, StatusGoesAlone) {
  LaunchOptions o;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"--status"}, o, error));
  EXPECT_TRUE(o.status);
  EXPECT_FALSE(LaunchOptions::Parse({"--status", "--connect"}, o, error));
  EXPECT_TRUE(error.contains("--status")) << error.toStdString();
  EXPECT_FALSE(LaunchOptions::Parse({"--disconnect", "--status"}, o, error));
}

TEST(LaunchOptionsPage, TakesThePageNamesAndAllOnlyForPictures) {
  LaunchOptions o;
  QString error;
  for (const char* page : {"messages", "calls", "phonebook", "internet", "statistics", "settings"}) {
    ASSERT_TRUE(LaunchOptions::Parse({"--page", page}, o, error)) << page;
    EXPECT_EQ(o.page, page);
    PageKind kind;
    ASSERT_TRUE(PageFromName(page, kind));
    EXPECT_STREQ(PageName(kind), page);
  }
  EXPECT_FALSE(LaunchOptions::Parse({"--page", "weather"}, o, error));
  EXPECT_TRUE(error.contains("internet")) << error.toStdString();
  EXPECT_FALSE(LaunchOptions::Parse({"--page"}, o, error));
  EXPECT_FALSE(LaunchOptions::Parse({"--page", "all", "--screenshot", "shot.png"}, o, error));
  EXPECT_TRUE(error.contains("%p")) << error.toStdString();
  ASSERT_TRUE(LaunchOptions::Parse({"--page", "all", "--screenshot", "shot-%p.png"}, o, error));
}

// Every option the parser takes is in the usage text.
TEST(LaunchOptionsUsage, NamesEveryAction) {
  const QString usage = LaunchOptions::Usage();
  for (const char* option : {"--port", "--simulate", "--screenshot", "--page", "--startup-report", "--dial", "tel:",
                             "--status", "--connect", "--disconnect", "--help"})
    EXPECT_TRUE(usage.contains(option)) << option;
}

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
  test::QtApp();
  const QString title = "evdo-test-" + QUuid::createUuid().toString(QUuid::WithoutBraces);
  CSingleInstance first;
  ASSERT_TRUE(first.Claim(title));
  QStringList commands;
  QObject::connect(&first, &CSingleInstance::CommandRequested, [&](const QString& command, RemoteReply* reply) {
    commands << command;
    reply->Finish(0);
  });
  // The later copy waits for the first's answer; the first answers from its
  // event loop, so the later one runs on a thread of its own.
  std::atomic<int> code{-1};
  std::thread later([&] {
    code = CSingleInstance::SendRequest(title, CSingleInstance::kDialCommand + QString("10086"), 5000,
                                        [](const QString&) {});
  });
  QElapsedTimer t;
  t.start();
  while (code == -1 && t.elapsed() < 6000) QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
  later.join();
  EXPECT_EQ(code, 0);
  EXPECT_EQ(commands, QStringList{"dial 10086"});
}

TEST(LaunchOptionsListSms, TakesABoxNameAndTheInboxByDefault) {
  LaunchOptions o;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"--list-sms"}, o, error));
  EXPECT_EQ(o.listSmsBox, "inbox");
  ASSERT_TRUE(LaunchOptions::Parse({"--list-sms", "Saved"}, o, error));
  EXPECT_EQ(o.listSmsBox, "saved");
  ASSERT_TRUE(LaunchOptions::Parse({"--list-sms", "--simulate"}, o, error));
  EXPECT_EQ(o.listSmsBox, "inbox");
  EXPECT_FALSE(LaunchOptions::Parse({"--list-sms", "drafts"}, o, error));
}

}  // namespace
}  // namespace evdo
