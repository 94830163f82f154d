// The message write window (offscreen): the typing rules of its fields as a
// user meets them through the keyboard, the counters, and a send and a save
// through its buttons against the simulated modem.
#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPointer>
#include <QPushButton>
#include <QTest>

#include <optional>
#include <string>
#include <vector>

#include "sms/SmsData.h"
#include "sms/SmsRecord.h"
#include "sms/ui/SmsWriteDlg.h"
#include "tests/support/LinkFixture.h"
#include "tests/support/TempDir.h"
#include "tools/modemsim/SmsFeature.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

using namespace sms;

QApplication& App() {
  static int argc = 1;
  static char name[] = "sms-write-tests";
  static char* argv[] = {name, nullptr};
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

struct Shown {
  int id;
  QString detail;
};

// The window over the simulated modem's link; what it would show the user
// and every beep are recorded.
class SmsWriteDlgTest : public test::LinkFixture {
protected:
  void SetUp() override {
    App();
    LinkFixture::SetUp();
    store_.LoadOrCreate();
    window_ = Open();
  }
  void TearDown() override {
    delete window_.data();
    LinkFixture::TearDown();
  }

  CSmsWriteDlg* Open() {
    SmsWriteServices services;
    services.exchange = &exchange_;
    services.store = &store_;
    services.notificationGate = &dispatcher_.NotificationGate();
    services.link = &link_;
    services.splitter = &splitter_;
    services.hooks.incomingCall = [this] { return incomingCall_; };
    services.hooks.boxChanged = [this](int box) { changedBoxes_.push_back(box); };
    services.hooks.finished = [this](const SendReport& report) { report_ = report; };
    services.pickContacts = [this](QWidget*) { return picked_; };
    services.showMessage = [this](int id, const QString& detail) { shown_.push_back({id, detail}); };
    services.beep = [this] { ++beeps_; };
    auto* window = new CSmsWriteDlg(std::move(services));
    window->SetServiceCentre("+8613800100500");
    window->show();
    return window;
  }

  QLineEdit& Recipients() { return *window_->RecipientsField(); }
  QPlainTextEdit& Text() { return *window_->TextField(); }
  void TypeRecipients(const QString& keys) { QTest::keyClicks(&Recipients(), keys); }
  void TypeText(const QString& keys) { QTest::keyClicks(&Text(), keys); }
  // A character no key of the test's keyboard has (an input method's).
  void TypeComposed(const QString& text) {
    QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(&Text(), &press);
    QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, text);
    QApplication::sendEvent(&Text(), &release);
  }
  std::vector<int> ShownIds() const {
    std::vector<int> ids;
    for (const Shown& s : shown_) ids.push_back(s.id);
    return ids;
  }
  modemsim::SmsFeature Sim() {
    modemsim::SmsFeature copy;
    modem_.WithEngine([&](modemsim::ModemEngine& e) { copy.sent = e.Feature<modemsim::SmsFeature>()->sent; });
    return copy;
  }

  test::TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  CSmsLinkLock link_;
  MessageSplitter splitter_;
  QPointer<CSmsWriteDlg> window_;
  bool incomingCall_ = false;
  std::vector<std::string> picked_;
  std::vector<int> changedBoxes_;
  std::vector<Shown> shown_;
  std::optional<SendReport> report_;
  int beeps_ = 0;
};

TEST_F(SmsWriteDlgTest, RecipientsTakeOnlyDigitsPlusAndSemicolons) {
  Recipients().setFocus();
  TypeRecipients("+861380;a 10086-x");
  EXPECT_EQ(Recipients().text(), "+861380;10086");
  EXPECT_EQ(beeps_, 4);  // 'a', ' ', '-', 'x'
  QTest::keyClick(&Recipients(), Qt::Key_Backspace);
  EXPECT_EQ(Recipients().text(), "+861380;1008");
  EXPECT_TRUE(shown_.empty());
}

TEST_F(SmsWriteDlgTest, ANumberBeyondFortyCharactersIsUndoneWithABeep) {
  TypeRecipients("1;" + QString(40, '5'));
  EXPECT_EQ(beeps_, 0);
  TypeRecipients("5");
  EXPECT_EQ(Recipients().text(), "1;" + QString(40, '5'));
  EXPECT_EQ(beeps_, 1);
}

TEST_F(SmsWriteDlgTest, AnEleventhNumberIsUndoneWithMessage218) {
  TypeRecipients("1;2;3;4;5;6;7;8;9;10;");
  EXPECT_TRUE(shown_.empty());
  TypeRecipients("1");
  EXPECT_EQ(Recipients().text(), "1;2;3;4;5;6;7;8;9;10;");
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrTooManyRecipients});
  EXPECT_EQ(beeps_, 0);
}

TEST_F(SmsWriteDlgTest, APastedTextIsCheckedLikeTypedKeys) {
  TypeRecipients("123");
  QApplication::clipboard()->setText(";456 789");
  QTest::keyClick(&Recipients(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Recipients().text(), "123");
  EXPECT_EQ(beeps_, 1);
  QApplication::clipboard()->setText(";456");
  QTest::keyClick(&Recipients(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Recipients().text(), "123;456");
}

TEST_F(SmsWriteDlgTest, ContactsFromThePhonebookAreAddedWithinTheTenNumbers) {
  ASSERT_TRUE(window_->ContactsButton()->isVisible());
  TypeRecipients("111");
  picked_ = {"222", "+333"};
  QTest::mouseClick(window_->ContactsButton(), Qt::LeftButton);
  EXPECT_EQ(Recipients().text(), "111;222;+333");
  picked_ = std::vector<std::string>(8, "9");
  QTest::mouseClick(window_->ContactsButton(), Qt::LeftButton);
  EXPECT_EQ(Recipients().text(), "111;222;+333");
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrTooManyRecipients});
}

TEST_F(SmsWriteDlgTest, CountersFollowTheTextAndItsParts) {
  TypeText("Hello");
  EXPECT_EQ(window_->CountText(), "(5 / 765)");
  EXPECT_EQ(window_->LeftText(), "(155)");
  EXPECT_EQ(window_->PartText(), "");
  window_->SetText(QString(160, 'a'));
  EXPECT_EQ(window_->LeftText(), "(0)");
  EXPECT_EQ(window_->PartText(), "");
  TypeText("b");
  EXPECT_EQ(window_->CountText(), "(161 / 765)");
  EXPECT_EQ(window_->LeftText(), "(145)");  // 153 - 161 % 153
  EXPECT_TRUE(window_->PartText().endsWith("2/5")) << window_->PartText().toStdString();
  // One character outside the GSM alphabet: 335 in all, 67 a part.
  window_->SetText(QString::fromUtf8("短信"));
  EXPECT_EQ(window_->CountText(), "(2 / 335)");
  EXPECT_EQ(window_->LeftText(), "(68)");
}

TEST_F(SmsWriteDlgTest, TypingStopsAtTheLimitButBackspaceStillWorks) {
  window_->SetText(QString(765, 'a'));
  Text().setFocus();
  TypeText("b");
  EXPECT_EQ(Text().toPlainText().size(), 765);
  EXPECT_EQ(beeps_, 1);
  QTest::keyClick(&Text(), Qt::Key_Backspace);
  EXPECT_EQ(Text().toPlainText().size(), 764);
  EXPECT_EQ(beeps_, 1);
}

TEST_F(SmsWriteDlgTest, AChangeThatLeavesTheGsmAlphabetBeyond335IsUndone) {
  window_->SetText(QString(400, 'a'));
  Text().setFocus();
  TypeComposed(QString::fromUtf8("中"));
  EXPECT_EQ(Text().toPlainText(), QString(400, 'a'));
  EXPECT_EQ(beeps_, 1);
  EXPECT_EQ(window_->CountText(), "(400 / 765)");
  // A text given by the opener is held to the same rules.
  window_->SetText(QString::fromUtf8("中") + QString(400, 'a'));
  EXPECT_EQ(Text().toPlainText().size(), 335);
}

TEST_F(SmsWriteDlgTest, SendingTwoPartsToTwoNumbersStoresFourSentRecordsAndCloses) {
  window_->SetRecipients("13800000001;+8613800000002");
  window_->SetText(QString(200, 'a'));
  QTest::mouseClick(window_->SendButton(), Qt::LeftButton);
  ASSERT_TRUE(window_->IsSending());
  EXPECT_FALSE(window_->SendButton()->isEnabled());
  // The window stays while its message goes: closing it is refused.
  EXPECT_FALSE(window_->close());
  EXPECT_EQ(beeps_, 1);
  ASSERT_FALSE(window_.isNull());
  QString progressSeen;
  ASSERT_TRUE(QTest::qWaitFor([&] {
    if (window_ && window_->ProgressWindow() != nullptr && !window_->ProgressText().isEmpty())
      progressSeen = window_->ProgressText();
    return report_.has_value();
  }, 20000));
  EXPECT_TRUE(report_->AllSent());
  EXPECT_TRUE(progressSeen.contains("\"13800000001\", (1/2)") || progressSeen.contains("\"+8613800000002\", (2/2)"))
      << progressSeen.toStdString();
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrMessageSent});
  ASSERT_EQ(store_.Count(Outbox), 4);
  for (int i = 0; i < 4; ++i) EXPECT_EQ(store_.GetRecord(Outbox, i)->status, StoSent);
  EXPECT_EQ(std::string(store_.GetRecord(Outbox, 0)->ServiceCentre()), "+8613800100500");
  auto sent = Sim().sent;
  ASSERT_EQ(sent.size(), 4u);
  EXPECT_EQ(sent[2].number, "+8613800000002");
  // Everything went: the window closes by itself.
  EXPECT_TRUE(QTest::qWaitFor([&] { return window_.isNull(); }, 2000));
}

TEST_F(SmsWriteDlgTest, AFailedSendKeepsTheWindowAndTheTextAndStoresItUnsent) {
  Control("sms fail-next 1");
  window_->SetRecipients("10086");
  window_->SetText("Hi");
  QTest::mouseClick(window_->SendButton(), Qt::LeftButton);
  ASSERT_TRUE(QTest::qWaitFor([&] { return report_.has_value(); }, 20000));
  EXPECT_FALSE(report_->AllSent());
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrMessageNotSent});
  ASSERT_EQ(store_.Count(Outbox), 1);
  EXPECT_EQ(store_.GetRecord(Outbox, 0)->status, StoUnsent);
  QTest::qWait(50);
  ASSERT_FALSE(window_.isNull());
  EXPECT_EQ(window_->Text(), "Hi");
  EXPECT_TRUE(window_->SendButton()->isEnabled());
  EXPECT_EQ(window_->ProgressWindow(), nullptr);
}

TEST_F(SmsWriteDlgTest, EmptyFieldsAndARefusedCentreSendNothing) {
  QTest::mouseClick(window_->SendButton(), Qt::LeftButton);
  window_->SetRecipients("10086");
  QTest::mouseClick(window_->SendButton(), Qt::LeftButton);
  window_->SetText("Hi");
  window_->SetServiceCentre("+86\"1");  // the field's own filter is bypassed here
  QTest::mouseClick(window_->SendButton(), Qt::LeftButton);
  ASSERT_EQ(shown_.size(), 3u);
  EXPECT_EQ(shown_[0].id, kStrNoRecipient);
  EXPECT_EQ(shown_[1].id, kStrNoMessageText);
  EXPECT_EQ(shown_[2].id, kStrBadMessageNumber);
  EXPECT_FALSE(window_->IsSending());
  QTest::qWait(100);
  EXPECT_TRUE(Sim().sent.empty());
  EXPECT_EQ(store_.Count(Outbox), 0);
}

TEST_F(SmsWriteDlgTest, ANotReadyModemIsSaidRatherThanIgnored) {
  incomingCall_ = true;
  window_->SetRecipients("10086");
  window_->SetText("Hi");
  EXPECT_EQ(window_->Send(), SendStart::NotReady);
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrCliSendRefused});
}

TEST_F(SmsWriteDlgTest, SaveStoresOneRecordPerRecipient) {
  window_->SetRecipients("1;2");
  window_->SetText("Draft");
  QTest::mouseClick(window_->SaveButton(), Qt::LeftButton);
  EXPECT_EQ(ShownIds(), std::vector<int>{kStrMessageSaved});
  ASSERT_EQ(store_.Count(Saved), 2);
  EXPECT_EQ(std::string(store_.GetRecord(Saved, 1)->Text()), "Draft");
  EXPECT_EQ(changedBoxes_, std::vector<int>{Saved});
}

TEST_F(SmsWriteDlgTest, TwoWindowsSendingAtOnceEachSendTheirOwnText) {
  QPointer<CSmsWriteDlg> next = Open();
  window_->SetRecipients("10001");
  window_->SetText(QString(200, 'a'));
  next->SetRecipients("10002");
  next->SetText(QString(170, 'b'));
  ASSERT_EQ(window_->Send(), SendStart::Started);
  // The second waits for the link; the shared splitter is not touched yet.
  ASSERT_EQ(next->Send(), SendStart::Started);
  ASSERT_TRUE(QTest::qWaitFor([&] { return Sim().sent.size() == 4u && window_.isNull() && next.isNull(); }, 30000));
  auto sent = Sim().sent;
  EXPECT_EQ(sent[0].text + sent[1].text, std::string(200, 'a'));
  EXPECT_EQ(sent[2].text + sent[3].text, std::string(170, 'b'));
  ASSERT_EQ(store_.Count(Outbox), 4);
  int second = 0;
  for (int i = 0; i < 4; ++i) second += store_.GetRecord(Outbox, i)->Number() == "10002" ? 1 : 0;
  EXPECT_EQ(second, 2);
}

}  // namespace
}  // namespace evdo
