// The Internet page and the windows of the profiles and page settings, with
// stand-ins for the dial service and the wireless LAN: the profile rules of
// the windows, the buttons' appearances, the files' modes and the page's
// hand-off to the dial.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QMessageBox>
#include <QPushButton>
#include <QTreeWidget>
#include <QDeadlineTimer>
#include <QTimer>

#include <sys/stat.h>

#include <filesystem>

#include "core/settings/SetupData.h"
#include "internet/ui/InternetDlg.h"
#include "ui/text/QtText.h"
#include "internet/StatisticsHandOff.h"
#include "internet/ui/ProfileDialogs.h"
#include "internet/ui/StatisticsDlg.h"
#include "ui/StringIds.h"
#include "ui/notify/DesktopNotifier.h"
#include "tests/internet/DialFakes.h"
#include "tests/support/TempDir.h"
#include "wlan/ProvinceTable.h"

namespace evdo {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "internet-page-tests";
  static char* argv[] = {name, nullptr};
  static auto* app = new QApplication(argc, argv);
  return *app;
}

struct FakeBackend : WlanBackend {
  WlanSnapshot snapshot;
  FakeBackend() { snapshot.error = kWlanServiceMissing; }
  WlanSnapshot Snapshot() override { return snapshot; }
  void Connect(const WlanInterfaceInfo&, const WlanNetworkInfo&, bool, WindowPort& w, MessageId done) override {
    w.PostMessage(done, 0);
  }
  void Disconnect(const WlanInterfaceInfo&) override {}
};

// Answers every modal window that opens while the test runs: boxes are
// recorded and closed with answer, windows are accepted after prepare.
class ModalAnswerer {
public:
  explicit ModalAnswerer(QMessageBox::StandardButton answer = QMessageBox::Yes) : answer_(answer) {
    timer_.setInterval(20);
    QObject::connect(&timer_, &QTimer::timeout, [this] {
      QWidget* w = QApplication::activeModalWidget();
      if (w == nullptr) return;
      if (auto* box = qobject_cast<QMessageBox*>(w)) {
        boxes.push_back(box->text());
        QAbstractButton* b = box->button(answer_);
        if (b == nullptr) b = box->buttons().value(0);
        b->click();
        return;
      }
      if (auto* dialog = qobject_cast<QDialog*>(w); dialog != nullptr && dialog != handled_) {
        handled_ = dialog;
        if (prepare) prepare(dialog);
        QMetaObject::invokeMethod(dialog, "accept", Qt::QueuedConnection);
        handled_ = nullptr;
      }
    });
    timer_.start();
  }
  std::vector<QString> boxes;
  std::function<void(QDialog*)> prepare;

private:
  QMessageBox::StandardButton answer_;
  QTimer timer_;
  QDialog* handled_ = nullptr;
};

std::uint32_t ModeOf(const std::string& path) {
  struct stat st {};
  ::stat(path.c_str(), &st);
  return st.st_mode & 0777;
}

struct PageFixture : ::testing::Test {
  test::TempDir dir{true};
  CConnProfile store;
  test::FakeDial dial;
  FakeBackend wlan;
  test::FakeRecords records;
  std::unique_ptr<CInternetDlg> page;
  void SetUp() override {
    App();
    store.LoadOrReset();
    page = std::make_unique<CInternetDlg>(nullptr, store, dial, wlan, records);
  }
};

TEST_F(PageFixture, OpensWithTheDefaultProfileAndKeepsPasswordsOwnerOnly) {
  ASSERT_EQ(store.Count(), 1);
  ConnProfileRecord r{};
  store.Get(0, r);
  EXPECT_STREQ(r.name, CSetupData::Instance().Internet_szDefaultConnName);
  EXPECT_EQ(page->ProfileList().count(), 1);
  EXPECT_EQ(page->Fields().phone->text(), QString::fromLatin1(r.phoneNumber));
  EXPECT_EQ(ModeOf(kConnProfileFile), 0600u);
  // Selecting the profile wrote its name as the selection.
  EXPECT_TRUE(std::filesystem::exists(kConnSettingFile));
  // The page's settings file is written owner-only too.
  ModalAnswerer answer;
  answer.prepare = [](QDialog* d) { d->findChild<QCheckBox*>("connectAtStart")->setChecked(true); };
  page->OpenStartSettings();
  EXPECT_EQ(page->Settings().connectAtStart, 1);
  EXPECT_EQ(ModeOf(kConnSetDataFile), 0600u);
  // An older copy readable by others is tightened at the next save.
  ::chmod(kConnProfileFile, 0644);
  page->Fields().user->setText("someone");
  page->SaveProfile();
  EXPECT_EQ(ModeOf(kConnProfileFile), 0600u);
}

TEST_F(PageFixture, SaveRulesOfThePage) {
  ModalAnswerer answer;
  page->Fields().phone->setText("");
  page->SaveProfile();
  ASSERT_EQ(answer.boxes.size(), 1u);  // 222: nothing is saved
  page->Fields().phone->setText("#777");
  page->Fields().user->setText(QString(257, 'u'));
  page->SaveProfile();
  ASSERT_EQ(answer.boxes.size(), 2u);  // 302
  ConnProfileRecord r{};
  store.Get(0, r);
  EXPECT_STREQ(r.userName, "");
  page->Fields().user->setText(QString(256, 'u'));
  page->Fields().password->setText("pw");
  page->Fields().auth->button(kAuthPap)->setChecked(true);
  page->SaveProfile();
  EXPECT_EQ(answer.boxes.size(), 2u);
  store.Get(0, r);
  EXPECT_EQ(std::string(r.userName), std::string(256, 'u'));
  EXPECT_EQ(r.authType, kAuthPap);
}

TEST_F(PageFixture, NewProfileWindowRules) {
  CSetupData setup = CSetupData::Instance();
  {
    CDlgInternetNewConn dialog(store, setup);
    ModalAnswerer answer;
    dialog.accept();  // no name: 222
    EXPECT_EQ(dialog.result(), QDialog::Rejected);
    ASSERT_EQ(answer.boxes.size(), 1u);
    ConnProfileRecord r{};
    store.Get(0, r);
    dialog.FieldsWidget().name->setText(QString::fromLatin1(r.name));
    dialog.accept();  // the name exists: 223
    EXPECT_EQ(answer.boxes.size(), 2u);
    dialog.FieldsWidget().name->setText(QString(257, 'n'));
    dialog.accept();  // too long: 224
    EXPECT_EQ(answer.boxes.size(), 3u);
    dialog.FieldsWidget().name->setText(QString(256, 'n'));
    dialog.accept();
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
    EXPECT_EQ(answer.boxes.size(), 3u);
  }
  // Through the page: the new profile is appended, selected and shown.
  ModalAnswerer answer;
  answer.prepare = [](QDialog* d) {
    d->findChild<QLineEdit*>("name")->setText("Second");
    d->findChild<QLineEdit*>("phone")->setText("#778");
  };
  page->NewProfile();
  ASSERT_EQ(store.Count(), 2);
  EXPECT_EQ(page->ProfileList().currentText(), "Second");
  EXPECT_EQ(page->Fields().phone->text(), "#778");
  // The phone field takes dial characters only.
  page->Fields().phone->clear();
  page->Fields().phone->insert("12a;3");
  EXPECT_FALSE(page->Fields().phone->hasAcceptableInput() && page->Fields().phone->text() == "12a;3");
}

TEST_F(PageFixture, DeleteAsksAndManagerEdits) {
  ConnProfileRecord second = RecordFromNewProfile(ProfileFields{false, 0, "Second", "#778", "", "", ""});
  store.Add(second);
  {
    ModalAnswerer no(QMessageBox::No);
    page->ProfileList().setCurrentIndex(0);
    page->DeleteProfile();
    EXPECT_EQ(store.Count(), 2);
  }
  {
    ModalAnswerer yes(QMessageBox::Yes);
    page->DeleteProfile();
    EXPECT_EQ(store.Count(), 1);
    EXPECT_EQ(page->ProfileList().currentIndex(), 0);
  }
  // The manager: OK with an access point name over 50 is refused (302).
  CSetupData setup = CSetupData::Instance();
  CDlgInternetSetConn manager(store, setup, 0);
  ModalAnswerer answer;
  manager.FieldsWidget().apn->setText(QString(51, 'a'));
  manager.accept();
  EXPECT_EQ(answer.boxes.size(), 1u);
  EXPECT_EQ(manager.result(), QDialog::Rejected);
  manager.FieldsWidget().apn->setText("ctnet");
  manager.accept();
  ConnProfileRecord r{};
  store.Get(0, r);
  EXPECT_STREQ(r.apn, "ctnet");
}

TEST_F(PageFixture, ConnectButtonsFollowTheDial) {
  page->show();
  QPushButton* connect3G = page->Button(kCmdConnect3G);
  QPushButton* cancel = page->Button(kCmdCancel);
  EXPECT_TRUE(connect3G->isVisible());
  EXPECT_FALSE(cancel->isVisible());
  connect3G->click();
  QApplication::processEvents();
  EXPECT_FALSE(connect3G->isVisible());
  EXPECT_TRUE(cancel->isVisible());
  ASSERT_EQ(dial.dials.size(), 1u);  // no modem to ask for a preference: dialled at once
  EXPECT_EQ(dial.dials[0].phoneNumber, "#777");
  dial.Progress();
  dial.Event(kDialConnected);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_TRUE(page->IsConnectionUp());
  EXPECT_TRUE(page->Button(kCmdDisconnect3G)->isVisible());
  EXPECT_TRUE(page->Button(kCmdConnect1X)->isVisible());
  EXPECT_FALSE(page->Button(kCmdAutoConnect)->isVisible());
  EXPECT_FALSE(page->Fields().isEnabled() && page->Fields().parentWidget()->isEnabled());
  page->Button(kCmdDisconnect3G)->click();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  EXPECT_FALSE(page->IsConnectionUp());
  EXPECT_TRUE(connect3G->isVisible());
}

// What the command line's status report reads: the state, and the figures
// of the connection only while it is up.
TEST_F(PageFixture, FiguresFollowTheConnection) {
  EXPECT_EQ(page->Figures().state, kStateIdle);
  page->Button(kCmdConnect3G)->click();
  QApplication::processEvents();
  EXPECT_EQ(page->Figures().state, kState3GConnecting);
  dial.Progress();
  dial.Event(kDialConnected);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  dial.sample.connectDurationMs = 65000;
  dial.sample.bytesSent = 3000;
  dial.sample.bytesReceived = 70000;
  page->OnTimer(kTimerStatistics);
  ConnectionFigures f = page->Figures();
  EXPECT_EQ(f.state, kState3GConnected);
  EXPECT_EQ(f.durationMs, 65000);
  EXPECT_EQ(f.bytesSent, 3000u);
  EXPECT_EQ(f.bytesReceived, 70000u);
  page->Button(kCmdDisconnect3G)->click();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  f = page->Figures();
  EXPECT_EQ(f.state, kStateIdle);
  EXPECT_EQ(f.durationMs, 0);
  EXPECT_EQ(f.bytesSent, 0u);
}

TEST_F(PageFixture, ClosingThePageWhileConnectedHangsUpAndLogs) {
  page->Button(kCmdConnect1X)->click();
  dial.Progress();
  dial.Event(kDialConnected);
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  ASSERT_TRUE(page->IsConnectionUp());
  page.reset();
  EXPECT_EQ(dial.hangUps.size(), 1u);
  EXPECT_EQ(records.logs.size(), 1u);
}

// Keeps every notice it is given.
struct RecordingNotifier : DesktopNotifier {
  std::vector<Notice> notices;
  bool Notify(const Notice& notice) override {
    notices.push_back(notice);
    return true;
  }
};

// Connections made through the page reach the real stores: the page's own
// lists show them, and the usage limit warns in a box and on the desktop,
// near the limit once and once more when it is passed.
TEST(InternetPageRecords, ListsAndUsageLimitWarningsThroughThePage) {
  App();
  test::TempDir dir{true};
  CConnProfile store;
  store.LoadOrReset();
  test::FakeDial dial;
  FakeBackend wlan;
  CLogData log;
  CMonthLogData months;
  ASSERT_FALSE(log.LoadOrCreate().Failed());
  ASSERT_FALSE(months.LoadOrCreate().Failed());
  UsageLimit limit;
  limit.limitOn = 1;
  limit.limitType = kLimitByData;
  limit.dataLimit = 10;  // megabytes: near from 5 on
  ASSERT_TRUE(UsageLimitFile(kUsageLimitDataFile).Save(limit));
  StatisticsHandOff records(&log, &months);
  auto notifier = std::make_shared<RecordingNotifier>();
  auto page = std::make_unique<CInternetDlg>(nullptr, store, dial, wlan, records);
  // Without the stores the list buttons do nothing.
  EXPECT_FALSE(page->NetLogButton()->isEnabled());
  EXPECT_EQ(page->OpenNetLog(), nullptr);
  page->SetTrafficLogs(&log, &months);
  page->SetNotifier(notifier);
  EXPECT_TRUE(page->NetLogButton()->isEnabled());
  EXPECT_TRUE(page->MonthLogButton()->isEnabled());

  ModalAnswerer answer;
  auto connectOnce = [&] {
    page->Button(kCmdConnect3G)->click();
    dial.Progress();
    dial.Event(kDialConnected);
    for (int i = 0; i < 5; ++i) QApplication::processEvents();
    ASSERT_TRUE(page->IsConnectionUp());
  };
  auto tick = [&](std::uint32_t receivedMB, std::uint32_t ms) {
    dial.sample.bytesReceived = receivedMB << 20;
    dial.sample.bytesSent = 1024;
    dial.sample.connectDurationMs = ms;
    page->OnTimer(kTimerStatistics);
    // The answerer closes the boxes that opened.
    QDeadlineTimer deadline(2000);
    do QApplication::processEvents(QEventLoop::AllEvents, 30);
    while (QApplication::activeModalWidget() != nullptr && !deadline.hasExpired());
  };
  connectOnce();
  tick(1, 60000);
  EXPECT_TRUE(notifier->notices.empty());
  tick(6, 120000);  // 4 MB left: near
  tick(7, 180000);  // still near: no second warning
  ASSERT_EQ(notifier->notices.size(), 1u);
  EXPECT_EQ(notifier->notices[0].kind, NoticeKind::UsageLimit);
  EXPECT_EQ(notifier->notices[0].title, Str(kStrLimitNoticeTitle));
  EXPECT_EQ(notifier->notices[0].body, Str(kMsgNearDataLimit));
  EXPECT_TRUE(static_cast<bool>(notifier->notices[0].onActivated));
  tick(11, 240000);  // passed
  ASSERT_EQ(notifier->notices.size(), 2u);
  EXPECT_EQ(notifier->notices[1].body, Str(kMsgDataLimitPassed));
  tick(12, 300000);
  EXPECT_EQ(notifier->notices.size(), 2u);
  page->Button(kCmdDisconnect3G)->click();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();
  ASSERT_FALSE(page->IsConnectionUp());
  // Both warnings were shown in the page's box as well.
  EXPECT_NE(std::find(answer.boxes.begin(), answer.boxes.end(), Str(kMsgNearDataLimit)), answer.boxes.end());
  EXPECT_NE(std::find(answer.boxes.begin(), answer.boxes.end(), Str(kMsgDataLimitPassed)), answer.boxes.end());

  // A second connection warns again (passed at once: the month already holds 12 MB).
  connectOnce();
  tick(1, 60000);
  ASSERT_EQ(notifier->notices.size(), 3u);
  EXPECT_EQ(notifier->notices[2].body, Str(kMsgDataLimitPassed));
  page->Button(kCmdDisconnect3G)->click();
  for (int i = 0; i < 5; ++i) QApplication::processEvents();

  // The page's lists show both connections and their month.
  ASSERT_EQ(log.Count(), 2);
  CNetLog* list = page->OpenNetLog();
  ASSERT_NE(list, nullptr);
  EXPECT_EQ(list->List()->topLevelItemCount(), 2);
  EXPECT_EQ(list->parentWidget(), page.get());
  delete list;
  CMonthLog* monthly = page->OpenMonthLog();
  ASSERT_NE(monthly, nullptr);
  EXPECT_EQ(monthly->List()->topLevelItemCount(), 1);
  delete monthly;
  // Through the buttons: the windows open and close with the page.
  page->NetLogButton()->click();
  page->MonthLogButton()->click();
  EXPECT_EQ(page->findChildren<CNetLog*>().size(), 1);
  EXPECT_EQ(page->findChildren<CMonthLog*>().size(), 1);
  for (QWidget* w : page->findChildren<CBaseDlg*>()) w->close();
  page.reset();
}

TEST(WlanSettingWindow, ProvinceAndTexts) {
  App();
  ConnSetData data = DefaultConnSetData();
  {
    CWlanSettingDlg dialog(data);
    EXPECT_EQ(dialog.ProvinceIndex(), 0);
  }
  std::string beijing = ProvinceAnsi(1);
  std::memset(data.province, 0, sizeof data.province);
  std::memcpy(data.province, beijing.data(), beijing.size());
  CWlanSettingDlg dialog(data);
  EXPECT_EQ(dialog.ProvinceIndex(), 1);
  dialog.findChild<QComboBox*>("province")->setCurrentIndex(32);
  dialog.findChild<QLineEdit*>("text1")->setText("account");
  dialog.findChild<QLineEdit*>("text2")->setText("secret");
  dialog.Apply(data);
  EXPECT_EQ(std::string(data.province), ProvinceAnsi(32));
  EXPECT_STREQ(data.wlanText1, "account");
  EXPECT_STREQ(data.wlanText2, "");  // not kept without the flag
  dialog.findChild<QCheckBox*>("keep")->setChecked(true);
  dialog.Apply(data);
  EXPECT_STREQ(data.wlanText2, "secret");
  EXPECT_EQ(data.keepWlanText2, 1);
}

TEST(AutoOrderWindow, KeepsTheThreeTypes) {
  App();
  const std::int32_t order[3] = {kAutoLink1X, 7, kAutoLinkWlan};
  CAutolinkCol dialog(order);
  std::int32_t out[3];
  dialog.Order(out);
  EXPECT_EQ(out[0], kAutoLink1X);
  EXPECT_EQ(out[1], kAutoLink3G);  // a damaged value shows its position's type
  EXPECT_EQ(out[2], kAutoLinkWlan);
}

}  // namespace
}  // namespace evdo
