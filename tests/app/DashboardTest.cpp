// The dashboard against the simulated modem, in the test process (offscreen):
// start-up to the main window, the indicators, the notification-area icon,
// closing, a second start, device removal, suspend and resume.
#include <gtest/gtest.h>

#include <filesystem>

#include "calls/HistData.h"
#include "calls/ui/CallDlg.h"
#include "calls/ui/PopDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QFileInfo>
#include <QUrl>
#include <QLabel>
#include <QListWidget>
#include <QMenu>
#include <QProcess>
#include <QRadioButton>
#include <QTest>

#include "app/IndicatorPictures.h"
#include "app/IndicatorStrip.h"
#include "app/MainWindowPages.h"
#include "app/PreMsg.h"
#include "ui/text/QtText.h"
#include "app/StoreLoadMessage.h"
#include "calls/HistData.h"
#include "device/SerialPort.h"
#include "internet/ConnSetData.h"
#include "internet/LogData.h"
#include "internet/MonthLogData.h"
#include "sms/SmsData.h"
#include "tests/app/DashboardHarness.h"
#include "tests/app/MockLogind.h"
#include "ui/LanguageStrings.h"
#include "ui/skin/CBasePage.h"

namespace evdo {
namespace {

using test::Accept;
using test::DashboardHarness;

// The process's private system bus with the mocked login manager: made
// before anything in the process touches the system bus.
test::MockLogind& Logind() { return test::SharedLogind(); }
const bool kLogindStarted = (Logind(), true);

bool WaitFor(const std::function<bool()>& pred, int ms = 20000) { return QTest::qWaitFor(pred, ms); }

int Picture(CModaraDlg& w, int indicator) { return w.Indicators().PictureOf(indicator); }
QString Text(CModaraDlg& w, int indicator) { return w.Indicators().TextOf(indicator); }

void WriteCloseSettings(DashboardHarness& h, std::int32_t action, std::int32_t remember) {
  ConnSetData data = DefaultConnSetData();
  data.closeAction = action;
  data.rememberClose = remember;
  ASSERT_TRUE(ConnSetDataFile(h.Folder().File(kConnSetDataFile)).Save(data));
}

ConnSetData ReadCloseSettings(DashboardHarness& h) {
  ConnSetData data{};
  ConnSetDataFile(h.Folder().File(kConnSetDataFile)).Load(data, DefaultConnSetData());
  return data;
}

TEST(Dashboard, StartUpReachesTheMainWindowWithWhatTheModemReports) {
  DashboardHarness h;
  ASSERT_TRUE(h.Control("devstatus signal 20"));  // level 3
  ASSERT_TRUE(h.Control("devstatus nwrat 1 1"));  // 1X
  ASSERT_TRUE(h.Control("devstatus roam 1"));
  ASSERT_TRUE(h.Control("devstatus operator CTC"));
  ASSERT_TRUE(h.Control("identity serial 49015420323751"));
  int code = h.Run([&](CModaraApp& app, CModaraDlg& w) {
    EXPECT_TRUE(w.isVisible());
    EXPECT_EQ(w.windowTitle(), QString::fromUtf8("无线宽带"));
    EXPECT_EQ(app.Picture(), nullptr) << "the initialisation closes the picture window";
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorSignal) == 232; }));
    EXPECT_EQ(Picture(w, kIndicatorNetworkType), 4084);
    EXPECT_EQ(Picture(w, kIndicatorRoaming), 254);
    EXPECT_EQ(Text(w, kIndicatorOperator), "CTC");
    EXPECT_EQ(Text(w, kIndicatorSentKb), Str(kStrSentPrefix) + " 0 KB");
    EXPECT_EQ(Text(w, kIndicatorReceiveRate), "0 bps");
    // The About window's device texts come from the modem after the sequence.
    EXPECT_TRUE(WaitFor([&] { return w.VersionText() == "SIM.1.0.0"; }));
    EXPECT_EQ(w.IdentityText(), "490154203237518");
    // The identity queries follow the sequence; then no command is outstanding.
    EXPECT_TRUE(WaitFor([&] { return app.Port().GetState() == CSerialPort::Ready; }));
    // Every store was loaded (and the missing files made where the store does).
    EXPECT_NE(app.Phonebook(), nullptr);
    EXPECT_NE(app.Sms(), nullptr);
    EXPECT_NE(app.History(), nullptr);
    EXPECT_NE(app.Profiles(), nullptr);
    EXPECT_LT(app.Timing().shownMs, app.Timing().readyMs);
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
  EXPECT_EQ(code, 0);
}

// Start-up adds a progress dot per step; without the call page there is no
// call history to load and one dot less.
class DashboardCallPage : public ::testing::TestWithParam<int> {};

TEST_P(DashboardCallPage, DecidesTheCallHistoryAndTheProgressDots) {
  const int call = GetParam();
  DashboardHarness h;
  h.Folder().WriteFile("EVDO.ini", "[Main]\nMain_nCall=" + std::to_string(call) + "\n");
  int longest = 0;
  h.Watch([&](CModaraApp& app) {
    if (app.Picture() != nullptr) longest = std::max(longest, static_cast<int>(app.Picture()->Text().size()));
  });
  bool history = false;
  bool callPage = false;
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    history = app.History() != nullptr;
    callPage = w.Page(PageKind::Calls) != nullptr;
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
  EXPECT_EQ(history, call != 0);
  EXPECT_EQ(callPage, call != 0);
  EXPECT_EQ(longest, call != 0 ? 6 : 5);
}

INSTANTIATE_TEST_SUITE_P(Main_nCall, DashboardCallPage, ::testing::Values(0, 1));

// An incoming call through the whole program: the flag that holds back the
// message exchanges, the pop-up, the indicator; rejected, all is clear again.
TEST(Dashboard, IncomingCallSetsTheFlagRingsAndIsRejected) {
  DashboardHarness h;
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    auto* page = dynamic_cast<CCallDlg*>(w.Page(PageKind::Calls));
    ASSERT_NE(page, nullptr);
    ASSERT_TRUE(h.Control("call incoming 10010"));
    ASSERT_TRUE(WaitFor([&] { return page->Popup().isVisible(); }));
    EXPECT_TRUE(w.IncomingCallFlag());
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorCall) == 246; }));
    page->Control().Reject();
    EXPECT_TRUE(WaitFor([&] { return app.History()->Count(kMissedCalls) == 1; }));
    EXPECT_FALSE(w.IncomingCallFlag());
    EXPECT_FALSE(page->Popup().isVisible());
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

TEST(Dashboard, NotificationsFromTheModemChangeTheIndicators) {
  DashboardHarness h;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    ASSERT_TRUE(WaitFor([&] { return Picture(w, kIndicatorSignal) == 232; }));
    ASSERT_TRUE(h.Control("notify +RSSI: 5,99"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorSignal) == 234; }));
    ASSERT_TRUE(h.Control("notify +RSSI: 6,99"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorSignal) == kPicSignalNone; }));
    EXPECT_TRUE(WaitFor([&] { return Text(w, kIndicatorOperator) == Str(kStrNoNetwork); }));
    ASSERT_TRUE(h.Control("notify Roaming status: 1"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorRoaming) == 254; }));
    ASSERT_TRUE(h.Control("notify Network Service: 1"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorNetworkType) == 4084; }));
    ASSERT_TRUE(h.Control("notify Srv status: 0"));
    EXPECT_TRUE(WaitFor([&] { return Text(w, kIndicatorService) == Str(kStrServiceNone); }));
    ASSERT_TRUE(h.Control("notify Current PLMN: \"OtherNet\""));
    EXPECT_TRUE(WaitFor([&] { return Text(w, kIndicatorOperator) == "OtherNet"; }));
    // A value outside an indicator's table changes nothing.
    w.Port().PostMessage(kMsgStatus, kIndicatorNetworkType, 7);
    w.Port().PostMessage(kMsgStatus, kIndicatorRoaming, 10);
    ASSERT_TRUE(h.Control("notify Roaming status: 0"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorRoaming) == kPicBlank; }));
    EXPECT_EQ(Picture(w, kIndicatorNetworkType), 4084);
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

TEST(Dashboard, TrayIconShowsHidesAndLabelsItsMenu) {
  DashboardHarness h;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    w.Port().PostMessage(kMsgTrayIcon, kTrayIconId, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return w.TrayMenu()->isVisible(); }));
    QAction* toggle = w.TrayMenu()->findChild<QAction*>("item32779");
    ASSERT_NE(toggle, nullptr);
    EXPECT_EQ(toggle->text(), Str(kStrTrayHide));
    w.TrayMenu()->hide();
    toggle->trigger();
    EXPECT_TRUE(WaitFor([&] { return !w.isVisible() && w.ShowState() == kHiddenState; }));
    w.Port().PostMessage(kMsgTrayIcon, kTrayIconId, WM_RBUTTONUP);
    ASSERT_TRUE(WaitFor([&] { return w.TrayMenu()->isVisible(); }));
    EXPECT_EQ(toggle->text(), Str(kStrTrayShow));
    w.TrayMenu()->hide();
    // An event of another icon is ignored; a double click on ours shows.
    w.Port().PostMessage(kMsgTrayIcon, 298, WM_LBUTTONDBLCLK);
    QTest::qWait(100);
    EXPECT_FALSE(w.isVisible());
    w.Port().PostMessage(kMsgTrayIcon, kTrayIconId, WM_LBUTTONDBLCLK);
    EXPECT_TRUE(WaitFor([&] { return w.isVisible() && w.ShowState() == kShownState; }));
    // The skin settings page's skin change.
    w.ModifyStyle(CBaseDlg::kStyleMinimizeBox, 0);
    w.Port().PostMessage(kMsgSkinChange, 0, 1);
    EXPECT_TRUE(WaitFor([&] { return w.SkinStyle() == 1; }));
    EXPECT_TRUE(w.IsSkinned());
    EXPECT_TRUE(w.WindowStyle() & CBaseDlg::kStyleMinimizeBox);
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

TEST(Dashboard, ASecondStartRaisesTheFirstAndEnds) {
  DashboardHarness h;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    w.Port().PostMessage(WM_COMMAND, kCmdToggleShown);
    ASSERT_TRUE(WaitFor([&] { return !w.isVisible(); }));
    QProcess second;
    second.setWorkingDirectory(QString::fromStdString(h.Folder().Path()));
    second.start(EVDO_DASHBOARD_PATH, {"--port", h.Options().portPath});
    ASSERT_TRUE(second.waitForStarted(5000));
    EXPECT_TRUE(WaitFor([&] { return second.state() == QProcess::NotRunning; }, 10000));
    EXPECT_EQ(second.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(second.exitCode(), 0);
    EXPECT_TRUE(WaitFor([&] { return w.isVisible() && w.ShowState() == kShownState; }));
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

struct CloseCase {
  const char* name;
  std::int32_t storedAction;
  std::int32_t storedRemember;
  const char* answer;  // "hide", "exit", "cancel" for the question; "" when not asked
  bool ends;
  std::int32_t savedAction;
  std::int32_t savedRemember;
};

class DashboardClose : public ::testing::TestWithParam<CloseCase> {};

TEST_P(DashboardClose, FollowsTheRememberedOrChosenAction) {
  const CloseCase& c = GetParam();
  DashboardHarness h;
  WriteCloseSettings(h, c.storedAction, c.storedRemember);
  h.OnModal("CCloseTipSettingDlg", [&](QWidget& dialog) {
    std::string answer = c.answer;
    if (answer == "cancel") return static_cast<QDialog&>(dialog).reject();
    auto buttons = dialog.findChildren<QRadioButton*>();
    buttons[answer == "hide" ? 0 : 1]->setChecked(true);
    dialog.findChild<QCheckBox*>()->setChecked(true);
    Accept(dialog);
  });
  h.OnModal("FindDevice", Accept);
  bool stayed = false;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    w.close();
    QTest::qWait(300);
    stayed = !w.EndedByClose();
    if (!c.ends) {
      EXPECT_EQ(w.isVisible(), std::string(c.answer) == "cancel");
      w.EndModalLoop(false);
    }
  });
  bool asked = std::find(h.ModalsSeen().begin(), h.ModalsSeen().end(), "CCloseTipSettingDlg") !=
               h.ModalsSeen().end();
  bool findDevice = std::find(h.ModalsSeen().begin(), h.ModalsSeen().end(), "FindDevice") != h.ModalsSeen().end();
  EXPECT_EQ(asked, std::string(c.answer) != "");
  EXPECT_EQ(!stayed, c.ends);
  EXPECT_EQ(findDevice, c.ends) << "the last box follows only a real close";
  ConnSetData saved = ReadCloseSettings(h);
  EXPECT_EQ(saved.closeAction, c.savedAction);
  EXPECT_EQ(saved.rememberClose, c.savedRemember);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, DashboardClose,
    ::testing::Values(CloseCase{"RememberedHide", 0, 1, "", false, 0, 1},
                      CloseCase{"RememberedExit", 1, 1, "", true, 1, 1},
                      CloseCase{"AskedHide", 1, 0, "hide", false, 0, 1},
                      CloseCase{"AskedExit", 0, 0, "exit", true, 1, 1},
                      CloseCase{"AskedCancelled", 1, 0, "cancel", false, 1, 0}),
    [](const auto& info) { return std::string(info.param.name); });

// An Internet page that reports a connection, as the real page will, and
// keeps what the main window hands on to it.
class ConnectedPage : public CBasePage, public InternetPageLink {
public:
  static bool connected;
  static int shutdowns;
  static int startActions;
  static std::vector<std::pair<WParam, LParam>> received;
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override {
    if (message == kMsgInternetStatus) received.emplace_back(wParam, lParam);
  }
  bool IsConnectionUp() const override { return connected; }
  void StartAction() override { ++startActions; }
  void ArmShutdownTimer() override { ++shutdowns; }
  void ShowOperatorInformation() override {}
};
bool ConnectedPage::connected = true;
int ConnectedPage::shutdowns = 0;
int ConnectedPage::startActions = 0;
std::vector<std::pair<WParam, LParam>> ConnectedPage::received;

TEST(Dashboard, ClosingIsRefusedWhileConnectedAndTheInternetPageGetsTheNetworkIndicators) {
  DashboardHarness h;
  WriteCloseSettings(h, 1, 1);
  MainWindowPages::Register(PageKind::Internet, [](CModaraDlg&, QString& title) {
    title = "Internet";
    return new ConnectedPage();
  });
  h.OnModal("message227", Accept);
  h.OnModal("FindDevice", Accept);
  ConnectedPage::connected = true;
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    ASSERT_NE(w.Page(PageKind::Internet), nullptr);
    EXPECT_EQ(w.Tabs().count(), 4);  // messages, calls, phonebook and this one
    EXPECT_EQ(ConnectedPage::startActions, 1) << "timer 55 runs the start action once";
    using Forwarded = std::pair<WParam, LParam>;
    auto got = [](Forwarded f) {
      auto& r = ConnectedPage::received;
      return std::find(r.begin(), r.end(), f) != r.end();
    };
    EXPECT_TRUE(WaitFor([&] { return got(Forwarded{kInternetSignal, 3}) && got(Forwarded{kInternetNetworkType, 2}); }));
    w.close();
    EXPECT_TRUE(WaitFor([&] { return !h.MessagesSeen().empty(); }));
    EXPECT_TRUE(w.isVisible());
    EXPECT_FALSE(w.EndedByClose());
    ConnectedPage::connected = false;
    w.close();
  });
  MainWindowPages::Unregister(PageKind::Internet);
  ASSERT_FALSE(h.MessagesSeen().empty());
  EXPECT_EQ(h.MessagesSeen().front(), Str(kStrDisconnectBeforeClosing));
  EXPECT_EQ(ConnectedPage::shutdowns, 1);
}

bool ExitPictureShown() {
  const auto windows = QApplication::topLevelWidgets();
  return std::any_of(windows.begin(), windows.end(),
                     [](QWidget* w) { return w->objectName() == "ExitPicture" && w->isVisible(); });
}

TEST(Dashboard, RemovingTheDeviceShowsTheExitPictureAndEnds) {
  DashboardHarness h;
  h.OnModal("FindDevice", Accept);
  bool pictureShown = false;
  QElapsedTimer clock;
  int code = h.Run([&](CModaraApp&, CModaraDlg&) {
    clock.start();
    ASSERT_TRUE(h.Control("hangup"));
    pictureShown = WaitFor([] { return ExitPictureShown(); }, 5000);
  });
  EXPECT_TRUE(pictureShown);
  EXPECT_EQ(code, 0);
  EXPECT_GE(clock.elapsed(), 1900) << "the exit picture stays two seconds";
  // The end of the main window's loop is followed by the last box, whatever
  // ended it.
  EXPECT_EQ(std::count(h.ModalsSeen().begin(), h.ModalsSeen().end(), "FindDevice"), 1);
}

// Removal during start-up ends the process at once: run as a program.
TEST(Dashboard, RemovingTheDeviceDuringStartUpEndsAtOnce) {
  DashboardHarness h;
  QProcess dashboard;
  dashboard.setWorkingDirectory(QString::fromStdString(h.Folder().Path()));
  dashboard.start(EVDO_DASHBOARD_PATH, {"--port", h.Options().portPath});
  ASSERT_TRUE(dashboard.waitForStarted(5000));
  // The first command of the initialisation: the start-up picture still shows.
  ASSERT_TRUE(WaitFor([&] { return h.Modem().Control("history").find("ATE0") != std::string::npos; }, 20000));
  QElapsedTimer clock;
  clock.start();
  ASSERT_TRUE(h.Control("hangup"));
  ASSERT_TRUE(dashboard.waitForFinished(5000));
  EXPECT_LT(clock.elapsed(), 1500) << "no exit picture during start-up";
  EXPECT_EQ(dashboard.exitStatus(), QProcess::NormalExit);
  EXPECT_EQ(dashboard.exitCode(), 0);
}

TEST(Dashboard, DamagedStoreFilesAreSetAsideAndReported) {
  DashboardHarness h;
  h.Folder().WriteFile("HistData.dat", "not a call history");
  h.OnModal("loadProblems", Accept);
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    EXPECT_TRUE(WaitFor([&] { return !h.MessagesSeen().empty(); }));
    EXPECT_TRUE(app.History()->IsEmpty(kAllHistLists));
    w.EndModalLoop(false);
  });
  ASSERT_FALSE(h.MessagesSeen().empty());
  EXPECT_TRUE(h.MessagesSeen().front().startsWith("HistData.dat")) << h.MessagesSeen().front().toStdString();
  EXPECT_EQ(h.Folder().ReadFile("HistData.dat.damaged"), "not a call history");
}

// The two connection logs are made at start-up when they are missing, and a
// damaged one is set aside and made again, empty.
TEST(Dashboard, MissingOrDamagedConnectionLogsAreCreatedEmpty) {
  DashboardHarness h;
  h.Folder().WriteFile(kMonthLogDataFile, "not a monthly log");
  h.OnModal("loadProblems", Accept);
  h.Run([&](CModaraApp&, CModaraDlg& w) { w.EndModalLoop(false); });
  const Bytes empty{0, 0, 0, 0};  // a count of 0
  EXPECT_EQ(h.Folder().ReadBytes(kLogDataFile), empty);
  EXPECT_EQ(h.Folder().ReadBytes(kMonthLogDataFile), empty);
  EXPECT_EQ(h.Folder().ReadFile(std::string(kMonthLogDataFile) + ".damaged"), "not a monthly log");
}

// A message store that cannot be read is left where it is (not renamed as
// if damaged), the inbox starts empty and the user is told in the language
// of the dashboard.
TEST(Dashboard, AnUnreadableStoreIsLeftInPlaceAndReported) {
  DashboardHarness h;
  std::filesystem::create_directory(h.Folder().File("SmsData.dat"));
  h.Folder().WriteFile("SmsData.dat/inside", "kept");
  h.OnModal("loadProblems", Accept);
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    EXPECT_TRUE(WaitFor([&] { return !h.MessagesSeen().empty(); }));
    EXPECT_TRUE(app.Sms()->IsEmpty(AllBoxes));
    w.EndModalLoop(false);
  });
  ASSERT_FALSE(h.MessagesSeen().empty());
  const QString expected = FromAnsi(FillPlaceholders(LoadString(kStrStoreUnreadable), {"SmsData.dat"}));
  EXPECT_EQ(h.MessagesSeen().front(), expected) << h.MessagesSeen().front().toStdString();
  EXPECT_EQ(h.Folder().ReadFile("SmsData.dat/inside"), "kept");
  EXPECT_FALSE(std::filesystem::exists(h.Folder().File("SmsData.dat.damaged")));
}

TEST(Dashboard, SuspendClosesThePortAndResumeReconnects) {
  ASSERT_TRUE(Logind().IsRunning()) << Logind().Error().toStdString();
  DashboardHarness h;
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    ASSERT_TRUE(WaitFor([&] { return Logind().SleepInhibitorModes() == QStringList{"delay"}; }));
    ASSERT_TRUE(Logind().EmitPrepareForSleep(true));
    EXPECT_TRUE(WaitFor([&] { return app.Port().GetState() == CSerialPort::Closed; }));
    EXPECT_TRUE(WaitFor([&] { return Logind().SleepInhibitorModes().isEmpty(); }));
    // The resume sequence waits with the event loop running: watch it.
    QElapsedTimer clock;
    bool reconnectingShown = false, minimisedMeanwhile = false;
    qint64 reopenedAfter = -1;
    QTimer watch;
    QObject::connect(&watch, &QTimer::timeout, [&] {
      if (app.Picture() != nullptr && app.Picture()->Text() == Str(kStrReconnecting)) {
        reconnectingShown = true;
        minimisedMeanwhile = minimisedMeanwhile || w.isMinimized();
      }
      if (reopenedAfter < 0 && app.Port().GetState() != CSerialPort::Closed) reopenedAfter = clock.elapsed();
    });
    watch.start(50);
    clock.start();
    ASSERT_TRUE(Logind().EmitPrepareForSleep(false));
    EXPECT_TRUE(WaitFor([&] { return reopenedAfter >= 0; }, 40000));
    EXPECT_TRUE(WaitFor([&] { return !w.Initializer().IsRunning() && app.Picture() == nullptr; }, 40000));
    watch.stop();
    EXPECT_TRUE(reconnectingShown);
    EXPECT_TRUE(minimisedMeanwhile);
    EXPECT_GE(reopenedAfter, 6000) << "the picture stays 6 seconds before the search";
    EXPECT_EQ(w.Status().Pin().simState.load(), kSimStateReady);
    EXPECT_FALSE(w.isMinimized());
    // Notifications reach the window again.
    ASSERT_TRUE(h.Control("notify Roaming status: 1"));
    EXPECT_TRUE(WaitFor([&] { return Picture(w, kIndicatorRoaming) == 254; }));
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
}

TEST(Dashboard, WithoutALanguageModuleTheBuiltInErrorEndsStartUp) {
  DashboardHarness h(false);
  h.OnModal("CResDllMiss", Accept);
  int code = h.Run();
  EXPECT_EQ(code, kExitFailure);
  ASSERT_EQ(h.MessagesSeen().size(), 1u);
  EXPECT_EQ(h.MessagesSeen()[0], "The specific dll is not found!");
  EXPECT_FALSE(h.ScriptRan());
}

TEST(Dashboard, SystemMenuOpensAboutWithTheDeviceTextsAndSwitchesLanguage) {
  DashboardHarness h;
  ASSERT_TRUE(h.Control("identity serial 35209900176148"));
  QString identity, firmware, title;
  h.OnModal("CAboutDialog", [&](QWidget& about) {
    identity = about.findChild<QLabel*>("identity")->text();
    firmware = about.findChild<QLabel*>("firmware")->text();
    title = about.windowTitle();
    Accept(about);
  });
  QStringList languages;
  h.OnModal("CLanguage", [&](QWidget& dialog) {
    auto* list = dialog.findChild<QListWidget*>();
    for (int i = 0; i < list->count(); ++i) languages << list->item(i)->text();
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == Str(kStrLanguageChinese)) list->setCurrentRow(i);
    Accept(dialog);
  });
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    ASSERT_TRUE(WaitFor([&] { return !w.VersionText().empty(); }));
    EXPECT_TRUE(w.SystemMenu().IsEnabled(kSysCommandAbout));
    w.SendSysCommand(kSysCommandAbout);
    w.SendSysCommand(kSysCommandLanguage);
    w.EndModalLoop(false);
  });
  EXPECT_EQ(identity, "352099001761481");
  EXPECT_EQ(firmware, "SIM.1.0.0");
  EXPECT_EQ(title, "EVDO Dashboard");
  EXPECT_EQ(languages, (QStringList{"Chinese (Simplified)", "English"}));
  EXPECT_EQ(Str(kStrAppTitle), QString::fromUtf8("EVDO 上网助手")) << "texts now come from the chosen module";
}

TEST(Dashboard, HelpWithoutItsFileSaysSo) {
  DashboardHarness h;
  h.OnModal("message154", Accept);
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    w.SendSysCommand(kSysCommandHelp);
    w.EndModalLoop(false);
  });
  ASSERT_FALSE(h.MessagesSeen().empty());
  EXPECT_EQ(h.MessagesSeen().back(), Str(kStrHelpFileMissing));
}

// The status report of "--status" reads what the window shows: the signal
// the modem reported last, and the unread messages of the store.
TEST(Dashboard, StatusReportFollowsTheIndicatorsAndTheMessageStore) {
  DashboardHarness h;
  DashboardStatus before, after;
  h.Run([&](CModaraApp& app, CModaraDlg& w) {
    before = w.CurrentStatus();
    ASSERT_TRUE(h.Control("devstatus signal 7"));
    ASSERT_TRUE(h.Control("devstatus emit rssi"));
    ASSERT_NE(app.Sms(), nullptr);
    SmsRecord record{};
    record.status = RecUnread;
    std::snprintf(record.number, sizeof record.number, "10086");
    std::snprintf(record.text, sizeof record.text, "hello");
    app.Sms()->AddRecord(Inbox, record, false);
    record.status = RecRead;
    app.Sms()->AddRecord(Inbox, record, false);
    EXPECT_TRUE(WaitFor([&] { return w.CurrentStatus().signalLevel == 1; }));
    after = w.CurrentStatus();
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(before.deviceReady);
  EXPECT_EQ(before.simState, kSimStateReady);
  EXPECT_EQ(before.unreadMessages, 0);
  EXPECT_EQ(before.operatorName, "Demo Telecom");
  EXPECT_EQ(before.connection, ReportConnection::None) << "the harness registers no Internet page";
  EXPECT_EQ(after.signalLevel, 1);
  EXPECT_EQ(after.unreadMessages, 1);
}

// The Help command of the system menu and of the tray menu opens the shipped
// document of the active language (a fake opener stands for the desktop's).
TEST(Dashboard, HelpOpensTheDocumentOfTheActiveLanguage) {
  DashboardHarness h;
  std::filesystem::create_directory_symlink(EVDO_TEST_HELP_DIR, h.Folder().File("help"));
  std::vector<QUrl> opened;
  bool viewerPresent = true;
  auto saved = CModaraDlg::HelpOpener();
  CModaraDlg::HelpOpener() = [&](const QUrl& url) {
    opened.push_back(url);
    return viewerPresent;
  };
  h.OnModal("CLanguage", [&](QWidget& dialog) {
    auto* list = dialog.findChild<QListWidget*>();
    for (int i = 0; i < list->count(); ++i)
      if (list->item(i)->text() == Str(kStrLanguageChinese)) list->setCurrentRow(i);
    Accept(dialog);
  });
  h.OnModal("message3500", Accept);
  h.Run([&](CModaraApp&, CModaraDlg& w) {
    w.SendSysCommand(kSysCommandHelp);
    w.SendSysCommand(kSysCommandLanguage);
    w.OnMessage(WM_COMMAND, kCmdHelp, 0);  // the tray menu's Help
    viewerPresent = false;
    w.SendSysCommand(kSysCommandHelp);
    w.EndModalLoop(false);
  });
  CModaraDlg::HelpOpener() = saved;
  ASSERT_EQ(opened.size(), 3u);
  EXPECT_TRUE(opened[0].isLocalFile());
  EXPECT_TRUE(opened[0].toLocalFile().endsWith("/help/help_en.html")) << opened[0].toString().toStdString();
  EXPECT_TRUE(QFileInfo(opened[0].toLocalFile()).isReadable());
  EXPECT_TRUE(opened[1].toLocalFile().endsWith("/help/help_zh.html")) << opened[1].toString().toStdString();
  EXPECT_TRUE(QFileInfo(opened[1].toLocalFile()).isReadable());
  // Never "cannot find its file" while the document is there; a desktop
  // without a viewer is told so with the document's path.
  for (const QString& message : h.MessagesSeen()) EXPECT_NE(message, Str(kStrHelpFileMissing));
  ASSERT_FALSE(h.MessagesSeen().empty());
  EXPECT_TRUE(h.MessagesSeen().back().contains("help_zh.html")) << h.MessagesSeen().back().toStdString();
}

}  // namespace
}  // namespace evdo
