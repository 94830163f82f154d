// The send exchange and the new-message path against the simulated modem:
// the real serial port on its pseudo-terminal, the dispatcher's threads,
// and the manual clock for every guard and part timer.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "sms/SmsData.h"
#include "sms/SmsReceiver.h"
#include "sms/SmsSender.h"
#include "tests/sms/SmsTestSupport.h"
#include "tests/support/LinkFixture.h"
#include "tools/modemsim/SmsFeature.h"
#include "ui/StringIds.h"

namespace evdo::sms {
namespace {

struct Route : WindowHandler {
  WindowHandler* to = nullptr;
  void OnMessage(MessageId m, WParam w, LParam l) override {
    if (to) to->OnMessage(m, w, l);
  }
  void OnTimer(TimerId id) override {
    if (to) to->OnTimer(id);
  }
};

class SmsExchangeTest : public test::LinkFixture {
protected:
  void SetUp() override {
    LinkFixture::SetUp();
    store_.LoadOrCreate();
    SendHooks send;
    send.incomingCall = [this] { return incomingCall_; };
    send.showMessage = [this](int id, const std::string& detail) { shown_.push_back({id, detail}); };
    send.progress = [this](const std::string& number, int position, int count) {
      progress_.push_back(number + " " + std::to_string(position) + "/" + std::to_string(count));
      if (onProgress_) onProgress_();
    };
    send.finished = [this](const SendReport& report) { report_ = report; };
    sender_.emplace(exchange_, store_, dispatcher_.NotificationGate(), link_, splitter_, sendWindow_, send);
    sendRoute_.to = &*sender_;
    ReceiveHooks receive;
    receive.deliveryReport = [this](const DeliveryReport& r) { reports_.push_back(r); };
    receive.storageFull = [this](int id) { full_.push_back(id); };
    receiver_.emplace(exchange_, store_, link_, receiveWindow_, receive);
    receiveRoute_.to = &*receiver_;
    receiver_->Register(dispatcher_);
  }
  void TearDown() override {
    receiver_.reset();
    sender_.reset();
    LinkFixture::TearDown();
  }

  bool RunSend(std::uint64_t limitMs = 200000) {
    return loop_.AdvanceUntil([&] { return report_.has_value(); }, limitMs, 10, 2);
  }
  bool RunUntil(const std::function<bool()>& done, std::uint64_t limitMs = 20000) {
    return loop_.AdvanceUntil(done, limitMs, 10, 2);
  }
  modemsim::SmsFeature Sim() {
    modemsim::SmsFeature copy;
    modem_.WithEngine([&](modemsim::ModemEngine& e) {
      auto* f = e.Feature<modemsim::SmsFeature>();
      copy.sent = f->sent;
      copy.me = f->me;
      copy.sm = f->sm;
      copy.reads = f->reads;
    });
    return copy;
  }
  std::string Box(int box, int index) {
    auto r = store_.GetRecord(box, index);
    return r ? std::string(r->Text()) : "<none>";
  }

  test::TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  ManualEventLoop loop_;
  Route sendRoute_, receiveRoute_;
  ManualEventLoop::Window& sendWindow_ = loop_.CreateWindow(sendRoute_);
  ManualEventLoop::Window& receiveWindow_ = loop_.CreateWindow(receiveRoute_);
  CSmsLinkLock link_;
  MessageSplitter splitter_;
  std::optional<CSmsSender> sender_;
  std::optional<CSmsReceiver> receiver_;

  bool incomingCall_ = false;
  std::function<void()> onProgress_;
  std::vector<std::pair<int, std::string>> shown_;
  std::vector<std::string> progress_;
  std::optional<SendReport> report_;
  std::vector<DeliveryReport> reports_;
  std::vector<int> full_;
};

TEST_F(SmsExchangeTest, LongTextToTwoRecipientsGoesPartByPartWithOneReferenceEach) {
  const std::string text(200, 'a');
  ASSERT_EQ(sender_->Send("13800000001;13800000002", text, "+8613800100500"), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_TRUE(report_->AllSent());
  auto sim = Sim();
  ASSERT_EQ(sim.sent.size(), 4u);
  EXPECT_EQ(sim.sent[0].parameters, "81,167,0,0");  // long, no report asked
  EXPECT_EQ(sim.sent[0].number, "13800000001");
  EXPECT_EQ(sim.sent[0].header, "050003000201");
  EXPECT_EQ(sim.sent[1].header, "050003000202");
  EXPECT_EQ(sim.sent[2].number, "13800000002");
  EXPECT_EQ(sim.sent[2].header, "050003010201");
  EXPECT_EQ(sim.sent[3].header, "050003010202");
  EXPECT_EQ(sim.sent[0].text + sim.sent[1].text, text);
  ASSERT_EQ(store_.Count(Outbox), 4);
  for (int i = 0; i < 4; ++i) {
    auto r = store_.GetRecord(Outbox, i);
    EXPECT_EQ(r->status, StoSent);
    EXPECT_TRUE(r->HasPartInfo());
    EXPECT_EQ(r->partCount, 2);
  }
  EXPECT_EQ(shown_.back().first, kStrMessageSent);
  EXPECT_EQ(progress_, (std::vector<std::string>{"13800000001 1/2", "13800000002 2/2"}));
  EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
}

TEST_F(SmsExchangeTest, FailureOnTheSecondOfThreePartsKeepsPartsTwoAndThreeUnsent) {
  Control("sms fail-next 1 --after 1");
  ASSERT_EQ(sender_->Send("+8613800000001", std::string(400, 'b'), ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_EQ(report_->outcomes[0], RecipientOutcome::Failed);
  EXPECT_EQ(shown_.back().first, kStrMessageNotSent);
  auto sim = Sim();
  ASSERT_EQ(sim.sent.size(), 1u);
  EXPECT_EQ(sim.sent[0].type, "145");
  ASSERT_EQ(store_.Count(Outbox), 3);
  int sent = 0, unsent = 0, partsUnsent = 0;
  for (int i = 0; i < 3; ++i) {
    auto r = store_.GetRecord(Outbox, i);
    if (r->status == StoSent) ++sent;
    if (r->status == StoUnsent) {
      ++unsent;
      partsUnsent += r->partIndex;
      EXPECT_EQ(r->partCount, 3);
    }
  }
  EXPECT_EQ(sent, 1);
  EXPECT_EQ(unsent, 2);
  EXPECT_EQ(partsUnsent, 2 + 3);
}

TEST_F(SmsExchangeTest, ShortTextsUseTheShortParametersLine) {
  ASSERT_EQ(sender_->Send("10086", "Hi", ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  auto sim = Sim();
  ASSERT_EQ(sim.sent.size(), 1u);
  EXPECT_EQ(sim.sent[0].parameters, "17,167,0,0");
  EXPECT_EQ(sim.sent[0].type, "129");
  EXPECT_EQ(sim.sent[0].header, "");
  EXPECT_EQ(sim.sent[0].text, "Hi");
  EXPECT_EQ(Box(Outbox, 0), "Hi");
}

TEST_F(SmsExchangeTest, NumbersWithOtherThanDialCharactersAreRefusedBeforeAnyCommand) {
  const auto before = modem_.Control("history");
  EXPECT_EQ(sender_->Send("10086;12\"\rAT+CFUN=0", "Hi", ""), SendStart::BadNumber);
  EXPECT_EQ(sender_->Send("10086", "Hi", "+86;\rATH"), SendStart::BadServiceCentre);
  ASSERT_EQ(shown_.size(), 2u);
  EXPECT_EQ(shown_[0].first, kStrBadMessageNumber);
  EXPECT_EQ(shown_[0].second, "12\"\rAT+CFUN=0");
  loop_.Advance(100);
  EXPECT_EQ(modem_.Control("history"), before);
  EXPECT_EQ(store_.Count(Outbox), 0);
  EXPECT_EQ(sender_->Send("", "Hi", ""), SendStart::NoRecipient);
  EXPECT_EQ(sender_->Send("10086", "", ""), SendStart::NoText);
  EXPECT_EQ(shown_.back().first, kStrNoMessageText);
}

TEST_F(SmsExchangeTest, SilenceAfterTheTextTimesOutWritesCtrlZAndKeepsTheText) {
  onProgress_ = [this] { Control("fault silent 1"); };
  ASSERT_EQ(sender_->Send("10086", "Hello", ""), SendStart::Started);
  ASSERT_TRUE(RunUntil([&] { return Sim().sent.size() == 1 || loop_.Now() > 100; }, 5000));
  std::uint64_t bytesBefore = 0;
  modem_.WithEngine([&](modemsim::ModemEngine& e) { bytesBefore = e.BytesReceived(); });
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return report_.has_value(); }, kSendMs + 1000, 100, 1));
  EXPECT_EQ(report_->messageId, kStrModemTimeout);
  EXPECT_EQ(shown_.back().first, kStrModemTimeout);
  ASSERT_EQ(store_.Count(Outbox), 1);
  EXPECT_EQ(store_.GetRecord(Outbox, 0)->status, StoUnsent);
  ASSERT_TRUE(modem_.WaitForCommands(0, 10));
  std::uint64_t bytesAfter = 0;
  RunUntil([&] {
    modem_.WithEngine([&](modemsim::ModemEngine& e) { bytesAfter = e.BytesReceived(); });
    return bytesAfter > bytesBefore;
  }, 2000);
  EXPECT_EQ(bytesAfter, bytesBefore + 1);  // the Ctrl-Z
  EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));
  // The Ctrl-Z gets no answer here; its own guard frees the port.
  loop_.Advance(CSmsChannel::kIgnoredGuardMs + 100);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  EXPECT_EQ(Ask("AT\r").lineCount, 1);
}

TEST_F(SmsExchangeTest, CmsErrorStoresTheMessageUnsent) {
  Control("sms fail-next 1 --code 38");
  ASSERT_EQ(sender_->Send("10086;10010", "Hello", ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_EQ(report_->outcomes, (std::vector<RecipientOutcome>{RecipientOutcome::Failed, RecipientOutcome::NotServed}));
  ASSERT_EQ(store_.Count(Outbox), 1);
  EXPECT_EQ(store_.GetRecord(Outbox, 0)->status, StoUnsent);
  EXPECT_EQ(store_.GetRecord(Outbox, 0)->Number(), "10086");
}

TEST_F(SmsExchangeTest, AnIncomingCallStopsTheSendBeforeTheNextRecipient) {
  onProgress_ = [this] { incomingCall_ = true; };
  ASSERT_EQ(sender_->Send("10086;10010;10000", "Hello", ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_EQ(report_->outcomes, (std::vector<RecipientOutcome>{RecipientOutcome::Sent, RecipientOutcome::Failed,
                                                              RecipientOutcome::NotServed}));
  EXPECT_EQ(Sim().sent.size(), 1u);
  EXPECT_EQ(store_.Count(Outbox), 2);
  EXPECT_EQ(shown_.back().first, kStrMessageNotSent);
  incomingCall_ = true;
  EXPECT_EQ(sender_->Send("10086", "Hello", ""), SendStart::NotReady);
}

TEST_F(SmsExchangeTest, RemovalInTheMiddleStoresTheRemainder) {
  onProgress_ = [this] { port_.Close(); };
  ASSERT_EQ(sender_->Send("10086", std::string(300, 'c'), ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_FALSE(report_->AllSent());
  EXPECT_EQ(shown_.back().first, kStrMessageNotSent);
  ASSERT_EQ(store_.Count(Outbox), 2);
  EXPECT_EQ(store_.GetRecord(Outbox, 0)->status, StoUnsent);
  EXPECT_EQ(store_.GetRecord(Outbox, 1)->status, StoUnsent);
}

TEST_F(SmsExchangeTest, ANewMessageStoredOnTheModemIsReadIntoTheInbox) {
  Control("sms deliver --storage ME 13912345678 Hello there");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 1; }));
  auto r = store_.GetRecord(Inbox, 0);
  EXPECT_EQ(r->Text(), "Hello there");
  EXPECT_EQ(r->Number(), "13912345678");
  EXPECT_EQ(r->status, RecUnread);
  EXPECT_EQ(r->flags & kSmsFlagNew, kSmsFlagNew);
  Control("sms deliver --storage SM 13912345679 Second");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 2; }));
  EXPECT_EQ(store_.CountUnread(), 2);
  // Only the newest carries the new mark.
  EXPECT_EQ(store_.GetRecord(Inbox, 0)->flags & kSmsFlagNew, kSmsFlagNew);
  EXPECT_EQ(store_.GetRecord(Inbox, 1)->flags & kSmsFlagNew, 0);
  EXPECT_FALSE(receiver_->IsReading());
}

// A modem that leaves the storage selection and then the read unanswered
// does not leave the message unread on the device: it is read again.
TEST_F(SmsExchangeTest, ANewMessageWhoseReadGoesUnansweredIsReadAgain) {
  Control("fault silent 2");
  Control("sms deliver --storage ME 13912345678 Still here");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 1; }, 30000));
  EXPECT_EQ(Box(Inbox, 0), "Still here");
  loop_.Advance(20000);
  EXPECT_EQ(store_.Count(Inbox), 1);
  EXPECT_EQ(Sim().reads, 1u);
  EXPECT_FALSE(receiver_->IsReading());
  EXPECT_EQ(receiver_->PendingReads(), 0u);
}

// Noise on the line just before the storage selection's and the read's
// answers makes them blocks with a stray first line; the message is read all
// the same.
TEST_F(SmsExchangeTest, NoiseBeforeTheAnswersDoesNotLoseTheNewMessage) {
  Control("fault garbage 2");
  Control("sms deliver --storage ME 13912345678 Through the noise");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 1; }, 30000));
  EXPECT_EQ(Box(Inbox, 0), "Through the noise");
  EXPECT_EQ(Sim().reads, 1u);
}

// After three unanswered tries the message waits; the messages after it are
// read meanwhile, and it is read 30 s later, once the modem answers again.
TEST_F(SmsExchangeTest, AMessageTheModemStaysSilentAboutIsReadLater) {
  Control("fault silent 3");
  Control("sms deliver --storage ME 13912345678 Read later");
  ASSERT_TRUE(RunUntil([&] { return receiver_->IsReading(); }));
  ASSERT_TRUE(RunUntil([&] { return receiver_->LaterReads() == 1; }, 30000));
  EXPECT_FALSE(receiver_->IsReading());
  EXPECT_EQ(store_.Count(Inbox), 0);
  Control("sms deliver --storage ME 13912345679 Read now");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 1; }));
  EXPECT_EQ(Box(Inbox, 0), "Read now");
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return store_.Count(Inbox) == 2; }, 40000, 100, 2));
  EXPECT_EQ((std::set<std::string>{Box(Inbox, 0), Box(Inbox, 1)}), (std::set<std::string>{"Read now", "Read later"}));
  EXPECT_EQ(receiver_->LaterReads(), 0u);
}

// A modem that never gives the message is asked ten times in all, then the
// message is left on the device.
TEST_F(SmsExchangeTest, AMessageIsAskedForTenTimesAtMost) {
  Control("fault silent 100");
  Control("sms deliver --storage ME 13912345678 Never read");
  ASSERT_TRUE(RunUntil([&] { return receiver_->IsReading(); }));
  loop_.AdvanceUntil([] { return false; }, 10 * 35000, 100, 2);
  EXPECT_FALSE(receiver_->IsReading());
  EXPECT_EQ(receiver_->PendingReads(), 0u);
  EXPECT_EQ(receiver_->LaterReads(), 0u);
  Control("fault clear");
  loop_.Advance(60000);
  EXPECT_EQ(store_.Count(Inbox), 0);
  const std::string history = modem_.Control("history");
  std::size_t selects = 0;
  for (std::size_t at = history.find("AT$QCPMS="); at != std::string::npos; at = history.find("AT$QCPMS=", at + 1))
    ++selects;
  EXPECT_EQ(selects, 10u) << history;
}

TEST_F(SmsExchangeTest, AFullStorageIsReportedWithoutACommand) {
  Control("sms capacity SM 0");
  Control("sms capacity ME 0");
  const auto reads = Sim().reads;
  Control("sms deliver --storage SM 13912345678 Hi");
  Control("sms deliver --storage ME 13912345678 Hi");
  ASSERT_TRUE(RunUntil([&] { return full_.size() == 2; }));
  EXPECT_EQ(full_, (std::vector<int>{kStrCardMessagesFull, kStrModemMessagesFull}));
  loop_.Advance(500);
  EXPECT_EQ(Sim().reads, reads);
  EXPECT_EQ(store_.Count(Inbox), 0);
}

TEST_F(SmsExchangeTest, ALongMessageWithAMissingPartIsStoredPartByPartAfterNinetySeconds) {
  Control("sms deliver --storage ME --parts 3 --drop 2 13912345678 aaaaabbbbbccccc");
  ASSERT_TRUE(RunUntil([&] { return Sim().reads == 2 && !receiver_->IsReading(); }));
  loop_.Advance(100);
  EXPECT_EQ(store_.Count(Inbox), 0);
  loop_.Advance(kPartWaitMs - 1000);
  EXPECT_EQ(store_.Count(Inbox), 0);
  loop_.Advance(2000);
  ASSERT_EQ(store_.Count(Inbox), 2);
  std::set<std::string> texts{Box(Inbox, 0), Box(Inbox, 1)};
  EXPECT_EQ(texts, (std::set<std::string>{"aaaaa", "ccccc"}));
  EXPECT_TRUE(store_.GetRecord(Inbox, 0)->HasPartInfo());
}

TEST_F(SmsExchangeTest, PartsDeliveredDirectlyAreJoined) {
  Control("sms deliver --storage direct --parts 2 13912345678 firstsecond");
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 1; }));
  auto r = store_.GetRecord(Inbox, 0);
  EXPECT_EQ(r->Text(), "firstsecond");
  EXPECT_EQ(r->flags & kSmsFlagJoined, kSmsFlagJoined);
  EXPECT_EQ(Sim().reads, 0u);
}

TEST_F(SmsExchangeTest, DeliveryReportsReachTheirHook) {
  Control("sms report 13800138000 0");
  Control("sms report 13800138001 70");
  ASSERT_TRUE(RunUntil([&] { return reports_.size() == 2; }));
  EXPECT_EQ(reports_[0].number, "13800138000");
  EXPECT_TRUE(reports_[0].Delivered());
  EXPECT_FALSE(reports_[1].Delivered());
}

TEST_F(SmsExchangeTest, AStormOfNewMessagesWhileSendingLosesNothingAndReadsEachOnce) {
  bool stormed = false;
  onProgress_ = [&] {
    if (stormed) return;
    stormed = true;
    for (int i = 0; i < 50; ++i) Control("sms deliver --storage ME 1391234" + std::to_string(1000 + i) + " m" + std::to_string(i));
  };
  ASSERT_EQ(sender_->Send("10086;10010", std::string(200, 'x'), ""), SendStart::Started);
  ASSERT_TRUE(RunSend());
  EXPECT_TRUE(report_->AllSent());
  ASSERT_TRUE(RunUntil([&] { return store_.Count(Inbox) == 50; }, 60000));
  loop_.Advance(500);
  EXPECT_EQ(store_.Count(Inbox), 50);
  EXPECT_EQ(Sim().reads, 50u);
  std::set<std::string> texts;
  for (int i = 0; i < 50; ++i) texts.insert(Box(Inbox, i));
  EXPECT_EQ(texts.size(), 50u);
  EXPECT_EQ(store_.Count(Outbox), 4);
}

TEST_F(SmsExchangeTest, AFullInboxMakesRoomByDroppingTheOldestReadMessage) {
  for (int i = 0; i < kSmsBoxCapacity; ++i) {
    auto r = test::MakeRecord(i == 10 ? RecRead : RecUnread, "100", DateTime::FromLocal(2009, 1, 1, 0, 0, i % 60),
                              "old" + std::to_string(i));
    ASSERT_TRUE(store_.AddRecord(Inbox, r, false).changed);
  }
  Control("sms deliver --storage ME 13912345678 newest");
  ASSERT_TRUE(RunUntil([&] { return Box(Inbox, 0) == "newest"; }));
  EXPECT_EQ(store_.Count(Inbox), kSmsBoxCapacity);
  for (int i = 0; i < kSmsBoxCapacity; ++i) EXPECT_NE(Box(Inbox, i), "old10");
}

}  // namespace
}  // namespace evdo::sms
