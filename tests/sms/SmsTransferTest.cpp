// The transfer window's exchanges and the message settings exchange against
// the simulated modem: the real serial port on its pseudo-terminal, the
// dispatcher's threads, and the manual clock for every guard timer.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "sms/SmsData.h"
#include "sms/SmsSettings.h"
#include "sms/SmsTransfer.h"
#include "tests/sms/SmsTestSupport.h"
#include "tests/support/LinkFixture.h"
#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/SmsFeature.h"
#include "ui/StringIds.h"

namespace evdo::sms {
namespace {

using modemsim::ModemEngine;
using modemsim::SmsFeature;

// Hands what reaches the window to the exchange, with a look first.
struct Route : WindowHandler {
  WindowHandler* to = nullptr;
  std::function<void()> beforeAnswer;
  void OnMessage(MessageId m, WParam w, LParam l) override {
    if (m == kMsgSmsAnswer && beforeAnswer) beforeAnswer();
    if (to) to->OnMessage(m, w, l);
  }
  void OnTimer(TimerId id) override {
    if (to) to->OnTimer(id);
  }
};

SmsFeature::Stored Received(const std::string& number, const std::string& text, const std::string& partInfo = {}) {
  SmsFeature::Stored m;
  m.status = "REC READ";
  m.number = number;
  m.stamp = "09/05/01,10:20:30+32";
  m.serviceCentre = "+8613800100500";
  m.partInfo = partInfo;
  m.text = text;
  m.hexText = SmsFeature::EncodeHex(text);
  return m;
}

class SmsTransferTest : public test::LinkFixture {
protected:
  void SetUp() override {
    LinkFixture::SetUp();
    store_.LoadOrCreate();
    TransferHooks hooks;
    hooks.now = [] { return DateTime::FromLocal(2009, 5, 1, 12, 0, 0); };
    hooks.incomingCall = [this] { return incomingCall_; };
    hooks.showMessage = [this](int id, const std::string& detail) { shown_.push_back({id, detail}); };
    hooks.finished = [this](TransferMode mode, TransferEnd end) { ended_ = std::make_pair(mode, end); };
    hooks.stepProgress = [this](int) {
      if (onStep_) onStep_();
    };
    hooks.indicatorsChanged = [this] { ++indicators_; };
    hooks.boxChanged = [this](int box) { changedBoxes_.push_back(box); };
    transfer_.emplace(exchange_, store_, dispatcher_.NotificationGate(), link_, window_, hooks);
    route_.to = &*transfer_;
  }
  void TearDown() override {
    transfer_.reset();
    LinkFixture::TearDown();
  }

  void WithSms(const std::function<void(SmsFeature&)>& f) {
    modem_.WithEngine([&](ModemEngine& e) { f(*e.Feature<SmsFeature>()); });
  }
  SmsFeature Sim() {
    SmsFeature copy;
    WithSms([&](SmsFeature& f) {
      copy.me = f.me;
      copy.sm = f.sm;
      copy.reads = f.reads;
      copy.parameters = f.parameters;
    });
    return copy;
  }
  // stepMs: the manual clock's stride; long waits for a time-out take big ones.
  bool Run(std::uint64_t limitMs = 200000, std::uint64_t stepMs = 10) {
    ended_.reset();
    return loop_.AdvanceUntil([&] { return ended_.has_value(); }, limitMs, stepMs, 2);
  }
  bool Read() {
    if (transfer_->ReadDevices() != TransferStart::Started) return false;
    return Run() && ended_->second == TransferEnd::Done;
  }
  void AddPc(int box, std::int32_t status, const std::string& number, const std::string& text) {
    auto r = test::MakeRecord(status, number, DateTime::FromLocal(2009, 4, 1, 8, 0, 0), text);
    SetFieldText(r.serviceCentre, "+8613800100500");
    ASSERT_TRUE(store_.AddRecord(box, r, false).changed);
  }
  void ExpectLinkFree() {
    EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));
    EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
    EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
    EXPECT_FALSE(link_.IsHeld());
  }

  test::TempDir dir_;
  CSmsData store_{dir_.File("SmsData.dat")};
  ManualEventLoop loop_;
  Route route_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(route_);
  CSmsLinkLock link_;
  std::optional<CSmsTransfer> transfer_;

  bool incomingCall_ = false;
  std::function<void()> onStep_;
  std::vector<std::pair<int, std::string>> shown_;
  std::optional<std::pair<TransferMode, TransferEnd>> ended_;
  int indicators_ = 0;
  std::vector<int> changedBoxes_;
};

TEST_F(SmsTransferTest, ReadingBothStoragesSkipsAnEmptyLocation) {
  WithSms([](SmsFeature& f) {
    f.me.messages[0] = Received("13900000001", "first");
    f.me.messages[2] = Received("13900000002", "third");  // location 1 is empty
    f.sm.messages[0] = Received("13900000003", "on the card");
  });
  ASSERT_TRUE(Read());
  const auto& me = transfer_->Storage(kStorageMe);
  const auto& sm = transfer_->Storage(kStorageSm);
  ASSERT_EQ(me.entries.size(), 2u);
  EXPECT_EQ(me.entries[0].index, 0);
  EXPECT_EQ(me.entries[1].index, 2);
  EXPECT_EQ(me.entries[1].record.Text(), "third");
  EXPECT_EQ(me.used, 2);
  EXPECT_EQ(me.total, SmsFeature::kMeCapacity);
  ASSERT_EQ(sm.entries.size(), 1u);
  EXPECT_EQ(sm.entries[0].record.Number(), "13900000003");
  EXPECT_EQ(sm.total, SmsFeature::kSmCapacity);
  // Locations 0, 1, 2 of "ME" and 0 of "SM"; no more once all were found.
  EXPECT_EQ(Sim().reads, 4u);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, DeviceListsAreBoundedWhateverTheModemClaims) {
  WithSms([](SmsFeature& f) {
    f.me.capacity = 5000;
    f.sm.capacity = 5000;
    for (int i = 0; i < 1100; ++i) f.me.messages[i] = Received("139", "m" + std::to_string(i));
    for (int i = 0; i < 300; ++i) f.sm.messages[i] = Received("138", "s" + std::to_string(i));
  });
  ASSERT_TRUE(Read());
  EXPECT_EQ(transfer_->Storage(kStorageMe).entries.size(), static_cast<std::size_t>(kMaxMeEntries));
  EXPECT_EQ(transfer_->Storage(kStorageSm).entries.size(), static_cast<std::size_t>(kMaxSmEntries));
  EXPECT_EQ(Sim().reads, static_cast<std::uint64_t>(kMaxMeEntries + kMaxSmEntries));
  // A storage whose list is at its bound takes nothing more.
  AddPc(Saved, StoUnsent, "10086", "one more");
  transfer_->SetPcBox(Saved);
  EXPECT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, false), TransferStart::SmFull);
  EXPECT_EQ(shown_.back().first, kStrCardMessagesFull);
}

TEST_F(SmsTransferTest, SilenceWhileReadingTimesOutAndKeepsWhatWasRead) {
  WithSms([](SmsFeature& f) {
    f.me.messages[0] = Received("13900000001", "first");
    f.me.messages[1] = Received("13900000002", "second");
  });
  route_.beforeAnswer = [&] {
    if (Sim().reads == 1) Control("fault silent 1");
  };
  ASSERT_EQ(transfer_->ReadDevices(), TransferStart::Started);
  ASSERT_TRUE(Run(kReadMs + 5000, 250));
  route_.beforeAnswer = nullptr;
  EXPECT_EQ(ended_->second, TransferEnd::TimedOut);
  EXPECT_EQ(shown_.back().first, kStrModemTimeout);
  EXPECT_EQ(transfer_->Storage(kStorageMe).entries.size(), 1u);
  ExpectLinkFree();
  // Reading again reads everything.
  ASSERT_TRUE(Read());
  EXPECT_EQ(transfer_->Storage(kStorageMe).entries.size(), 2u);
}

TEST_F(SmsTransferTest, TheSimulatedModemTakesCapacitiesBeyondTheListBounds) {
  Control("sms capacity ME 5000");
  EXPECT_EQ(Sim().me.capacity, 5000);
  EXPECT_NE(modem_.Control("sms capacity ME 10001"), "OK\n");
}

TEST_F(SmsTransferTest, CopyFromTheComputerToTheCardWritesALongTextInParts) {
  ASSERT_TRUE(Read());
  const std::string text(400, 'x');
  AddPc(Outbox, StoSent, "+8613800000001", text);
  transfer_->SetPcBox(Outbox);
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, false), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
  auto sim = Sim();
  ASSERT_EQ(sim.sm.Used(), 3);
  std::string joined;
  for (int i = 0; i < 3; ++i) {
    const auto& m = sim.sm.messages.at(i);
    EXPECT_EQ(m.number, "+8613800000001");
    EXPECT_EQ(m.status, "STO SENT");
    EXPECT_EQ(m.partInfo, "0/" + std::to_string(i + 1) + "/3");
    joined += m.text;
  }
  EXPECT_EQ(joined, text);
  EXPECT_EQ(sim.parameters, "113,167,0,0");
  const auto& sm = transfer_->Storage(kStorageSm);
  ASSERT_EQ(sm.entries.size(), 3u);
  EXPECT_EQ(sm.used, 3);
  EXPECT_EQ(sm.entries[2].record.partIndex, 3);
  EXPECT_EQ(sm.entries[2].record.Text(), text.substr(306));
  EXPECT_EQ(store_.Count(Outbox), 1);  // a copy keeps the source
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, MoveBetweenTheDeviceStoragesSplitsAndDeletesAfterTheLastPart) {
  // A location's answer line carries at most 199 characters.
  const std::string text(180, 'y');
  WithSms([&](SmsFeature& f) { f.me.messages[4] = Received("13900000009", text); });
  ASSERT_TRUE(Read());
  ASSERT_EQ(transfer_->Storage(kStorageMe).entries.size(), 1u);
  ASSERT_EQ(transfer_->Start(kStorageMe, kStorageSm, {0}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
  auto sim = Sim();
  ASSERT_EQ(sim.sm.Used(), 2);
  EXPECT_EQ(sim.sm.messages.at(0).partInfo, "0/1/2");
  EXPECT_EQ(sim.sm.messages.at(1).partInfo, "0/2/2");
  EXPECT_EQ(sim.sm.messages.at(0).text.size(), 153u);
  EXPECT_EQ(sim.sm.messages.at(0).text + sim.sm.messages.at(1).text, text);
  EXPECT_EQ(sim.sm.messages.at(0).status, "REC READ");
  EXPECT_EQ(sim.me.Used(), 0);
  EXPECT_TRUE(transfer_->Storage(kStorageMe).entries.empty());
  EXPECT_EQ(transfer_->Storage(kStorageSm).used, 2);
}

TEST_F(SmsTransferTest, MoveBetweenTheDeviceStoragesKeepsTheSourceWhenALaterPartFails) {
  const std::string text(180, 'z');
  WithSms([&](SmsFeature& f) {
    f.me.messages[0] = Received("13900000009", text);
    f.sm.capacity = 1;  // room for the first part only
  });
  ASSERT_TRUE(Read());
  ASSERT_EQ(transfer_->Start(kStorageMe, kStorageSm, {0}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(shown_.back().first, kStrCardMessagesFull);
  auto sim = Sim();
  EXPECT_EQ(sim.sm.Used(), 1);
  ASSERT_EQ(sim.me.Used(), 1);  // the whole message is still where it was
  EXPECT_EQ(sim.me.messages.at(0).text, text);
  EXPECT_EQ(transfer_->Storage(kStorageMe).entries.size(), 1u);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, MoveFromTheCardToTheComputerDeletesFromTheCard) {
  WithSms([](SmsFeature& f) {
    f.sm.messages[0] = Received("13900000001", "one");
    f.sm.messages[1] = Received("13900000002", "two");
    f.sm.messages[2] = Received("13900000003", "three");
  });
  ASSERT_TRUE(Read());
  transfer_->SetPcBox(Inbox);
  ASSERT_EQ(transfer_->Start(kStorageSm, kStoragePc, {2, 0}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
  ASSERT_EQ(store_.Count(Inbox), 2);
  std::set<std::string> texts{std::string(store_.GetRecord(Inbox, 0)->Text()),
                              std::string(store_.GetRecord(Inbox, 1)->Text())};
  EXPECT_EQ(texts, (std::set<std::string>{"one", "three"}));
  auto sim = Sim();
  ASSERT_EQ(sim.sm.Used(), 1);
  EXPECT_EQ(sim.sm.messages.begin()->second.text, "two");
  const auto& sm = transfer_->Storage(kStorageSm);
  ASSERT_EQ(sm.entries.size(), 1u);
  EXPECT_EQ(sm.entries[0].index, 1);
  EXPECT_EQ(sm.used, 1);
  EXPECT_GE(indicators_, 1);
  EXPECT_NE(std::find(changedBoxes_.begin(), changedBoxes_.end(), Inbox), changedBoxes_.end());
}

TEST_F(SmsTransferTest, MoveFromTheComputerDeletesTheRecordOnlyAfterItsParts) {
  ASSERT_TRUE(Read());
  AddPc(Saved, StoUnsent, "10086", "short one");
  AddPc(Saved, StoUnsent, "10010", std::string(170, 'q'));
  transfer_->SetPcBox(Saved);
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageMe, {0, 1}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
  EXPECT_EQ(store_.Count(Saved), 0);
  EXPECT_EQ(Sim().me.Used(), 3);
  EXPECT_EQ(transfer_->Storage(kStorageMe).used, 3);
}

TEST_F(SmsTransferTest, AFullComputerBoxStopsTheTransfer) {
  WithSms([](SmsFeature& f) {
    f.sm.messages[0] = Received("13900000001", "one");
    f.sm.messages[1] = Received("13900000002", "two");
  });
  ASSERT_TRUE(Read());
  for (int i = 0; i < kSmsBoxCapacity - 1; ++i)
    ASSERT_TRUE(store_.AddRecord(Inbox, test::MakeRecord(RecRead, "1", DateTime::FromLocal(2008, 1, 1, 0, 0, i % 60), "o"), false).changed);
  ASSERT_EQ(transfer_->Start(kStorageSm, kStoragePc, {0, 1}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(shown_.back().first, kStrPcBoxFull);
  EXPECT_EQ(store_.Count(Inbox), kSmsBoxCapacity);
  EXPECT_EQ(Sim().sm.Used(), 1);  // the one that did not fit stays on the card
  // A full box refuses before anything is sent.
  const auto before = modem_.Control("history");
  EXPECT_EQ(transfer_->Start(kStorageSm, kStoragePc, {0}, false), TransferStart::PcFull);
  loop_.Advance(100);
  EXPECT_EQ(modem_.Control("history"), before);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, AFullDeviceStorageRefusesBeforeAnyCommand) {
  WithSms([](SmsFeature& f) {
    f.me.capacity = 1;
    f.me.messages[0] = Received("13900000001", "one");
  });
  ASSERT_TRUE(Read());
  AddPc(Inbox, RecRead, "10086", "hello");
  EXPECT_EQ(transfer_->Start(kStoragePc, kStorageMe, {0}, false), TransferStart::MeFull);
  EXPECT_EQ(shown_.back().first, kStrModemMessagesFull);
  EXPECT_EQ(transfer_->Start(kStoragePc, kStorageSm, {}, false), TransferStart::NoSelection);
  EXPECT_EQ(shown_.back().first, kStrSelectEntry);
  EXPECT_EQ(transfer_->Start(kStorageSm, kStoragePc, {0}, false), TransferStart::Empty);
  incomingCall_ = true;
  EXPECT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, false), TransferStart::NotReady);
  EXPECT_EQ(transfer_->ReadDevices(), TransferStart::NotReady);
}

TEST_F(SmsTransferTest, SilenceAfterTheTextTimesOutWithCtrlZAndTheModemIsUsableAfter) {
  ASSERT_TRUE(Read());
  AddPc(Outbox, StoSent, "10086", "hello");
  transfer_->SetPcBox(Outbox);
  bool silenced = false;
  std::uint64_t bytesBefore = 0;
  route_.beforeAnswer = [&] {
    bool inText = false;
    std::uint64_t bytes = 0;
    modem_.WithEngine([&](ModemEngine& e) {
      inText = e.InTextEntry();
      bytes = e.BytesReceived();
    });
    if (inText && !silenced) {
      bytesBefore = bytes;
      silenced = true;
      Control("fault silent 1");
    }
  };
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, true), TransferStart::Started);
  ASSERT_TRUE(Run(kWriteMs + 5000, 250));
  route_.beforeAnswer = nullptr;
  ASSERT_TRUE(silenced);
  EXPECT_EQ(ended_->second, TransferEnd::TimedOut);
  EXPECT_EQ(shown_.back().first, kStrModemTimeout);
  EXPECT_EQ(store_.Count(Outbox), 1);  // nothing moved, nothing lost
  std::uint64_t bytesAfter = 0;
  loop_.AdvanceUntil([&] {
    modem_.WithEngine([&](ModemEngine& e) { bytesAfter = e.BytesReceived(); });
    return bytesAfter > bytesBefore + 12;
  }, 2000, 10, 2);
  // The data block (hexadecimal text and Ctrl-Z), then the lone Ctrl-Z.
  EXPECT_EQ(bytesAfter, bytesBefore + 4 * 5 + 1 + 1);
  EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));
  loop_.Advance(CSmsChannel::kIgnoredGuardMs + 100);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  EXPECT_EQ(Ask("AT\r").lineCount, 1);
  // And the transfer itself works again.
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, false), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
}

TEST_F(SmsTransferTest, ACmsErrorInTheMiddleStopsWithAMessage) {
  ASSERT_TRUE(Read());
  AddPc(Outbox, StoSent, "10086", std::string(400, 'e'));
  transfer_->SetPcBox(Outbox);
  // The card turns out smaller than it said: the second part finds no room.
  route_.beforeAnswer = [&] {
    WithSms([](SmsFeature& f) {
      if (f.sm.Used() == 1) f.sm.capacity = 1;
    });
  };
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(shown_.back().first, kStrTransferFailed);
  EXPECT_EQ(store_.Count(Outbox), 1);  // the move did not take the record
  EXPECT_EQ(Sim().sm.Used(), 1);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, RemovalInTheMiddleEndsTheTransferAndLosesNothing) {
  ASSERT_TRUE(Read());
  AddPc(Saved, StoUnsent, "10086", "first");
  AddPc(Saved, StoUnsent, "10010", "second");
  transfer_->SetPcBox(Saved);
  onStep_ = [this] { port_.Close(); };
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0, 1}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(store_.Count(Saved), 1);
  EXPECT_EQ(Sim().sm.Used(), 1);
  EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));
  EXPECT_FALSE(transfer_->IsRunning());
}

TEST_F(SmsTransferTest, AnIncomingCallEndsTheTransferBetweenMessages) {
  ASSERT_TRUE(Read());
  AddPc(Saved, StoUnsent, "10086", "first");
  AddPc(Saved, StoUnsent, "10010", "second");
  transfer_->SetPcBox(Saved);
  onStep_ = [this] { incomingCall_ = true; };
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageMe, {0, 1}, false), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Stopped);
  EXPECT_EQ(Sim().me.Used(), 1);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, ANumberWithOtherThanDialCharactersNeverReachesTheModem) {
  ASSERT_TRUE(Read());
  AddPc(Saved, StoUnsent, "10086\",129,\"STO SENT\"\rAT+CFUN=0", "hi");
  transfer_->SetPcBox(Saved);
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, false), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(shown_.back().first, kStrBadMessageNumber);
  EXPECT_EQ(modem_.Control("history").find("CFUN"), std::string::npos);
  EXPECT_EQ(Sim().sm.Used(), 0);
}

TEST_F(SmsTransferTest, ATextBeyondFivePartsIsRefusedBeforeAnyCommand) {
  ASSERT_TRUE(Read());
  AddPc(Saved, StoUnsent, "10086", std::string(800, 'l'));
  transfer_->SetPcBox(Saved);
  ASSERT_EQ(transfer_->Start(kStoragePc, kStorageSm, {0}, true), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Failed);
  EXPECT_EQ(shown_.back().first, kStrTransferTooLong);
  EXPECT_EQ(modem_.Control("history").find("CMGW"), std::string::npos);
  EXPECT_EQ(store_.Count(Saved), 1);
  ExpectLinkFree();
}

TEST_F(SmsTransferTest, DeletingFromTheModemAndFromTheComputer) {
  WithSms([](SmsFeature& f) {
    f.me.messages[3] = Received("13900000001", "one");
    f.me.messages[7] = Received("13900000002", "two");
  });
  ASSERT_TRUE(Read());
  ASSERT_EQ(transfer_->Delete(kStorageMe, {1}), TransferStart::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(ended_->second, TransferEnd::Done);
  auto sim = Sim();
  ASSERT_EQ(sim.me.Used(), 1);
  EXPECT_TRUE(sim.me.messages.contains(3));
  EXPECT_EQ(transfer_->Storage(kStorageMe).entries.size(), 1u);
  AddPc(Saved, StoUnsent, "10086", "draft");
  transfer_->SetPcBox(Saved);
  ASSERT_EQ(transfer_->Delete(kStoragePc, {0}), TransferStart::Started);
  EXPECT_EQ(store_.Count(Saved), 0);
}

TEST(SmsTransferLines, WriteCommandLine) {
  auto r = test::MakeRecord(StoSent, "+8613800000001", DateTime::FromLocal(2009, 5, 1, 7, 8, 9), "x");
  EXPECT_EQ(WriteCommandLine(r, DateTime::Now()), "AT+CMGW=\"+8613800000001\",145,\"STO SENT\",\"09/05/01,07:08:09+00\"\r");
  r.time.Set(DateTime::MakeInvalid());
  r.status = RecUnread;
  SetFullFieldText(r.number, "10086");
  EXPECT_EQ(WriteCommandLine(r, DateTime::FromLocal(2010, 1, 2, 3, 4, 5)),
            "AT+CMGW=\"10086\",129,\"REC UNREAD\",\"10/01/02,03:04:05+00\"\r");
  SetFullFieldText(r.number, "10086;");
  EXPECT_EQ(WriteCommandLine(r, DateTime::Now()), "");
  SetFullFieldText(r.number, "10086");
  r.status = UnknownStatus;
  EXPECT_EQ(WriteCommandLine(r, DateTime::Now()), "");
}

TEST(SmsTransferLines, ModemAnswersAreReadOnlyWhenTheyAreSound) {
  int c[4] = {};
  EXPECT_EQ(ParseSelectionCounts("$QCPMS: 3,100,1,30", c), 4);
  EXPECT_EQ(c[0], 3);
  EXPECT_EQ(c[3], 30);
  EXPECT_EQ(ParseSelectionCounts("$QCPMS: 3,100", c), 2);
  EXPECT_EQ(ParseSelectionCounts("$QCPMS: -3,100", c), 0);
  EXPECT_EQ(ParseSelectionCounts("$QCPMS: 99999999999999,5", c), 2);
  EXPECT_EQ(c[0], 1000000);  // bounded, never overflowing
  EXPECT_EQ(ParseSelectionCounts("+CPMS: 3,100", c), 0);
  EXPECT_EQ(ParseSelectionCounts("$QCPMS: ", c), 0);
  EXPECT_EQ(ParseWrittenIndex("+CMGW: 17"), 17);
  EXPECT_EQ(ParseWrittenIndex("+CMGW: 17\r"), 17);
  EXPECT_EQ(ParseWrittenIndex("+CMGW: 65536"), -1);
  EXPECT_EQ(ParseWrittenIndex("+CMGW: 1x"), -1);
  EXPECT_EQ(ParseWrittenIndex("+CMGW: -1"), -1);
  EXPECT_EQ(ParseWrittenIndex("+CMGW:"), -1);
  EXPECT_EQ(ParseWrittenIndex("$QCMGS: 5"), -1);
}

// ---------------------------------------------------------------------------
// The message settings.

class SmsSettingsTest : public test::LinkFixture {
protected:
  void SetUp() override {
    LinkFixture::SetUp();
    SettingsHooks hooks;
    hooks.serviceCentre = [this] { return centre_; };
    hooks.setServiceCentre = [this](const std::string& c) { centre_ = c; };
    hooks.saveChoices = [this](int v, bool d) {
      saved_.push_back("choices " + std::to_string(v) + " " + (d ? "1" : "0"));
      return true;
    };
    hooks.saveStorage = [this](int s) {
      saved_.push_back("storage " + std::to_string(s));
      return true;
    };
    hooks.showMessage = [this](int id, const std::string&) { shown_.push_back(id); };
    hooks.enableApply = [this](bool e) { applyEnabled_ = e; };
    settings_.emplace(exchange_, link_, window_, hooks);
    route_.to = &*settings_;
  }
  void TearDown() override {
    settings_.reset();
    LinkFixture::TearDown();
  }
  bool Run(std::uint64_t limitMs = 70000, std::uint64_t stepMs = 10) {
    return loop_.AdvanceUntil([&] { return !settings_->IsRunning(); }, limitMs, stepMs, 2);
  }
  std::string Routing() {
    std::string state;
    modem_.WithEngine([&](ModemEngine& e) {
      auto* f = e.Feature<SmsFeature>();
      state = f->preferredStorage + " " + std::to_string(f->routingMode) + "," + std::to_string(f->routingMt);
    });
    return state;
  }

  ManualEventLoop loop_;
  Route route_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(route_);
  CSmsLinkLock link_;
  std::optional<CSmsSettings> settings_;
  std::string centre_ = "+8613800100500";
  std::vector<std::string> saved_;
  std::vector<int> shown_;
  bool applyEnabled_ = true;
};

TEST(SmsSettingsLines, CommandLines) {
  EXPECT_EQ(PreferredStorageLine(kPreferSm), "AT+CPMS=\"\",\"\",\"SM\"\r");
  EXPECT_EQ(PreferredStorageLine(kPreferMe), "AT+CPMS=\"\",\"\",\"ME\"\r");
  EXPECT_EQ(RoutingLine(kPreferMe), "AT$QCNMI=2,1\r");
  EXPECT_EQ(RoutingLine(kPreferPc), "AT$QCNMI=1,2\r");
  EXPECT_EQ(NormalizeServiceCentre("8613800100500"), "+8613800100500");
  EXPECT_EQ(NormalizeServiceCentre("+86138"), "+86138");
  EXPECT_EQ(NormalizeServiceCentre(""), "");
}

TEST_F(SmsSettingsTest, TheCardAsStorageSendsBothCommandsAndSavesOnTheLastOk) {
  SettingsChoice c{"8613800100999", 4, true, kPreferSm};
  ASSERT_EQ(settings_->Apply(c), SettingsApply::Started);
  EXPECT_EQ(centre_, "+8613800100999");
  EXPECT_FALSE(applyEnabled_);
  ASSERT_TRUE(Run());
  EXPECT_EQ(Routing(), "SM 2,1");
  EXPECT_EQ(saved_, (std::vector<std::string>{"choices 4 1", "storage 1"}));
  EXPECT_EQ(shown_, (std::vector<int>{kStrServiceCentreChanged, kStrStorageSaved}));
  EXPECT_TRUE(applyEnabled_);
}

TEST_F(SmsSettingsTest, TheComputerAsStorageAsksForDirectDelivery) {
  SettingsChoice c{"+8613800100500", 0, false, kPreferPc};
  ASSERT_EQ(settings_->Apply(c), SettingsApply::Started);
  ASSERT_TRUE(Run());
  EXPECT_EQ(Routing(), "ME 1,2");
  EXPECT_EQ(saved_, (std::vector<std::string>{"choices 0 0", "storage 2"}));
  EXPECT_EQ(shown_, (std::vector<int>{kStrStorageSaved}));  // the centre did not change
}

TEST_F(SmsSettingsTest, SilenceKeepsTheOldStorageAndEnablesApplyAgain) {
  Control("fault silent 1");
  ASSERT_EQ(settings_->Apply({"+8613800100500", 2, false, kPreferSm}), SettingsApply::Started);
  ASSERT_TRUE(Run(70000, 250));
  EXPECT_EQ(saved_, (std::vector<std::string>{"choices 2 0"}));
  EXPECT_EQ(shown_.back(), kStrModemTimeout);
  EXPECT_TRUE(applyEnabled_);
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_EQ(Ask("AT\r").lineCount, 1);
}

TEST_F(SmsSettingsTest, ABadServiceCentreIsRefusedBeforeAnythingIsTaken) {
  const auto before = modem_.Control("history");
  EXPECT_EQ(settings_->Apply({"+86;ATH", 2, false, kPreferSm}), SettingsApply::BadServiceCentre);
  EXPECT_EQ(shown_, (std::vector<int>{kStrBadMessageNumber}));
  EXPECT_TRUE(saved_.empty());
  EXPECT_EQ(centre_, "+8613800100500");
  loop_.Advance(100);
  EXPECT_EQ(modem_.Control("history"), before);
}

}  // namespace
}  // namespace evdo::sms
