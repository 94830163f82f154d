// Messages from the command line: "--send-sms" and "sms:" links are read
// and checked before anything is sent, and a second copy of the program
// sends through the running dashboard (in this process, against the
// simulated modem), printing the outcome per number.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTest>

#include "app/LaunchOptions.h"
#include "app/MessageService.h"
#include "app/SingleInstance.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsWriteDlg.h"
#include "tests/app/DashboardHarness.h"
#include "tools/modemsim/SmsFeature.h"

namespace evdo {
namespace {

using test::DashboardHarness;

TEST(SmsLaunchOptions, SendSmsTakesNumbersAndATextAndRefusesWhatCannotBeSent) {
  LaunchOptions o;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"--send-sms", "10086;+8613800000002", "Hi there"}, o, error)) << error.toStdString();
  EXPECT_TRUE(o.sendSms);
  EXPECT_EQ(o.smsRecipients, "10086;+8613800000002");
  EXPECT_EQ(o.smsText, "Hi there");
  const struct {
    QStringList args;
    const char* says;
  } bad[] = {
      {{"--send-sms", "10086"}, "needs the numbers and the text"},
      {{"--send-sms", "10086", ""}, "needs a text"},
      {{"--send-sms", ";;", "x"}, "no number"},
      {{"--send-sms", "1;2;3;4;5;6;7;8;9;10;11", "x"}, "at most 10"},
      {{"--send-sms", "100\"86", "x"}, "\"100\"86\" cannot be used"},
      {{"--send-sms", QString(41, '1'), "x"}, "longer than 40"},
      {{"--send-sms", "1", "x", "--dial", "2"}, "only one of"},
  };
  for (const auto& c : bad) {
    EXPECT_FALSE(LaunchOptions::Parse(c.args, o, error)) << c.args.join(' ').toStdString();
    EXPECT_TRUE(error.contains(c.says)) << error.toStdString();
  }
}

TEST(SmsLaunchOptions, SmsLinksAreDecoded) {
  LaunchOptions o;
  QString error;
  ASSERT_TRUE(LaunchOptions::Parse({"sms:+86 138-0013-8000,10086?body=Hello%20world%21%0Abye+now"}, o, error))
      << error.toStdString();
  EXPECT_TRUE(o.openSms);
  EXPECT_EQ(o.smsRecipients, "+8613800138000;10086");
  EXPECT_EQ(o.smsText, "Hello world!\nbye+now");
  ASSERT_TRUE(LaunchOptions::Parse({"SMS:?body=%E4%BD%A0%E5%A5%BD"}, o, error));
  EXPECT_EQ(o.smsRecipients, "");
  EXPECT_EQ(o.smsText, QString::fromUtf8("你好"));
  ASSERT_TRUE(LaunchOptions::Parse({"sms://10086"}, o, error));
  EXPECT_EQ(o.smsRecipients, "10086");
  EXPECT_FALSE(LaunchOptions::Parse({"sms:10086abc?body=x"}, o, error));
  EXPECT_TRUE(error.contains("sms: link")) << error.toStdString();
}

TEST(SmsLaunchOptions, RequestsKeepSpacesNewlinesAndEmptyWords) {
  for (const auto& [recipients, text] : std::vector<std::pair<QString, QString>>{
           {"10086;10010", "two words\nand a line"}, {"", "-"}, {"-", ""}, {"1", QString::fromUtf8("短信 %20 +")}}) {
    const QString request = CSingleInstance::SmsRequest(CSingleInstance::kSmsSendCommand, recipients, text);
    EXPECT_FALSE(request.contains('\n'));
    QString r, t;
    ASSERT_TRUE(CSingleInstance::ParseSmsRequest(request, CSingleInstance::kSmsSendCommand, r, t));
    EXPECT_EQ(r, recipients);
    EXPECT_EQ(t, text);
    EXPECT_FALSE(CSingleInstance::ParseSmsRequest(request, CSingleInstance::kSmsOpenCommand, r, t));
  }
}

struct CopyRun {
  int code = -1;
  QString out, err;
};

// A second copy of the program, run without blocking the dashboard's loop.
CopyRun SecondCopy(DashboardHarness& h, const QStringList& args) {
  QProcess second;
  second.setWorkingDirectory(QString::fromStdString(h.Folder().Path()));
  second.start(EVDO_DASHBOARD_PATH, args);
  CopyRun run;
  if (!second.waitForStarted(5000)) return run;
  if (!QTest::qWaitFor([&] { return second.state() == QProcess::NotRunning; }, 30000)) {
    second.kill();
    second.waitForFinished(2000);
    return run;
  }
  run.code = second.exitStatus() == QProcess::NormalExit ? second.exitCode() : -2;
  run.out = QString::fromLocal8Bit(second.readAllStandardOutput());
  run.err = QString::fromLocal8Bit(second.readAllStandardError());
  return run;
}

TEST(SmsCommandLine, SendSmsGoesThroughTheRunningDashboardAndSaysHowEachNumberFared) {
  DashboardHarness h;
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    ASSERT_NE(w.Messages(), nullptr);
    CopyRun sent = SecondCopy(h, {"--send-sms", "13800000001;+8613800000002", "Two words\nand a line"});
    EXPECT_EQ(sent.code, 0) << sent.err.toStdString();
    EXPECT_TRUE(sent.out.contains("13800000001: sent")) << sent.out.toStdString();
    EXPECT_TRUE(sent.out.contains("+8613800000002: sent")) << sent.out.toStdString();
    ASSERT_NE(app.Sms(), nullptr);
    EXPECT_EQ(app.Sms()->Count(Outbox), 2);
    EXPECT_EQ(std::string(app.Sms()->GetRecord(Outbox, 0)->Text()), "Two words\nand a line");

    // The second number fails: the first was sent, the outcome says which.
    ASSERT_TRUE(h.Control("sms fail-next 1 --after 1"));
    CopyRun half = SecondCopy(h, {"--send-sms", "10086;10010;10000", "Hi"});
    EXPECT_EQ(half.code, 1);
    EXPECT_TRUE(half.out.contains("10086: sent")) << half.out.toStdString();
    EXPECT_TRUE(half.out.contains("10010: not sent")) << half.out.toStdString();
    EXPECT_TRUE(half.out.contains("10000: not sent (sending stopped earlier)")) << half.out.toStdString();

    // Refused before anything reaches the dashboard.
    CopyRun refused = SecondCopy(h, {"--send-sms", "10086;1008x", "Hi"});
    EXPECT_EQ(refused.code, kExitUsage);
    EXPECT_TRUE(refused.err.contains("\"1008x\" cannot be used")) << refused.err.toStdString();

    // An incoming call: the dashboard refuses and says why.
    w.IncomingCallFlag() = true;
    CopyRun busy = SecondCopy(h, {"--send-sms", "10086", "Hi"});
    w.IncomingCallFlag() = false;
    EXPECT_EQ(busy.code, 1);
    EXPECT_TRUE(busy.out.contains("could not be sent now")) << busy.out.toStdString();

    // An sms: link opens the write window filled in.
    CopyRun link = SecondCopy(h, {"sms:10086?body=Call%20me"});
    EXPECT_EQ(link.code, 0) << link.err.toStdString();
    ASSERT_TRUE(QTest::qWaitFor([&] { return !w.Messages()->WriteWindows().empty(); }, 5000));
    CSmsWriteDlg* window = w.Messages()->WriteWindows().front();
    EXPECT_EQ(window->Recipients(), "10086");
    EXPECT_EQ(window->Text(), "Call me");
    window->close();
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

TEST(SmsCommandLine, WithoutARunningDashboardSendSmsSaysSo) {
  DashboardHarness h;  // its private runtime folder: no dashboard listens there
  CopyRun run = SecondCopy(h, {"--send-sms", "10086", "Hi"});
  EXPECT_EQ(run.code, 3);
  EXPECT_TRUE(run.err.contains("not running")) << run.err.toStdString();
}

}  // namespace
}  // namespace evdo
