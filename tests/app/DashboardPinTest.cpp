// The dashboard with a card that asks for its PIN: the entry window opens
// while the start-up picture still shows, the initialisation waits for it,
// and the settings page with the card's pages is in the main window.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QLabel>
#include <QTabWidget>
#include <QTest>
#include <QToolButton>

#include "app/SetupDlg.h"
#include "security/ui/PinDialogs.h"
#include "security/ui/PinEdit.h"
#include "tests/app/DashboardHarness.h"

namespace evdo {
namespace {

using test::Accept;
using test::DashboardHarness;

void Type(QWidget& dialog, const char* field, const char* text) {
  auto* edit = dialog.findChild<CPinEdit*>(field);
  ASSERT_NE(edit, nullptr);
  edit->clear();
  QTest::keyClicks(edit, text);
}

void Click(QWidget& dialog, const char* button) {
  auto* b = dialog.findChild<QAbstractButton*>(button);
  ASSERT_NE(b, nullptr);
  b->click();
}

TEST(DashboardPin, StartUpAsksForThePinAndReachesAReadyCard) {
  RegisterSetupPages();
  DashboardHarness h;
  ASSERT_TRUE(h.Control("pin 1234 12345678"));
  ASSERT_TRUE(h.Control("devstatus card pin"));
  bool pictureShownWithEntry = false;
  h.Watch([&](CModaraApp& app) {
    if (app.MainWindow() != nullptr && app.MainWindow()->PinEntry() != nullptr && app.Picture() != nullptr)
      pictureShownWithEntry = true;
  });
  h.OnModal("message293", Accept);
  h.OnModal("CDlgSignIn", [](QWidget& dialog) {
    auto* attempts = dialog.findChild<QLabel*>("attempts");
    ASSERT_TRUE(QTest::qWaitFor([&] { return attempts->text().endsWith("3"); }, 10000));
    Type(dialog, "pin", "9999");
    Click(dialog, "ok");
    ASSERT_TRUE(QTest::qWaitFor([&] { return attempts->text().endsWith("2"); }, 10000));
    ASSERT_TRUE(QTest::qWaitFor([&] { return dialog.findChild<QAbstractButton*>("ok")->isEnabled(); }, 10000));
    Type(dialog, "pin", "1234");
    Click(dialog, "ok");
  });
  int code = h.Run([&](CModaraApp&, CModaraDlg& w) {
    EXPECT_TRUE(w.Status().Pin().IsReady());
    EXPECT_FALSE(w.CardIndicator()->isVisible());
    // The settings page, with the card's pages, is in the main window.
    auto* setup = dynamic_cast<CSetupDlg*>(w.Page(PageKind::Settings));
    ASSERT_NE(setup, nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::General), nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::Security), nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::Network), nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::Skin), nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::Messages), nullptr);
    EXPECT_NE(setup->Page(SetupPageKind::Traffic), nullptr);
    EXPECT_EQ(setup->Page(SetupPageKind::UsageLimit), nullptr);  // comes with the statistics
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
  EXPECT_EQ(code, 0);
  EXPECT_TRUE(pictureShownWithEntry) << "the entry opens while the start-up picture shows";
  EXPECT_NE(h.Modem().Control("pin").find("card ready"), std::string::npos);
}

TEST(DashboardPin, GivingUpLeavesAUsableWindowThatSaysTheCardIsLocked) {
  RegisterSetupPages();
  DashboardHarness h;
  ASSERT_TRUE(h.Control("devstatus card pin"));
  h.OnModal("CDlgSignIn", [](QWidget& dialog) { Click(dialog, "cancel"); });
  int code = h.Run([&](CModaraApp& app, CModaraDlg& w) {
    EXPECT_EQ(w.Status().Pin().simState, kSimStatePinRequired);
    EXPECT_EQ(app.Picture(), nullptr);
    EXPECT_TRUE(app.Dispatcher().NotificationGate().Wait(0));
    EXPECT_TRUE(w.CardIndicator()->isVisible());
    EXPECT_NE(w.Page(PageKind::Settings), nullptr);
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
  EXPECT_EQ(code, 0);
}

TEST(DashboardPin, ThreeWrongPinsLeadToTheUnblockWindow) {
  RegisterSetupPages();
  DashboardHarness h;
  ASSERT_TRUE(h.Control("devstatus card pin"));
  ASSERT_TRUE(h.Control("pin attempts 1 10"));
  h.OnModal("message312", Accept);
  h.OnModal("CDlgSignIn", [](QWidget& dialog) {
    auto* warning = dialog.findChild<QLabel*>("lastAttempt");
    ASSERT_TRUE(QTest::qWaitFor([&] { return warning->isVisible(); }, 10000));
    Type(dialog, "pin", "9999");
    Click(dialog, "ok");
  });
  h.OnModal("CModifyPinDlg", [](QWidget& dialog) {
    Type(dialog, "code", "12345678");
    Type(dialog, "newPin", "2468");
    Type(dialog, "confirm", "2468");
    Click(dialog, "ok");
  });
  int code = h.Run([&](CModaraApp&, CModaraDlg& w) {
    EXPECT_TRUE(w.Status().Pin().IsReady());
    w.EndModalLoop(false);
  });
  EXPECT_TRUE(h.ScriptRan());
  EXPECT_EQ(code, 0);
  EXPECT_NE(h.Modem().Control("pin").find("pin 2468 "), std::string::npos);
}

}  // namespace
}  // namespace evdo
