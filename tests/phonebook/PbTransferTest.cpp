// The transfer window's exchanges against the simulated modem on a
// pseudo-terminal: the real serial port, the dispatcher's threads and the
// event layer on the manual clock.
#include <gtest/gtest.h>

#include <chrono>

#include "core/event/ManualEventLoop.h"
#include "core/text/CodePage.h"
#include "phonebook/PbTransfer.h"
#include "tests/support/LinkFixture.h"
#include "tests/phonebook/PhonebookTestUtil.h"
#include "tools/modemsim/PhonebookFeature.h"

namespace evdo {
namespace {

using test::Contact;

struct Route : WindowHandler {
  WindowHandler* target = nullptr;
  void OnMessage(MessageId m, WParam w, LParam l) override { target->OnMessage(m, w, l); }
  void OnTimer(TimerId id) override { target->OnTimer(id); }
};

class PbTransferTest : public test::LinkFixture {
protected:
  void SetUp() override {
    LinkFixture::SetUp();
    test::KeepInMemory(store_);
    route_.target = &io_;
    io_.SetUnnamedText("No Name");
  }
  void TearDown() override {
    transfer_.reset();
    io_.Cancel();
    LinkFixture::TearDown();
  }

  // Runs the loop until pred holds (real answers from the modem arrive on
  // the parser thread; the manual clock runs the pauses and time-outs).
  template <class Pred>
  bool RunUntil(Pred pred, std::uint64_t manualLimitMs = 600000) {
    return loop_.AdvanceUntil(pred, manualLimitMs, 10, 50);
  }

  PbTransferHooks Hooks() {
    PbTransferHooks hooks;
    hooks.showMessage = [this](int message, const std::string& detail) {
      messages_.push_back(message);
      details_.push_back(detail);
    };
    hooks.finished = [this](bool completed) {
      finished_ = true;
      completed_ = completed;
    };
    hooks.askField = [this](const DeviceEntry&, auto answer) { answer(askedField_, keepField_); };
    hooks.pcChanged = [this] { ++pcChanges_; };
    return hooks;
  }

  PbResult Open() {
    transfer_ = std::make_unique<CPbTransfer>(store_, io_, dispatcher_.NotificationGate(), Hooks());
    bool done = false;
    PbResult result;
    transfer_->Open([this](int d, int t) { progress_.emplace_back(d, t); }, nullptr,
                    [&](const PbResult& r) {
                      done = true;
                      result = r;
                      EXPECT_TRUE(dispatcher_.NotificationGate().IsSet()) << "the gate opens again";
                    });
    EXPECT_FALSE(dispatcher_.NotificationGate().IsSet()) << "notifications wait during the read";
    EXPECT_TRUE(RunUntil([&] { return done; }));
    return result;
  }

  bool Transfer(PbPlace from, PbPlace to, std::vector<int> items, bool move) {
    finished_ = false;
    if (!transfer_->CopyOrMove(from, to, std::move(items), move)) return false;
    EXPECT_TRUE(RunUntil([&] { return finished_; }));
    return completed_;
  }

  std::string List(const char* book) { return modem_.Control(std::string("pb list ") + book); }
  static std::string Hex(std::string_view utf8) { return modemsim::PhonebookFeature::Utf8ToHex(utf8); }

  ManualEventLoop loop_;
  Route route_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(route_);
  CPbDeviceIo io_{exchange_, window_, [this] { return port_.IsOpen(); }};
  CPbData store_;
  std::unique_ptr<CPbTransfer> transfer_;
  std::vector<int> messages_;
  std::vector<std::string> details_;
  std::vector<std::pair<int, int>> progress_;
  bool finished_ = false, completed_ = false;
  int pcChanges_ = 0;
  std::optional<ContactField> askedField_ = ContactField::Mobile;
  bool keepField_ = false;
};

TEST_F(PbTransferTest, ReadsAFullCardAndTheDeviceMemory) {
  for (int i = 1; i <= 250; ++i)
    Control("pb add SM " + std::to_string(i) + " 1380000" + std::to_string(1000 + i) + " 名字" + std::to_string(i));
  Control("pb add ME 7 +8613900001111 Ann");
  Control("pb add ME 9 10086");  // no name
  const auto start = std::chrono::steady_clock::now();
  PbResult r = Open();
  const auto ms = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
  ASSERT_TRUE(r.ok) << r.message << " " << r.detail;
  const DeviceBook& sm = io_.Book(PbMemory::SM);
  ASSERT_EQ(sm.Total(), 250);
  EXPECT_EQ(sm.Used(), 250);
  EXPECT_EQ(sm.At(0).index, 1);
  EXPECT_EQ(sm.At(249).Number(), "13800001250");
  EXPECT_EQ(ToUtf8(sm.At(249).Name()), "名字250");
  const DeviceBook& me = io_.Book(PbMemory::ME);
  ASSERT_EQ(me.Total(), 500);
  EXPECT_EQ(me.Used(), 2);
  EXPECT_EQ(me.At(6).Number(), "+8613900001111");
  EXPECT_EQ(me.At(6).Name(), "Ann");
  EXPECT_EQ(me.At(8).Name(), "No Name") << "an empty name shows the unnamed-entry text";
  EXPECT_TRUE(me.At(0).Empty());
  ASSERT_FALSE(progress_.empty());
  EXPECT_EQ(progress_.back(), std::make_pair(500, 500));
  EXPECT_LT(io_.LongestStepMicros(), 16000) << "one step must not hold the window's thread";
  std::printf("[ figures ] 750 locations read in %lld ms; longest step %lld us\n", static_cast<long long>(ms.count()),
              static_cast<long long>(io_.LongestStepMicros()));
}

TEST_F(PbTransferTest, AnEmptyCardReadsEmptyAndNoLocationsClosesTheWindow) {
  ASSERT_TRUE(Open().ok);
  EXPECT_EQ(io_.Book(PbMemory::SM).Used(), 0);
  EXPECT_EQ(io_.Book(PbMemory::SM).Total(), 250);

  Control("pb capacity SM 0");
  PbResult none = Open();
  EXPECT_FALSE(none.ok);
  EXPECT_TRUE(none.empty);
  EXPECT_FALSE(io_.Book(PbMemory::SM).Exists());
  EXPECT_FALSE(io_.Book(PbMemory::ME).Exists());
}

TEST_F(PbTransferTest, AHugeCapacityIsBounded) {
  Control("pb capacity ME 5000");
  Control("pb add ME 1000 111 Last");
  Control("pb add ME 1001 222 Beyond");
  bool clipped = false;
  EXPECT_EQ(PbAnswer::Capacity("+CPBS: \"ME\",2,5000", &clipped), kMaxDeviceLocations);
  EXPECT_TRUE(clipped);
  EXPECT_EQ(PbAnswer::Capacity("+CPBS: \"ME\",2,99999999999999999999"), kMaxDeviceLocations);
  PbResult r = Open();
  ASSERT_TRUE(r.ok);
  const DeviceBook& me = io_.Book(PbMemory::ME);
  EXPECT_EQ(me.Total(), kMaxDeviceLocations);
  EXPECT_EQ(me.At(999).Name(), "Last");
  EXPECT_EQ(me.Used(), 1);
}

TEST_F(PbTransferTest, CopiesPcToCardAndBack) {
  ASSERT_TRUE(store_.Append(Contact("Ann", "13900001111", "", "+8675500002222")));
  ASSERT_TRUE(store_.Append(Contact("", "10086")));
  ASSERT_TRUE(store_.Append(Contact(FromUtf8("张三丰李四王五赵六"), "555")));
  Control("pb add SM 1 999 Old");
  ASSERT_TRUE(Open().ok);
  ASSERT_TRUE(Transfer(PbPlace::PC, PbPlace::SM, {0, 1, 2}, false));
  EXPECT_EQ(store_.Count(), 3) << "a copy keeps the PC contacts";
  const DeviceBook& sm = io_.Book(PbMemory::SM);
  EXPECT_EQ(sm.Used(), 5) << "two numbers of Ann become two entries";
  EXPECT_EQ(sm.At(1).Name(), "Ann");
  EXPECT_EQ(sm.At(2).Number(), "+8675500002222");
  EXPECT_EQ(sm.At(3).Name(), "No Name");
  EXPECT_EQ(ToUtf8(sm.At(4).Name()), "张三丰李四王") << "a double-byte name keeps 6 characters";
  const std::string list = List("SM");
  EXPECT_NE(list.find("2 13900001111 Ann [" + Hex("Ann") + "]"), std::string::npos) << list;
  EXPECT_NE(list.find("5 555 张三丰李四王"), std::string::npos) << list;

  // Back: the card entries 2 and 5 to the PC, into Home.
  askedField_ = ContactField::Home;
  ASSERT_TRUE(Transfer(PbPlace::SM, PbPlace::PC, {1, 4}, false));
  ASSERT_EQ(store_.Count(), 5);
  EXPECT_TRUE(SameContact([&] {
    ContactRecord r;
    store_.Get(3, r);
    return r;
  }(), Contact("Ann", "", "13900001111")));
  EXPECT_EQ(pcChanges_, 2);
  EXPECT_EQ(io_.Book(PbMemory::SM).Used(), 5) << "a copy keeps the card entries";
}

TEST_F(PbTransferTest, MovesDeviceMemoryToCard) {
  Control("pb add ME 3 111 Ann");
  Control("pb add ME 4 222 Ben");
  Control("pb add SM 1 333 Cy");
  ASSERT_TRUE(Open().ok);
  ASSERT_TRUE(Transfer(PbPlace::ME, PbPlace::SM, {2, 3}, true));
  EXPECT_EQ(io_.Book(PbMemory::ME).Used(), 0);
  EXPECT_EQ(io_.Book(PbMemory::SM).Used(), 3);
  EXPECT_EQ(List("ME"), "ME 0/500\nOK\n");
  const std::string sm = List("SM");
  EXPECT_NE(sm.find("2 111 Ann"), std::string::npos) << sm;
  EXPECT_NE(sm.find("3 222 Ben"), std::string::npos) << sm;
}

TEST_F(PbTransferTest, MovesPcToDeviceAndDeletesOnlyWrittenContacts) {
  ASSERT_TRUE(store_.Append(Contact("Ann", "1")));
  ASSERT_TRUE(store_.Append(Contact("NoNumber", "", "", "", "x@y.cn")));
  ASSERT_TRUE(store_.Append(Contact("Ben", "2")));
  ASSERT_TRUE(Open().ok);
  EXPECT_FALSE(Transfer(PbPlace::PC, PbPlace::ME, {0, 1, 2}, true));
  EXPECT_EQ(messages_, std::vector<int>{pbsync::kNothingToWrite});
  ASSERT_EQ(store_.Count(), 2) << "Ann moved; the contact without a number stays";
  EXPECT_EQ(test::Name(store_, 0), "NoNumber");
  EXPECT_EQ(io_.Book(PbMemory::ME).Used(), 1);
}

TEST_F(PbTransferTest, AWriteRefusedMidWayStopsTheSelection) {
  Control("pb capacity SM 3");
  for (const char* c : {"A", "B", "C"}) ASSERT_TRUE(store_.Append(Contact(c, "1")));
  ASSERT_TRUE(Open().ok);
  // The card shrinks after the read: the second write goes to a location
  // the device no longer has.
  Control("pb capacity SM 1");
  EXPECT_FALSE(Transfer(PbPlace::PC, PbPlace::SM, {0, 1, 2}, true));
  EXPECT_EQ(messages_, std::vector<int>{pbsync::kDeviceFailed});
  EXPECT_EQ(details_.back(), "+CME ERROR: 21");
  EXPECT_EQ(store_.Count(), 2) << "only the contact written was moved";
  EXPECT_EQ(test::Name(store_, 0), "B");
  EXPECT_EQ(List("SM"), "SM 1/1\n1 1 A [" + Hex("A") + "]\nOK\n");
  EXPECT_TRUE(dispatcher_.NotificationGate().IsSet());
}

TEST_F(PbTransferTest, AFullMemoryStopsBeforeAnyCommand) {
  Control("pb capacity SM 1");
  Control("pb add SM 1 1 Full");
  ASSERT_TRUE(store_.Append(Contact("Ann", "2")));
  ASSERT_TRUE(Open().ok);
  EXPECT_FALSE(Transfer(PbPlace::PC, PbPlace::SM, {0}, false));
  EXPECT_EQ(messages_, std::vector<int>{pbsync::kSmFull});
  Control("pb capacity ME 1");
  Control("pb add ME 1 1 Full");
  ASSERT_TRUE(Open().ok);
  EXPECT_FALSE(Transfer(PbPlace::SM, PbPlace::ME, {0}, false));
  EXPECT_EQ(messages_.back(), pbsync::kMeFull);
}

TEST(PbWriteCommandTest, OnlyCheckedNumbersAndEncodedNamesAreBuilt) {
  WriteRefusal why = WriteRefusal::None;
  EXPECT_EQ(BuildWriteCommand(3, "+8613900001111", "00410042", &why), "AT+CPBW=3,\"+8613900001111\",129,\"00410042\"\r");
  EXPECT_EQ(BuildWriteCommand(3, "", ""), "AT+CPBW=3\r");
  EXPECT_EQ(BuildWriteCommand(3, std::string(41, '1'), "", &why), "");
  EXPECT_EQ(why, WriteRefusal::NumberTooLong);
  EXPECT_EQ(BuildWriteCommand(3, "1\"", "", &why), "");
  EXPECT_EQ(why, WriteRefusal::NumberCharacters);
  EXPECT_EQ(BuildWriteCommand(3, "1", "0041\"", &why), "");
  EXPECT_EQ(why, WriteRefusal::NameNotEncoded);
  EXPECT_EQ(BuildWriteCommand(3, "1", std::string(60, '0'), &why), "") << "more than 14 characters";
  EXPECT_EQ(ShortenForDevice("abcdefghijklmnopq"), "abcdefghijklmn");
  EXPECT_EQ(ToUtf8(ShortenForDevice(FromUtf8("张三丰李四王五"))), "张三丰李四王");
  EXPECT_EQ(ToUtf8(ShortenForDevice(FromUtf8("ab张三cd"))), "ab张三cd");
}

TEST(PbAnswerTest, ReadsLocationLines) {
  DeviceEntry e;
  ASSERT_TRUE(PbAnswer::Entry("+CPBR: 7,\" 123 \",129,\"004100620063\"", 10, "?", e));
  EXPECT_EQ(e.index, 7);
  EXPECT_EQ(e.Number(), "123");
  EXPECT_EQ(e.Name(), "Abc");
  EXPECT_FALSE(PbAnswer::Entry("+CPBR: 11,\"1\",129,\"0041\"", 10, "?", e)) << "beyond the total";
  EXPECT_FALSE(PbAnswer::Entry("+CPBR: 0,\"1\",129,\"0041\"", 10, "?", e));
  EXPECT_FALSE(PbAnswer::Entry("+CPBR 1", 10, "?", e));
  EXPECT_FALSE(PbAnswer::Entry("+CPBR: x1,\"1\"", 10, "?", e));
  ASSERT_TRUE(PbAnswer::Entry("+CPBR: 2,\"5\",129,\"\"", 10, "unnamed", e));
  EXPECT_EQ(e.Name(), "unnamed");
  ASSERT_TRUE(PbAnswer::Entry("+CPBR: 2,\"5\",129", 10, "unnamed", e)) << "no name field";
  EXPECT_EQ(e.Name(), "unnamed");
  ASSERT_TRUE(PbAnswer::Entry("+CPBR: 3,\"" + std::string(60, '9') + "\",129,\"" + std::string(200, 'A') + "\"", 10, "u", e));
  EXPECT_EQ(e.Number().size(), 40u);
  EXPECT_LE(e.Name().size(), 32u);
  EXPECT_EQ(PbAnswer::Capacity("+CPBS: \"SM\",3,250"), 250);
  EXPECT_EQ(PbAnswer::Capacity("+CPBS: \"SM\",3,"), 0);
  EXPECT_EQ(PbAnswer::Capacity("OK"), 0);
  EXPECT_EQ(PbAnswer::Capacity("+CPBS: \"SM\",3,1000"), 1000);
}

TEST_F(PbTransferTest, UnsafeNumbersAndNamesNeverReachTheModem) {
  // As from a hand-edited PbData.dat: a number that would end the command.
  ASSERT_TRUE(store_.Append(Contact("Eve", "123\"\r\nAT+CPBW=1")));
  ASSERT_TRUE(store_.Append(Contact("Letter", "139a")));
  ASSERT_TRUE(store_.Append(Contact("Mid+", "12+3")));
  ASSERT_TRUE(Open().ok);
  for (int i = 0; i < 3; ++i) {
    messages_.clear();
    EXPECT_FALSE(Transfer(PbPlace::PC, PbPlace::SM, {i}, false));
    EXPECT_EQ(messages_, std::vector<int>{pbsync::kNumberNotWritable}) << i;
  }
  EXPECT_EQ(transfer_->RefusedWrites(), 3);
  EXPECT_EQ(io_.Book(PbMemory::SM).Used(), 0);
  EXPECT_EQ(List("SM"), "SM 0/250\nOK\n");
  const std::string history = modem_.Control("history");
  EXPECT_EQ(history.find("CPBW"), std::string::npos) << history;
}

TEST_F(PbTransferTest, ACardRemovedDuringTheReadFailsIt) {
  for (int i = 1; i <= 20; ++i) Control("pb add SM " + std::to_string(i) + " " + std::to_string(100 + i) + " N");
  transfer_ = std::make_unique<CPbTransfer>(store_, io_, dispatcher_.NotificationGate(), Hooks());
  bool done = false;
  PbResult result;
  transfer_->Open(
      [this](int d, int) {
        if (d == 5) modem_.Control("devstatus card failure");
      },
      nullptr, [&](const PbResult& r) {
        done = true;
        result = r;
      });
  ASSERT_TRUE(RunUntil([&] { return done; }));
  EXPECT_FALSE(result.ok);
  EXPECT_EQ(result.message, pbsync::kCardUnavailable);
  EXPECT_EQ(result.detail, "+CME ERROR: 10");
  EXPECT_FALSE(io_.Book(PbMemory::SM).Exists()) << "no half-read card is kept";
  EXPECT_TRUE(dispatcher_.NotificationGate().IsSet());
}

TEST_F(PbTransferTest, ASilentModemTimesOutAndFreesThePort) {
  ASSERT_TRUE(Open().ok);
  ASSERT_TRUE(store_.Append(Contact("Ann", "1")));
  modem_.Control("fault silent 1");
  finished_ = false;
  ASSERT_TRUE(transfer_->CopyOrMove(PbPlace::PC, PbPlace::SM, {0}, false));
  // Larger steps of the manual clock: the time-out is 5 s on it.
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return finished_; }, 60000, 250, 10));
  EXPECT_FALSE(completed_);
  EXPECT_EQ(messages_, std::vector<int>{pbsync::kModemTimeout});
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  // The next exchange works.
  EXPECT_TRUE(Transfer(PbPlace::PC, PbPlace::SM, {0}, false));
}

}  // namespace
}  // namespace evdo
