// The transfer window and the message settings page on the real event loop
// against the simulated modem (offscreen).
#include <gtest/gtest.h>

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "sms/SmsData.h"
#include "sms/ui/SmsSettingsPage.h"
#include "sms/ui/SmsTransferDlg.h"
#include "tests/sms/SmsTestSupport.h"
#include "tests/support/EnglishQtApp.h"
#include "tests/support/LinkFixture.h"
#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/SmsFeature.h"
#include "ui/LanguageLibrary.h"
#include "ui/LanguageStrings.h"
#include "ui/text/QtText.h"

namespace evdo::sms {
namespace {

using modemsim::ModemEngine;
using modemsim::SmsFeature;

QApplication& App() { return test::EnglishQtApp(); }

bool WaitFor(const std::function<bool()>& done, int timeoutMs = 10000) {
  QElapsedTimer t;
  t.start();
  while (!done() && t.elapsed() < timeoutMs) QApplication::processEvents(QEventLoop::AllEvents, 10);
  return done();
}

SmsFeature::Stored Received(const std::string& number, const std::string& text) {
  SmsFeature::Stored m;
  m.status = "REC READ";
  m.number = number;
  m.stamp = "09/05/01,10:20:30+32";
  m.text = text;
  m.hexText = SmsFeature::EncodeHex(text);
  return m;
}

class SmsWindowsTest : public test::LinkFixture {
protected:
  void SetUp() override {
    App();
    LinkFixture::SetUp();
    store_.LoadOrCreate();
  }
  TransferServices Services() {
    TransferServices s;
    s.exchange = &exchange_;
    s.store = &store_;
    s.notificationGate = &dispatcher_.NotificationGate();
    s.link = &link_;
    s.cardReady = [this] { return cardReady_; };
    s.incomingCall = [] { return false; };
    s.portOpen = [this] { return port_.GetState() != CSerialPort::Closed; };
    s.boxChanged = [this](int box) { changed_.push_back(box); };
    return s;
  }
  void WithSms(const std::function<void(SmsFeature&)>& f) {
    modem_.WithEngine([&](ModemEngine& e) { f(*e.Feature<SmsFeature>()); });
  }

  test::TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  CSmsLinkLock link_;
  bool cardReady_ = true;
  std::vector<int> changed_;
};

TEST_F(SmsWindowsTest, TransferWindowReadsTheStoragesAndCopiesToTheComputer) {
  WithSms([](SmsFeature& f) {
    f.me.messages[0] = Received("13900000001", "hello from the modem");
    f.me.messages[5] = Received("13900000002", "second");
    f.sm.messages[1] = Received("13900000003", "on the card");
  });
  cardReady_ = false;
  EXPECT_FALSE(CSmsTransferDlg::CanOpen(Services()));
  cardReady_ = true;
  ASSERT_TRUE(CSmsTransferDlg::CanOpen(Services()));
  CSmsTransferDlg dlg(Services());
  dlg.show();
  ASSERT_TRUE(WaitFor([&] { return !dlg.Transfer().IsRunning() && dlg.List(CSmsTransferDlg::kRight)->topLevelItemCount() == 1; }));
  EXPECT_EQ(dlg.Storage(CSmsTransferDlg::kLeft), kStoragePc);
  EXPECT_EQ(dlg.Storage(CSmsTransferDlg::kRight), kStorageSm);
  EXPECT_EQ(dlg.Counts(CSmsTransferDlg::kRight)->text(), "Used: 1 / 30");
  // A storage is never in both panes.
  dlg.ChooseStorage(CSmsTransferDlg::kLeft, kStorageSm);
  EXPECT_EQ(dlg.Storage(CSmsTransferDlg::kRight), kStorageMe);
  dlg.ChooseStorage(CSmsTransferDlg::kLeft, kStoragePc);
  EXPECT_EQ(dlg.Storage(CSmsTransferDlg::kRight), kStorageMe);
  QTreeWidget* right = dlg.List(CSmsTransferDlg::kRight);
  ASSERT_EQ(right->topLevelItemCount(), 2);
  EXPECT_EQ(right->topLevelItem(0)->text(2), "hello from the modem");
  EXPECT_EQ(dlg.Counts(CSmsTransferDlg::kRight)->text(), "Used: 2 / 100");
  right->selectAll();
  QTest::mouseClick(dlg.CopyButton(CSmsTransferDlg::kRight), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !dlg.Transfer().IsRunning() && store_.Count(Inbox) == 2; }));
  EXPECT_EQ(dlg.List(CSmsTransferDlg::kLeft)->topLevelItemCount(), 2);
  EXPECT_EQ(dlg.Counts(CSmsTransferDlg::kLeft)->text(), "Used: 2 / 500");
  EXPECT_FALSE(changed_.empty());
  EXPECT_TRUE(dlg.CopyButton(CSmsTransferDlg::kLeft)->isEnabled());
  EXPECT_FALSE(dlg.Progress()->isVisible());
  // Moved to the card: the computer's copies go once they are written.
  dlg.ChooseStorage(CSmsTransferDlg::kRight, kStorageSm);
  dlg.List(CSmsTransferDlg::kLeft)->selectAll();
  QTest::mouseClick(dlg.MoveButton(CSmsTransferDlg::kLeft), Qt::LeftButton);
  ASSERT_TRUE(WaitFor([&] { return !dlg.Transfer().IsRunning() && store_.Count(Inbox) == 0; }));
  EXPECT_EQ(dlg.List(CSmsTransferDlg::kRight)->topLevelItemCount(), 3);
  EXPECT_EQ(dlg.List(CSmsTransferDlg::kLeft)->topLevelItemCount(), 0);
  EXPECT_FALSE(dlg.MoveButton(CSmsTransferDlg::kLeft)->isEnabled());
}

TEST_F(SmsWindowsTest, SettingsPageAppliesTheStorageChoice) {
  CDlgSetupMessages page({&exchange_, &link_});
  std::string centre = "+8613800100500";
  std::vector<std::string> saved;
  SettingsHooks hooks;
  hooks.serviceCentre = [&] { return centre; };
  hooks.setServiceCentre = [&](const std::string& c) { centre = c; };
  hooks.saveChoices = [&](int v, bool d) {
    saved.push_back("choices " + std::to_string(v) + (d ? " 1" : " 0"));
    return true;
  };
  hooks.saveStorage = [&](int s) {
    saved.push_back("storage " + std::to_string(s));
    return true;
  };
  page.SetHooks(hooks);
  page.show();
  EXPECT_EQ(page.ServiceCentre()->text(), "+8613800100500");
  page.ServiceCentre()->clear();
  QTest::keyClicks(page.ServiceCentre(), "86abc13800100999");  // letters are not taken
  EXPECT_EQ(page.ServiceCentre()->text(), "8613800100999");
  page.Validity()->setCurrentIndex(5);
  page.DeliveryReport()->setChecked(true);
  page.PreferredStorage()->setCurrentIndex(kPreferSm);
  QTest::mouseClick(page.ApplyButton(), Qt::LeftButton);
  EXPECT_FALSE(page.ApplyButton()->isEnabled());
  ASSERT_TRUE(WaitFor([&] { return page.ApplyButton()->isEnabled(); }));
  EXPECT_EQ(centre, "+8613800100999");
  EXPECT_EQ(page.ServiceCentre()->text(), "+8613800100999");
  EXPECT_EQ(saved, (std::vector<std::string>{"choices 5 1", "storage 1"}));
  std::string routing;
  WithSms([&](SmsFeature& f) { routing = f.preferredStorage + " " + std::to_string(f.routingMode) + "," + std::to_string(f.routingMt); });
  EXPECT_EQ(routing, "SM 2,1");
}

}  // namespace
}  // namespace evdo::sms
