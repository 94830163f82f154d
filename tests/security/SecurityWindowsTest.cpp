// The PIN windows and the network page as a user drives them, against the
// simulated modem with the real event layer.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QElapsedTimer>
#include <QLabel>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include <functional>

#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "security/SecurityIds.h"
#include "security/ui/PinDialogs.h"
#include "security/ui/PinEdit.h"
#include "security/ui/SetupPages.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo {
namespace {

QApplication& App() {
  static int argc = 1;
  static char name[] = "security-ui-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

bool WaitFor(const std::function<bool()>& pred, int ms = 10000) {
  QElapsedTimer timer;
  timer.start();
  while (!pred() && timer.elapsed() < ms) {
    QApplication::processEvents(QEventLoop::AllEvents, 10);
    QTest::qWait(5);
  }
  return pred();
}

class SecurityWindowsTest : public ::testing::Test {
protected:
  void SetUp() override {
    App();
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
    ASSERT_EQ(modem_.Control("network searchms 200"), "OK\n");
    ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
    ASSERT_TRUE(dispatcher_.StartThreads());
    dispatcher_.ParserStartEvent().Set();
    context_.exchange = &exchange_;
    context_.pin = &pin_;
    context_.isConnected = [] { return false; };
  }
  void TearDown() override {
    dispatcher_.Shutdown();
    port_.Close();
    modem_.Stop();
  }
  modemsim::SimulatedModem modem_;
  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  CCommandExchange exchange_{port_, dispatcher_};
  CPinStatus pin_;
  SecurityContext context_;
};

TEST(PinEditTest, TypedAndPastedTextKeepsOnlyACode) {
  App();
  CPinEdit edit;
  QTest::keyClicks(&edit, "12\"3\r4x");
  EXPECT_EQ(edit.text(), "1234");
  QTest::keyClicks(&edit, "56789");  // at most 8 digits
  EXPECT_EQ(edit.text(), "12345678");
  edit.clear();
  QApplication::clipboard()->setText(" 4321\n");
  edit.paste();
  EXPECT_EQ(edit.text(), "4321");
  edit.clear();
  QApplication::clipboard()->setText("1234\"\rAT+CLCK=\"SC\",0,\"1234");
  edit.paste();
  EXPECT_EQ(edit.text(), "");
}

TEST_F(SecurityWindowsTest, SignInWithAWrongThenTheRightPin) {
  ASSERT_EQ(modem_.Control("devstatus card pin"), "OK\n");
  ASSERT_EQ(modem_.Control("pin attempts 2 10"), "OK\n");
  CDlgSignIn dialog(context_, true);
  dialog.show();
  ASSERT_TRUE(WaitFor([&] { return dialog.AttemptsLabel()->text().endsWith("2"); }));
  EXPECT_FALSE(dialog.WarningLabel()->isVisible());
  QTest::keyClicks(dialog.PinField(), "9999");
  QTest::mouseClick(dialog.OkButton(), Qt::LeftButton);
  // One attempt left: the window says so before it is used.
  ASSERT_TRUE(WaitFor([&] { return dialog.WarningLabel()->isVisible(); }));
  EXPECT_TRUE(dialog.AttemptsLabel()->text().endsWith("1"));
  for (QWidget* w : QApplication::topLevelWidgets()) {
    if (w->objectName() == "message293") w->close();
  }
  dialog.PinField()->clear();
  QTest::keyClicks(dialog.PinField(), "1234");
  QTest::keyClick(dialog.PinField(), Qt::Key_Return);
  ASSERT_TRUE(WaitFor([&] { return !dialog.isVisible(); }));
  EXPECT_EQ(dialog.result(), QDialog::Accepted);
  EXPECT_EQ(pin_.simState, kSimStateReady);
}

TEST_F(SecurityWindowsTest, NetworkPageSearchesAndRegisters) {
  CDlgSetupNWSel page(context_);
  page.resize(500, 400);
  page.show();
  QTest::mouseClick(static_cast<QAbstractButton*>(page.Control(kCtlModeManual)), Qt::LeftButton,
                    Qt::NoModifier, QPoint(5, 5));
  ASSERT_TRUE(page.Control(kCtlSearch)->isEnabled());
  QTest::mouseClick(static_cast<QPushButton*>(page.Control(kCtlSearch)), Qt::LeftButton);
  EXPECT_TRUE(page.Progress()->isVisible());
  ASSERT_TRUE(WaitFor([&] { return page.List()->topLevelItemCount() == 3; }));
  ASSERT_TRUE(WaitFor([&] { return !page.Progress()->isVisible(); }));
  EXPECT_EQ(page.List()->topLevelItem(1)->text(1), "OTHER");
  page.List()->setCurrentItem(page.List()->topLevelItem(1));
  QTest::mouseClick(static_cast<QPushButton*>(page.Control(kCtlRegister)), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return page.Selection().CommandMode() == kNetworkIdle && !page.Progress()->isVisible(); }));
  EXPECT_NE(modem_.Control("history").find("AT+COPS=1,1,\"OTHER\""), std::string::npos);
}

}  // namespace
}  // namespace evdo
