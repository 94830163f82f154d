// The call windows: the page with its pop-up against the simulated modem, the
// call history window, the ring and the desktop notice (on a private session
// bus with python3-dbusmock's notification daemon).
#include <gtest/gtest.h>

#include <QApplication>
#include <QDBusArgument>
#include <QDBusConnection>
#include <QDBusConnectionInterface>
#include <QDBusMessage>
#include <QDeadlineTimer>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QThread>
#include <QTreeWidget>

#include <sys/prctl.h>

#include <csignal>

#include "calls/HistData.h"
#include "calls/ui/CallDlg.h"
#include "calls/ui/CallHistoryDlg.h"
#include "tests/support/EnglishQtApp.h"
#include "ui/notify/DesktopNotifier.h"
#include "calls/ui/PopDlg.h"
#include "calls/ui/RingSound.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "phonebook/PbData.h"
#include "platform/PosixSerialDevice.h"
#include "tools/modemsim/SimulatedModem.h"
#include "ui/LanguageLibrary.h"
#include "ui/LanguageStrings.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

QApplication& App() { return test::EnglishQtApp(); }

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 5000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < timeoutMs) QApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

struct RecordingNotifier : DesktopNotifier {
  bool Notify(const Notice& notice) override {
    notices << notice.title + ": " + notice.body;
    return true;
  }
  QStringList notices;
};

class CallPageTest : public ::testing::Test {
protected:
  void SetUp() override {
    App();
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
    setup_.Main_nCall = 1;
    ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
    ASSERT_TRUE(dispatcher_.StartThreads());
    dispatcher_.ParserStartEvent().Set();
    history_.Load();
    ContactRecord alice = EmptyContact();
    SetFieldValue(alice, ContactField::Name, "Alice");
    SetFieldValue(alice, ContactField::Mobile, "13800138000");
    phonebook_.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult{}; });
    phonebook_.Append(alice);

    CallPageServices s;
    s.exchange = &exchange_;
    s.dispatcher = &dispatcher_;
    s.history = &history_;
    s.phonebook = &phonebook_;
    s.notifier = notifier_;
    s.clearIncomingFlag = [this] { flagCleared_ = true; };
    s.callIndicator = [this](int value, int missed) { indicator_ = {value, missed}; };
    page_ = std::make_unique<CCallDlg>(s);
    page_->RegisterNotifications();
    page_->show();
  }
  void TearDown() override {
    page_.reset();
    dispatcher_.Shutdown();
    port_.Close();
    modem_.Stop();
  }
  std::string State() { return modem_.Control("call state"); }

  QTemporaryDir dir_;
  modemsim::SimulatedModem modem_;
  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  CCommandExchange exchange_{port_, dispatcher_};
  CHistData history_{(dir_.path() + "/HistData.dat").toStdString()};
  CPbData phonebook_;
  std::shared_ptr<RecordingNotifier> notifier_ = std::make_shared<RecordingNotifier>();
  std::unique_ptr<CCallDlg> page_;
  bool flagCleared_ = false;
  std::pair<int, int> indicator_{-1, -1};
};

TEST_F(CallPageTest, DialFromTheKeypadThenTheFarEndHangsUp) {
  for (const char* key : {"key1", "key0", "key0", "key8", "key6"})
    page_->findChild<QPushButton*>(key)->click();
  page_->findChild<QPushButton*>("dial")->click();
  ASSERT_TRUE(WaitFor([&] { return page_->Control().InCall(); }));
  EXPECT_NE(State().find("active dialled 10086"), std::string::npos);
  page_->findChild<QPushButton*>("key5")->click();
  ASSERT_TRUE(WaitFor([&] { return State().find("tones \"5\"") != std::string::npos; }));
  modem_.Control("call hangup");
  ASSERT_TRUE(WaitFor([&] { return !page_->Control().InCall(); }));
  EXPECT_EQ(history_.Count(kDialledCalls), 1);
}

TEST_F(CallPageTest, FailedDialsTellTheUserAndRecordNothing) {
  for (const char* outcome : {"busy", "no-carrier", "error"}) {
    modem_.Control(std::string("call next-dial ") + outcome);
    ASSERT_TRUE(page_->Control().DialNumber("10086"));
    ASSERT_TRUE(WaitFor([&] { return !page_->Control().Busy(); })) << outcome;
    EXPECT_FALSE(page_->Control().InCall()) << outcome;
    const int expected = std::string(outcome) == "busy" ? kStrNumberBusy : kStrCallFailed;
    auto* box = page_->findChild<QWidget*>(QString("message%1").arg(expected));
    ASSERT_NE(box, nullptr) << outcome;
    delete box;
  }
  EXPECT_EQ(history_.Count(kDialledCalls), 0);
}

TEST_F(CallPageTest, IncomingCallShowsThePopupWithTheContactAndIsAnswered) {
  modem_.Control("call incoming 13800138000");
  ASSERT_TRUE(WaitFor([&] { return page_->Popup().isVisible() && page_->Popup().NameText() == "Alice"; }));
  EXPECT_EQ(page_->Popup().NumberText(), "13800138000");
  EXPECT_EQ(indicator_.first, 1);
  page_->Popup().findChild<QPushButton*>("answer")->click();
  ASSERT_TRUE(WaitFor([&] { return page_->Control().InCall(); }));
  EXPECT_FALSE(page_->Popup().isVisible());
  EXPECT_TRUE(flagCleared_);
  EXPECT_NE(State().find("active incoming 13800138000"), std::string::npos);
  EXPECT_TRUE(page_->DisplayText().endsWith("Alice"));
  page_->findChild<QPushButton*>("end")->click();
  ASSERT_TRUE(WaitFor([&] { return !page_->Control().InCall(); }));
  EXPECT_EQ(history_.Count(kReceivedCalls), 1);
  EXPECT_TRUE(notifier_->notices.isEmpty());
}

TEST_F(CallPageTest, RejectedCallStopsRingingAndIsNotAnnounced) {
  modem_.Control("call incoming 10010");
  ASSERT_TRUE(WaitFor([&] { return page_->Popup().isVisible(); }));
  page_->Popup().findChild<QPushButton*>("reject")->click();
  ASSERT_TRUE(WaitFor([&] { return history_.Count(kMissedCalls) == 1; }));
  EXPECT_NE(State().find("call idle"), std::string::npos);
  EXPECT_FALSE(page_->Popup().isVisible());
  EXPECT_TRUE(notifier_->notices.isEmpty());
}

TEST_F(CallPageTest, CallerWhoGivesUpLeavesAMissedCallANoticeAndTheIndicator) {
  modem_.Control("call incoming 13800138000");
  ASSERT_TRUE(WaitFor([&] { return page_->Popup().NumberText() == "13800138000"; }));
  modem_.Control("call hangup");
  ASSERT_TRUE(WaitFor([&] { return history_.Count(kMissedCalls) == 1; }));
  EXPECT_FALSE(page_->Popup().isVisible());
  ASSERT_EQ(notifier_->notices.size(), 1);
  EXPECT_EQ(notifier_->notices[0], "Missed Call: Missed call from Alice (13800138000)");
  EXPECT_EQ(indicator_, std::make_pair(1, 1));
  CCallHistoryDlg* window = page_->OpenHistory();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(indicator_, std::make_pair(0, 0));
  EXPECT_EQ(window->ShownList(), kMissedCalls);
  ASSERT_EQ(window->Rows().topLevelItemCount(), 1);
  EXPECT_EQ(window->Rows().topLevelItem(0)->text(0), "Alice");
}

HistRecord Call(const char* number, int minute, std::int64_t duration) {
  HistRecord r{};
  r.SetNumber(number);
  r.SetStart(DateTime::FromLocal(2024, 5, 1, 10, minute, 0));
  r.duration = duration;
  return r;
}

TEST(CallHistoryWindow, SortsDeletesAndCallsBack) {
  App();
  QTemporaryDir dir;
  CHistData history((dir.path() + "/HistData.dat").toStdString());
  history.Load();
  history.Add(kDialledCalls, Call("222", 1, 30));
  history.Add(kDialledCalls, Call("111", 2, 10));
  history.Add(kDialledCalls, Call("333", 3, 20));
  std::vector<std::string> dialled;
  HistoryWindowServices s;
  s.history = &history;
  s.dial = [&](const std::string& n) {
    dialled.push_back(n);
    return true;
  };
  CCallHistoryDlg window(s);
  std::vector<int> asked, told;
  window.ask = [&](int id) {
    asked.push_back(id);
    return true;
  };
  window.tell = [&](int id) { told.push_back(id); };
  window.ShowList(kDialledCalls);
  auto column = [&](int c) {
    QStringList out;
    for (int i = 0; i < window.Rows().topLevelItemCount(); ++i) out << window.Rows().topLevelItem(i)->text(c);
    return out;
  };
  EXPECT_EQ(column(1), (QStringList{"333", "111", "222"}));  // newest first
  window.ClickColumn(kHistDurationColumn);
  EXPECT_EQ(column(1), (QStringList{"111", "333", "222"}));
  window.ClickColumn(kHistDurationColumn);
  EXPECT_EQ(column(1), (QStringList{"222", "333", "111"}));
  window.CallBack();  // nothing selected
  EXPECT_EQ(told, std::vector<int>{kStrSelectEntry});
  window.Rows().setCurrentItem(window.Rows().topLevelItem(1));
  window.CallBack();
  EXPECT_EQ(dialled, std::vector<std::string>{"333"});
  window.Rows().setCurrentItem(window.Rows().topLevelItem(0));
  window.DeleteSelected();
  EXPECT_EQ(asked, std::vector<int>{kStrConfirmDelete});
  EXPECT_EQ(column(1), (QStringList{"333", "111"}));
  EXPECT_EQ(history.Count(kDialledCalls), 2);
  window.DeleteAll();
  EXPECT_EQ(history.Count(kDialledCalls), 0);
  EXPECT_EQ(window.Rows().topLevelItemCount(), 0);
  // A recorded call shows in the open window.
  history.Add(kDialledCalls, Call("444", 4, 5));
  window.OnMessage(kMsgCallRecorded, kDialledCalls, 0);
  EXPECT_EQ(column(1), QStringList{"444"});
}

TEST(CallHistoryWindow, SendsAMessageAndSavesANumberThroughTheirWindows) {
  App();
  QTemporaryDir dir;
  CHistData history((dir.path() + "/HistData.dat").toStdString());
  history.Load();
  history.Add(kMissedCalls, Call("", 1, 0));
  history.Add(kMissedCalls, Call("13800138000", 2, 0));
  CPbData phonebook;
  phonebook.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult{}; });
  std::vector<std::string> written, saved;
  HistoryWindowServices s;
  s.history = &history;
  s.phonebook = &phonebook;
  s.writeMessage = [&](const std::string& n) { written.push_back(n); };
  s.saveToPhonebook = [&](const std::string& n, QWidget* over) {
    saved.push_back(n);
    EXPECT_NE(over, nullptr);
  };
  CCallHistoryDlg window(s);
  std::vector<int> told;
  window.tell = [&](int id) { told.push_back(id); };
  window.ShowList(kMissedCalls);
  ASSERT_TRUE(window.findChild<QPushButton*>("message")->isVisibleTo(&window));
  window.SendMessage();
  EXPECT_EQ(told, std::vector<int>{kStrSelectEntry});
  window.Rows().setCurrentItem(window.Rows().topLevelItem(0));
  window.SendMessage();
  window.SaveToPhonebook();
  EXPECT_EQ(written, std::vector<std::string>{"13800138000"});
  EXPECT_EQ(saved, std::vector<std::string>{"13800138000"});
  // A call without a number has nothing to send or keep.
  told.clear();
  window.Rows().setCurrentItem(window.Rows().topLevelItem(1));
  window.SendMessage();
  window.SaveToPhonebook();
  EXPECT_EQ(told, (std::vector<int>{kStrNoNumber, kStrNoNumber}));
  EXPECT_EQ(written.size(), 1u);
  EXPECT_EQ(saved.size(), 1u);
  // Without a message window the command is not offered.
  HistoryWindowServices plain;
  plain.history = &history;
  CCallHistoryDlg without(plain);
  EXPECT_FALSE(without.findChild<QPushButton*>("message")->isVisibleTo(&without));
}

TEST(RingSound, PlaysTheFileAgainAndAgainUntilStopped) {
  App();
  QTemporaryDir dir;
  const QString log = dir.path() + "/plays";
  QFile player(dir.path() + "/aplay");
  ASSERT_TRUE(player.open(QIODevice::WriteOnly));
  player.write(("#!/bin/sh\necho \"$1\" >> '" + log + "'\nsleep 0.05\n").toUtf8());
  player.close();
  player.setPermissions(QFileDevice::ExeOwner | QFileDevice::ReadOwner | QFileDevice::WriteOwner);
  QFile sound(dir.path() + "/call.wav");
  ASSERT_TRUE(sound.open(QIODevice::WriteOnly));
  sound.close();
  const QByteArray path = qgetenv("PATH");
  qputenv("PATH", dir.path().toUtf8());
  CRingSound ring;
  ring.SetFile(dir.path() + "/call.wav");
  ring.Start();
  EXPECT_TRUE(ring.IsRinging());
  EXPECT_TRUE(WaitFor([&] { return ring.Plays() >= 3; }));
  ring.Stop();
  const int plays = ring.Plays();
  WaitFor([] { return false; }, 600);
  EXPECT_EQ(ring.Plays(), plays);
  qputenv("PATH", dir.path().toUtf8() + "/none");
  CRingSound silent;
  silent.Start();  // no player: silent, no error
  EXPECT_FALSE(silent.IsRinging());
  qputenv("PATH", path);
}

}  // namespace
}  // namespace evdo
