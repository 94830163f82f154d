// The main window's message service against the simulated modem: what a
// user sees of new messages, delivery reports and full storages (desktop
// notices naming contacts, boxes, indicators), the write window it opens and
// the send without a window the command line uses.
#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "app/MessageService.h"
#include "app/StatusIndicators.h"
#include "phonebook/PbData.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsWriteDlg.h"
#include "tests/phonebook/PhonebookTestUtil.h"
#include "tests/support/EnglishQtApp.h"
#include "tests/support/LinkFixture.h"
#include "tests/support/TempDir.h"
#include "tools/modemsim/SmsFeature.h"
#include "ui/LanguageLibrary.h"
#include "ui/LanguageStrings.h"
#include "ui/notify/DesktopNotifier.h"
#include "ui/StringIds.h"

namespace evdo {
namespace {

using namespace sms;

QApplication& App() { return test::EnglishQtApp(); }

struct RecordingNotifier : DesktopNotifier {
  bool Notify(const Notice& notice) override {
    notices.push_back(notice);
    return available;
  }
  std::vector<Notice> notices;
  bool available = true;
};

class MessageServiceTest : public test::LinkFixture {
protected:
  void SetUp() override {
    App();
    LinkFixture::SetUp();
    store_.LoadOrCreate();
    ASSERT_FALSE(phonebook_.Load(dir_.File("PbData.dat")).Failed());
    ASSERT_TRUE(phonebook_.Append(test::Contact("Ann Lee", "13800000001")));
    MessageServiceContext context;
    context.exchange = &exchange_;
    context.dispatcher = &dispatcher_;
    context.store = &store_;
    context.notificationGate = &dispatcher_.NotificationGate();
    context.phonebook = &phonebook_;
    context.notifier = notifier_;
    context.serviceCentre = [] { return std::string("+8613800100500"); };
    context.deliveryReport = [] { return true; };
    context.validity = [] { return std::uint8_t{167}; };
    context.setIndicator = [this](int indicator, int value) { indicators_.emplace_back(indicator, value); };
    context.showMessage = [this](int id) { shown_.push_back(id); };
    service_.emplace(std::move(context));
    service_->boxChanged = [this](int box) { boxes_.push_back(box); };
    service_->showNewMessage = [this] { ++shownNew_; };
    service_->RegisterNotifications();
  }
  void TearDown() override {
    service_.reset();
    LinkFixture::TearDown();
  }
  bool WaitFor(const std::function<bool()>& done, int ms = 10000) { return QTest::qWaitFor(done, ms); }

  test::TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  CPbData phonebook_;
  std::shared_ptr<RecordingNotifier> notifier_ = std::make_shared<RecordingNotifier>();
  std::optional<MessageService> service_;
  std::vector<std::pair<int, int>> indicators_;
  std::vector<int> shown_;
  std::vector<int> boxes_;
  int shownNew_ = 0;
};

TEST_F(MessageServiceTest, ANewMessageFromAContactIsANoticeWithTheNameThatOpensIt) {
  Control("sms deliver --storage ME 13800000001 See you at eight");
  ASSERT_TRUE(WaitFor([&] { return !notifier_->notices.empty(); }));
  const Notice& notice = notifier_->notices.front();
  EXPECT_EQ(notice.kind, NoticeKind::NewMessage);
  EXPECT_EQ(notice.title, "New message from Ann Lee");
  EXPECT_EQ(notice.body, "See you at eight");
  ASSERT_TRUE(notice.onActivated);
  notice.onActivated();
  EXPECT_EQ(shownNew_, 1);
  EXPECT_EQ(store_.Count(Inbox), 1);
  EXPECT_NE(std::find(boxes_.begin(), boxes_.end(), Inbox), boxes_.end());
  // The unread indicator is on, the inbox is not full.
  EXPECT_NE(std::find(indicators_.begin(), indicators_.end(), std::make_pair(int{kIndicatorUnread}, 1)),
            indicators_.end());
  EXPECT_EQ(indicators_.back(), std::make_pair(int{kIndicatorInboxFull}, 0));
}

TEST_F(MessageServiceTest, AStrangerIsNamedByNumberAndHisTextStaysPlain) {
  Control("sms deliver --storage direct +8613912345678 <b>hi</b>");
  ASSERT_TRUE(WaitFor([&] { return !notifier_->notices.empty(); }));
  EXPECT_EQ(notifier_->notices.front().title, "New message from +8613912345678");
  // The notifier escapes bodies; the service hands the text on as it came.
  EXPECT_EQ(notifier_->notices.front().body, "<b>hi</b>");
}

TEST_F(MessageServiceTest, DeliveryReportsAreNoticesAndABoxOnlyWithoutANotificationService) {
  Control("sms report 13800000001 0");
  ASSERT_TRUE(WaitFor([&] { return notifier_->notices.size() == 1; }));
  EXPECT_EQ(notifier_->notices[0].kind, NoticeKind::DeliveryReport);
  EXPECT_EQ(notifier_->notices[0].title, "Delivery report");
  EXPECT_EQ(notifier_->notices[0].body, "Sms send to Ann Lee success!");
  Control("sms report 10086 32");
  ASSERT_TRUE(WaitFor([&] { return notifier_->notices.size() == 2; }));
  EXPECT_EQ(notifier_->notices[1].body, "Sms send to 10086 fail!");
  EXPECT_TRUE(shown_.empty());

  notifier_->available = false;
  Control("sms report 10086 0");
  ASSERT_TRUE(WaitFor([&] { return !shown_.empty(); }));
  EXPECT_EQ(shown_, std::vector<int>{kStrDeliverySuccess});
}

TEST_F(MessageServiceTest, AFullStorageIsToldWithItsMessage) {
  Control("sms capacity SM 0");
  Control("sms deliver --storage SM 10086 hello");
  ASSERT_TRUE(WaitFor([&] { return !shown_.empty(); }));
  EXPECT_EQ(shown_, std::vector<int>{kStrCardMessagesFull});
  EXPECT_TRUE(notifier_->notices.empty());
}

TEST_F(MessageServiceTest, TheWriteWindowOpensFilledInWithTheMessageCentre) {
  CSmsWriteDlg* window = service_->OpenWriteWindow("10086;10010", "Hello", nullptr);
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(window->Recipients(), "10086;10010");
  EXPECT_EQ(window->Text(), "Hello");
  EXPECT_EQ(window->ServiceCentre(), "+8613800100500");
  EXPECT_EQ(service_->WriteWindows().size(), 1u);
  window->close();
  QApplication::processEvents();
  QTest::qWait(10);
  EXPECT_TRUE(service_->WriteWindows().empty());
}

TEST_F(MessageServiceTest, ASendWithoutAWindowFollowsTheWindowsRules) {
  std::vector<std::pair<int, std::string>> said;
  std::optional<SendReport> report;
  auto say = [&](int id, const std::string& detail) { said.emplace_back(id, detail); };
  auto done = [&](const SendReport& r) { report = r; };
  EXPECT_EQ(service_->SendWithoutWindow("10086;1008a", "Hi", say, done), SendStart::BadNumber);
  ASSERT_EQ(said.size(), 1u);
  EXPECT_EQ(said[0], std::make_pair(int{kStrBadMessageNumber}, std::string("1008a")));

  said.clear();
  ASSERT_EQ(service_->SendWithoutWindow("10086;+8613800000002", "Hi there", say, done), SendStart::Started);
  EXPECT_EQ(service_->SendWithoutWindow("10010", "Again", say, done), SendStart::Busy);
  ASSERT_TRUE(WaitFor([&] { return report.has_value(); }));
  EXPECT_TRUE(report->AllSent());
  EXPECT_EQ(report->numbers, (std::vector<std::string>{"10086", "+8613800000002"}));
  EXPECT_EQ(store_.Count(Outbox), 2);
  EXPECT_EQ(std::string(store_.GetRecord(Outbox, 0)->ServiceCentre()), "+8613800100500");
  // The delivery report was asked for: fo 17 | 0x20.
  std::string parameters;
  modem_.WithEngine([&](modemsim::ModemEngine& e) { parameters = e.Feature<modemsim::SmsFeature>()->sent[0].parameters; });
  EXPECT_EQ(parameters, "49,167,0,0");
  EXPECT_EQ(said.back().first, kStrMessageSent);
}

}  // namespace
}  // namespace evdo
