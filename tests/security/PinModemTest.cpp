// PIN management against the simulated modem's card: the start-up entry,
// the three windows' logic and the security page's buttons in every state
// of the card.
#include <gtest/gtest.h>

#include <memory>
#include <optional>

#include "device/status/DeviceInitializer.h"
#include "device/status/NotificationHandlers.h"
#include "device/status/StatusCommands.h"
#include "security/CardCommands.h"
#include "security/PinDialogs.h"
#include "security/SecurityButtons.h"
#include "security/SecurityIds.h"
#include "tests/security/SecurityModemFixture.h"

namespace evdo {
namespace {

using test::SecurityModemFixture;

// What a PIN window showed and how it ended.
struct DialogProbe {
  std::vector<StringId> messages;
  std::vector<std::pair<int, bool>> attempts;  // (count, announced as last)
  std::optional<bool> closed;
  bool busy = false;
  PinDialogView View() {
    PinDialogView v;
    v.showMessage = [this](StringId id) { messages.push_back(id); };
    v.showAttempts = [this](std::uint16_t n, bool last) { attempts.emplace_back(n, last); };
    v.setBusy = [this](bool b) { busy = b; };
    v.close = [this](bool accepted) { closed = accepted; };
    return v;
  }
};

class PinModemTest : public SecurityModemFixture {
protected:
  void SetUp() override {
    SecurityModemFixture::SetUp();
    fan_.targets.push_back(&cardExchange_);
  }
  // Runs an OK press of a window until it is no longer busy.
  template <class Press>
  bool Answered(CPinDialogLogic& logic, Press press) {
    press();
    return Until([&] { return !logic.IsBusy(); });
  }
  std::string CardLine() { return ControlText("pin"); }

  CPinStatus pin_;
  CReplyExchange cardExchange_{exchange_, window_};
  CCardCommands card_{pin_, cardExchange_};
};

TEST_F(PinModemTest, QueriesReadTheCard) {
  Control("pin request on");
  Control("pin attempts 2 9");
  std::optional<CommandOutcome> outcome;
  card_.QueryAttempts([&](CommandOutcome o) { outcome = o; });
  ASSERT_TRUE(Until([&] { return outcome.has_value(); }));
  EXPECT_EQ(*outcome, CommandOutcome::Answered);
  EXPECT_EQ(pin_.pinAttempts, 2);
  EXPECT_EQ(pin_.pukAttempts, 9);
  outcome.reset();
  card_.QueryLockState([&](CommandOutcome o) { outcome = o; });
  ASSERT_TRUE(Until([&] { return outcome.has_value(); }));
  EXPECT_EQ(pin_.pinLock, kPinLockOn);
  outcome.reset();
  card_.QuerySimState([&](CommandOutcome o) { outcome = o; });
  ASSERT_TRUE(Until([&] { return outcome.has_value(); }));
  EXPECT_EQ(pin_.simState, kSimStateReady);
}

TEST_F(PinModemTest, CardWithoutAnswerLeavesStateAndEndsAtOnce) {
  Control("devstatus card failure");  // no card: plain "ERROR"
  pin_.simState = kSimStatePinRequired;
  std::optional<CommandOutcome> outcome;
  card_.QuerySimState([&](CommandOutcome o) { outcome = o; });
  // Ended by the answer, well before the 5000 ms guard.
  ASSERT_TRUE(Until([&] { return outcome.has_value(); }, 1000));
  EXPECT_EQ(*outcome, CommandOutcome::Answered);
  EXPECT_EQ(pin_.simState, kSimStatePinRequired);
  EXPECT_TRUE(PortFree());
}

TEST_F(PinModemTest, UnansweredQueryGivesUpAfterFiveSeconds) {
  Control("fault silent");
  std::optional<CommandOutcome> outcome;
  card_.QuerySimState([&](CommandOutcome o) { outcome = o; });
  loop_.Advance(kCardQueryWaitMs - 10);
  EXPECT_FALSE(outcome.has_value());
  ASSERT_TRUE(Until([&] { return outcome.has_value(); }, 100));
  EXPECT_EQ(*outcome, CommandOutcome::TimedOut);
  EXPECT_TRUE(PortFree());
}

TEST_F(PinModemTest, CodesThatCouldInjectACommandAreNeverWritten) {
  Control("devstatus card pin");
  std::optional<CommandOutcome> outcome;
  card_.EnterPin("1234\"\rAT+CLCK=\"SC\",0,\"1234", [&](CommandOutcome o) { outcome = o; });
  ASSERT_TRUE(outcome.has_value());
  EXPECT_EQ(*outcome, CommandOutcome::NotWritten);
  outcome.reset();
  card_.ChangePin("1234", "12\r34", [&](CommandOutcome o) { outcome = o; });
  EXPECT_EQ(*outcome, CommandOutcome::NotWritten);

  DialogProbe probe;
  CSignInLogic signIn(card_, probe.View());
  signIn.Ok("12\"4");
  CModifyPinLogic unblock(card_, probe.View(), 1);
  unblock.Ok("12345678", "12\r4", "12\r4");
  CPinLockLogic lock(card_, probe.View(), 0);
  lock.Ok("1234;");
  EXPECT_EQ(probe.messages, (std::vector<StringId>{kStrPinLength, kStrPinLength, kStrPinLength}));
  EXPECT_EQ(modem_.Control("history").find("AT+C"), std::string::npos);
}

TEST_F(PinModemTest, WrongPinShowsAttemptsAndTheLastIsAnnounced) {
  Control("devstatus card pin");
  DialogProbe probe;
  CSignInLogic logic(card_, probe.View());
  logic.Start();
  ASSERT_TRUE(Until([&] { return !logic.IsBusy(); }));
  EXPECT_EQ(probe.attempts.back(), std::make_pair(3, false));

  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("1111"); }));
  EXPECT_EQ(probe.messages.back(), kStrWrongPin);
  EXPECT_EQ(probe.attempts.back(), std::make_pair(2, false));
  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("2222"); }));
  // One attempt left: announced before it is used.
  EXPECT_EQ(probe.attempts.back(), std::make_pair(1, true));
  EXPECT_FALSE(probe.closed.has_value());

  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("1234"); }));
  EXPECT_EQ(probe.closed, std::optional<bool>(true));
  EXPECT_EQ(pin_.simState, kSimStateReady);
  EXPECT_EQ(pin_.pinAttempts, 3);
  EXPECT_NE(CardLine().find("card ready"), std::string::npos);
}

TEST_F(PinModemTest, ThreeWrongPinsNeedThePukThenANewPin) {
  Control("devstatus card pin");
  DialogProbe probe;
  CSignInLogic logic(card_, probe.View());
  for (const char* wrong : {"1111", "2222", "3333"}) ASSERT_TRUE(Answered(logic, [&] { logic.Ok(wrong); }));
  EXPECT_EQ(probe.messages, (std::vector<StringId>{kStrWrongPin, kStrWrongPin, kStrPinBlockedAtEntry}));
  EXPECT_EQ(probe.closed, std::optional<bool>(false));
  EXPECT_EQ(pin_.simState, kSimStatePukRequired);
  EXPECT_EQ(pin_.pinAttempts, 0);

  DialogProbe unblockProbe;
  CModifyPinLogic unblock(card_, unblockProbe.View(), 1);
  unblock.Ok("12345678", "4321", "8765");
  EXPECT_EQ(unblockProbe.messages.back(), kStrPinMismatch);
  ASSERT_TRUE(Answered(unblock, [&] { unblock.Ok("11111111", "4321", "4321"); }));
  EXPECT_EQ(unblockProbe.messages.back(), kStrWrongPuk);
  EXPECT_EQ(pin_.pukAttempts, 9);
  ASSERT_TRUE(Answered(unblock, [&] { unblock.Ok("12345678", "4321", "4321"); }));
  EXPECT_EQ(unblockProbe.closed, std::optional<bool>(true));
  EXPECT_EQ(pin_.simState, kSimStateReady);
  EXPECT_EQ(pin_.pukAttempts, 10);
  EXPECT_NE(CardLine().find("pin 4321 "), std::string::npos);
}

TEST_F(PinModemTest, LastWrongPukDestroysTheCard) {
  Control("devstatus card puk");
  Control("pin attempts 0 1");
  DialogProbe probe;
  CModifyPinLogic unblock(card_, probe.View(), 1);
  unblock.Start();
  ASSERT_TRUE(Until([&] { return !unblock.IsBusy(); }));
  EXPECT_EQ(probe.attempts.back(), std::make_pair(1, true));
  ASSERT_TRUE(Answered(unblock, [&] { unblock.Ok("11111111", "4321", "4321"); }));
  EXPECT_EQ(probe.messages.back(), kStrCardDestroyed);
  EXPECT_EQ(probe.closed, std::optional<bool>(false));
  EXPECT_EQ(pin_.simState, kSimStateDestroyed);
  EXPECT_NE(CardLine().find("card destroyed"), std::string::npos);
}

TEST_F(PinModemTest, ChangingThePinAndSwitchingTheRequest) {
  Control("pin request on");
  pin_.pinLock = kPinLockOn;
  DialogProbe change;
  CModifyPinLogic modify(card_, change.View(), 0);
  ASSERT_TRUE(Answered(modify, [&] { modify.Ok("9999", "5678", "5678"); }));
  EXPECT_EQ(change.messages.back(), kStrWrongPin);
  ASSERT_TRUE(Answered(modify, [&] { modify.Ok("1234", "5678", "5678"); }));
  EXPECT_EQ(change.messages.back(), kStrPinChanged);
  EXPECT_EQ(change.closed, std::optional<bool>(true));
  EXPECT_NE(CardLine().find("pin 5678 "), std::string::npos);

  DialogProbe off;
  CPinLockLogic lockOff(card_, off.View(), 1);
  EXPECT_EQ(lockOff.Title(), kStrTitlePinRequestOff);
  ASSERT_TRUE(Answered(lockOff, [&] { lockOff.Ok("5678"); }));
  EXPECT_EQ(off.closed, std::optional<bool>(true));
  EXPECT_EQ(pin_.pinLock, kPinLockOff);
  EXPECT_NE(CardLine().find("request off"), std::string::npos);

  DialogProbe again;
  CPinLockLogic lockOffAgain(card_, again.View(), 1);
  lockOffAgain.Ok("5678");
  EXPECT_EQ(again.messages.back(), kStrPinRequestAlreadyOff);
}

// The security page's buttons in each state of the card.
class SecurityButtonsTest : public PinModemTest {
protected:
  struct Outcome {
    std::vector<StringId> messages;
    std::string opened;  // "lock0", "lock1", "modify0", "modify1" or ""
    bool enabled = true;
  };
  Outcome Press(SecurityButton button) {
    Outcome out;
    SecurityButtonsView view;
    view.enableButtons = [&](bool e) { out.enabled = e; };
    view.showMessage = [&](StringId id) { out.messages.push_back(id); };
    view.openLockDialog = [&](int mode, std::function<void()> closed) {
      out.opened = "lock" + std::to_string(mode);
      closed();
    };
    view.openModifyDialog = [&](int mode, std::function<void()> closed) {
      out.opened = "modify" + std::to_string(mode);
      closed();
    };
    CSecurityButtons buttons(card_, view);
    buttons.Press(button);
    EXPECT_TRUE(Until([&] { return !buttons.IsRunning(); }));
    return out;
  }
};

TEST_F(SecurityButtonsTest, RequestOff) {
  Control("pin request off");
  EXPECT_EQ(Press(SecurityButton::LockOn).opened, "lock0");
  Outcome off = Press(SecurityButton::LockOff);
  EXPECT_EQ(off.opened, "");
  EXPECT_EQ(off.messages, std::vector<StringId>{kStrPinRequestAlreadyOff});
  EXPECT_EQ(Press(SecurityButton::ChangePin).messages, std::vector<StringId>{kStrPinRequestNeeded});
  Outcome unblock = Press(SecurityButton::Unblock);
  EXPECT_EQ(unblock.opened, "modify1");
  EXPECT_TRUE(unblock.enabled);
}

TEST_F(SecurityButtonsTest, RequestOn) {
  Control("pin request on");
  Control("devstatus card ready");
  EXPECT_EQ(Press(SecurityButton::LockOn).messages, std::vector<StringId>{kStrPinRequestAlreadyOn});
  EXPECT_EQ(Press(SecurityButton::LockOff).opened, "lock1");
  EXPECT_EQ(Press(SecurityButton::ChangePin).opened, "modify0");
  EXPECT_EQ(Press(SecurityButton::Unblock).opened, "modify1");
}

TEST_F(SecurityButtonsTest, CardNeedsThePuk) {
  Control("devstatus card puk");
  for (SecurityButton b : {SecurityButton::LockOn, SecurityButton::LockOff, SecurityButton::ChangePin}) {
    Outcome out = Press(b);
    EXPECT_EQ(out.messages, std::vector<StringId>{kStrPinBlocked});
    EXPECT_EQ(out.opened, "");
    EXPECT_TRUE(out.enabled);
  }
  EXPECT_EQ(Press(SecurityButton::Unblock).opened, "modify1");
}

TEST_F(SecurityButtonsTest, DestroyedCardLeavesTheButtonsDisabled) {
  Control("pin attempts 0 0");
  for (SecurityButton b : {SecurityButton::LockOn, SecurityButton::LockOff, SecurityButton::Unblock,
                           SecurityButton::ChangePin}) {
    Outcome out = Press(b);
    EXPECT_EQ(out.messages, std::vector<StringId>{kStrCardUnusable});
    EXPECT_EQ(out.opened, "");
    EXPECT_FALSE(out.enabled);
  }
}

TEST_F(SecurityButtonsTest, CardAnsweringErrorSaysTheCardIsNotReady) {
  Control("devstatus card failure");
  for (SecurityButton b : {SecurityButton::LockOn, SecurityButton::Unblock}) {
    Outcome out = Press(b);
    EXPECT_EQ(out.messages, std::vector<StringId>{kStrCardNotReady});
    EXPECT_EQ(out.opened, "");
    EXPECT_TRUE(out.enabled);
  }
}

TEST_F(SecurityButtonsTest, BusyPortGivesTheButtonsBack) {
  // Another command is outstanding: the port refuses the first query.
  Control("fault silent");
  ASSERT_TRUE(exchange_.Send("AT\r", [](void*, const LineCell*, std::uint16_t) {}, nullptr, false));
  Outcome out = Press(SecurityButton::LockOn);
  EXPECT_TRUE(out.enabled);
  EXPECT_EQ(out.opened, "");
  EXPECT_FALSE(refusals_.empty());
  exchange_.GiveUp();
}

// The start-up: the device initialisation meets a card that asks for its
// PIN and opens the entry; its wait ends when the card is ready or the user
// gives up.
class PinStartupTest : public PinModemTest {
protected:
  void SetUp() override {
    PinModemTest::SetUp();
    setup_.Main_nCall = 1;
    status_.AttachWindow(window_);
    RegisterNotificationHandlers(dispatcher_, status_);
    fan_.targets.push_back(&commands_);
    fan_.targets.push_back(&init_);
    DeviceInitHooks hooks;
    hooks.startPinEntry = [this](std::int16_t state) { entries_.push_back(state); };
    hooks.failAndExit = [this](int id) { failed_ = id; };
    init_.SetHooks(hooks);
  }
  bool Ended() { return !init_.IsRunning(); }
  CDeviceStatus status_;
  CStatusCommands commands_{status_, exchange_, dispatcher_, window_};
  CDeviceInitializer init_{status_, commands_, dispatcher_.NotificationGate(), window_, setup_};
  CCardCommands startupCard_{status_.Pin(), cardExchange_};
  std::vector<std::int16_t> entries_;
  int failed_ = 0;
};

TEST_F(PinStartupTest, RightPinReachesAReadyDevice) {
  Control("devstatus card pin");
  ASSERT_TRUE(init_.InitializeDevice());
  ASSERT_TRUE(Until([&] { return !entries_.empty(); }));
  EXPECT_EQ(entries_[0], kSimStatePinRequired);
  DialogProbe probe;
  CSignInLogic logic(startupCard_, probe.View());
  logic.Start();
  ASSERT_TRUE(Until([&] { return !logic.IsBusy(); }));
  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("1234"); }));
  EXPECT_EQ(probe.closed, std::optional<bool>(true));
  ASSERT_TRUE(Until([&] { return Ended(); }, 30000));
  EXPECT_TRUE(status_.Pin().IsReady());
  EXPECT_EQ(Sent("AT+GMI"), 1);   // the steps ran
  EXPECT_EQ(Sent("AT+CSCA?"), 1);
  EXPECT_EQ(failed_, 0);
}

TEST_F(PinStartupTest, WrongThenRightPin) {
  Control("devstatus card pin");
  init_.InitializeDevice();
  ASSERT_TRUE(Until([&] { return !entries_.empty(); }));
  DialogProbe probe;
  CSignInLogic logic(startupCard_, probe.View());
  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("4321"); }));
  EXPECT_EQ(probe.messages.back(), kStrWrongPin);
  EXPECT_TRUE(init_.IsWaitingForCard());
  ASSERT_TRUE(Answered(logic, [&] { logic.Ok("1234"); }));
  ASSERT_TRUE(Until([&] { return Ended(); }, 30000));
  EXPECT_TRUE(status_.Pin().IsReady());
}

TEST_F(PinStartupTest, BlockedCardIsUnblockedWithThePuk) {
  Control("devstatus card puk");
  init_.InitializeDevice();
  ASSERT_TRUE(Until([&] { return !entries_.empty(); }));
  EXPECT_EQ(entries_[0], kSimStatePukRequired);
  DialogProbe probe;
  CModifyPinLogic unblock(startupCard_, probe.View(), 1);
  ASSERT_TRUE(Answered(unblock, [&] { unblock.Ok("12345678", "2468", "2468"); }));
  EXPECT_EQ(probe.closed, std::optional<bool>(true));
  ASSERT_TRUE(Until([&] { return Ended(); }, 30000));
  EXPECT_TRUE(status_.Pin().IsReady());
  EXPECT_NE(CardLine().find("pin 2468 "), std::string::npos);
}

TEST_F(PinStartupTest, GivingUpGoesOnWithoutTheCard) {
  setup_.Main_nCall = 0;  // even then the program stays
  Control("devstatus card pin");
  init_.InitializeDevice();
  ASSERT_TRUE(Until([&] { return !entries_.empty(); }));
  init_.PinEntryGivenUp();
  ASSERT_TRUE(Until([&] { return Ended(); }, 30000));
  EXPECT_EQ(failed_, 0);
  EXPECT_EQ(status_.Pin().simState, kSimStatePinRequired);
  EXPECT_EQ(Sent("AT+GMI"), 1);
  EXPECT_TRUE(dispatcher_.NotificationGate().Wait(0));  // the gate is open again
  EXPECT_TRUE(PortFree());
}

}  // namespace
}  // namespace evdo
