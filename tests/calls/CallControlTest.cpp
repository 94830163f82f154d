#include "calls/CallControl.h"

#include <gtest/gtest.h>

#include "tests/calls/CallTestSupport.h"
#include "ui/StringIds.h"

namespace evdo::test {
namespace {

using Keypad = CallFixture;

TEST_F(Keypad, HeldZeroGivesPlusOnlyOnAnEmptyIdleField) {
  control_->PressKey('0', 501);
  EXPECT_EQ(control_->Field(), "+");
  control_->PressKey('0', 900);
  EXPECT_EQ(control_->Field(), "+0");
  control_->EditField("");
  control_->PressKey('0', 500);  // not longer than 500 ms
  EXPECT_EQ(control_->Field(), "0");
}

TEST_F(Keypad, FortyFirstKeyBeepsAndIsIgnoredWhileIdle) {
  Type(std::string(40, '5'));
  EXPECT_EQ(beeps_, 0);
  control_->PressKey('6', 100);
  EXPECT_EQ(beeps_, 1);
  EXPECT_EQ(control_->Field(), std::string(40, '5'));
}

TEST_F(Keypad, DuringACallTonesAreSentAndAppendedBeyondFortyCharacters) {
  Connect("10086");
  for (int i = 0; i < 45; ++i) {
    control_->PressKey('7', 100);
    EXPECT_EQ(LastWrite(), "AT+VTS=7;\r");
    Line("OK");
    Settle();
  }
  EXPECT_EQ(control_->Field(), std::string(45, '7'));
  EXPECT_EQ(beeps_, 0);
}

TEST_F(Keypad, TonesTypedFasterThanTheModemAnswersWaitTheirTurn) {
  Connect("10086");
  control_->PressKey('1', 100);
  control_->PressKey('2', 100);
  control_->PressKey('#', 100);
  EXPECT_EQ(Writes().size(), 2u);  // the dial and the first tone
  Line("OK");
  Settle();
  EXPECT_EQ(LastWrite(), "AT+VTS=2;\r");
  Line("OK");
  Settle();
  EXPECT_EQ(LastWrite(), "AT+VTS=#;\r");
  EXPECT_TRUE(messages_.empty());
}

TEST_F(Keypad, IdentityCodeOpensTheInformationDialogAtTheLastHashAndEmptiesTheField) {
  Type("*#06");
  EXPECT_TRUE(infoModes_.empty());
  control_->PressKey('#', 100);
  ASSERT_EQ(infoModes_, std::vector<int>{kInfoIdentity});
  EXPECT_EQ(fieldDuringInfo_, "*#06#");
  EXPECT_EQ(control_->Field(), "");
  Type("*5291#");
  EXPECT_EQ(infoModes_, (std::vector<int>{kInfoIdentity, kInfoVersion}));
  EXPECT_TRUE(Writes().empty());
}

TEST_F(Keypad, EraseShortRemovesOneLongEmptiesDuringACallAlwaysOne) {
  Type("12345");
  control_->Erase(500);
  EXPECT_EQ(control_->Field(), "1234");
  control_->Erase(501);
  EXPECT_EQ(control_->Field(), "");
}

TEST_F(Keypad, EditsThatBreakTheRulesAreUndoneWithABeep) {
  EXPECT_TRUE(control_->EditField("+86138"));
  EXPECT_FALSE(control_->EditField("+86 138"));  // the blank
  EXPECT_FALSE(control_->EditField("12a"));
  EXPECT_FALSE(control_->EditField(std::string(41, '1')));
  EXPECT_TRUE(control_->EditField(std::string(40, '1')));
  EXPECT_EQ(control_->Field(), std::string(40, '1'));
  EXPECT_EQ(beeps_, 3);
}

using Dialling = CallFixture;

TEST_F(Dialling, OkAnswerConnectsAndTheCallIsRecordedAsDialledWithItsDuration) {
  Connect("13800138000");
  EXPECT_EQ(control_->CallKind(), kDialledCalls);
  EXPECT_TRUE(loop_.IsTimerArmed(window_, kDurationTimer));
  EXPECT_FALSE(loop_.IsTimerArmed(window_, kClockTimer));
  loop_.Advance(65000);
  CCallControl::Display d = control_->CurrentDisplay();
  EXPECT_EQ(d.duration, "00:01:05");
  EXPECT_EQ(d.party, "Alice");
  control_->End();
  EXPECT_EQ(LastWrite(), "AT+CHV\r");
  EXPECT_TRUE(loop_.IsTimerArmed(window_, kEndGuardTimer));
  Line("OK");
  Settle();
  EXPECT_FALSE(control_->InCall());
  EXPECT_TRUE(loop_.IsTimerArmed(window_, kClockTimer));
  HistRecord r = Recorded(kDialledCalls);
  EXPECT_EQ(r.Number(), "13800138000");
  EXPECT_EQ(r.duration, 65);
  EXPECT_EQ(r.repeatCount, 1);
  EXPECT_EQ(recorded_, std::vector<int>{kDialledCalls});
  EXPECT_EQ(control_->CallNumber(), "");  // reset after recording
}

TEST_F(Dialling, ACallShorterThanOneSecondIsRecordedWithDurationZero) {
  Connect("10086");
  loop_.Advance(900);
  control_->End();
  Line("OK");
  Settle();
  EXPECT_EQ(Recorded(kDialledCalls).duration, 0);
}

TEST_F(Dialling, TwentyFiveHourCallShowsOneHour) {
  Connect("10086");
  loop_.Advance(25ull * 3600 * 1000);
  EXPECT_EQ(control_->CurrentDisplay().duration, "01:00:00");
  EXPECT_EQ(control_->CurrentDisplay().party, "");  // a contact with an empty name
  EXPECT_EQ(DurationText(25 * 3600 + 61), "01:01:01");
}

TEST_F(Dialling, PowerManagementZeroSendsNothing) {
  powerManagement_ = 0;
  Type("10086");
  control_->Dial();
  EXPECT_TRUE(Writes().empty());
  EXPECT_FALSE(control_->Busy());
}

TEST_F(Dialling, EmptyFieldSendsNothing) {
  control_->Dial();
  EXPECT_TRUE(Writes().empty());
}

TEST_F(Dialling, ErrorAnswerShowsMessage225AndRecordsNothing) {
  Type("10086");
  control_->Dial();
  Line("ERROR");
  Settle();
  EXPECT_EQ(messages_, std::vector<int>{kStrCallFailed});
  EXPECT_FALSE(control_->InCall());
  EXPECT_EQ(history_->Count(kDialledCalls), 0);
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
}

TEST_F(Dialling, NoCarrierInsteadOfTheAnswerFailsTheDialAndFreesThePort) {
  Type("10086");
  control_->Dial();
  Line("NO CARRIER");
  Settle();
  EXPECT_EQ(messages_, std::vector<int>{kStrCallFailed});
  EXPECT_FALSE(control_->Busy());
  EXPECT_FALSE(loop_.IsTimerArmed(window_, kDialGuardTimer));
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_->HasHandler(kCommandSlot));
}

TEST_F(Dialling, BusyIsToldAsBusy) {
  Type("10086");
  control_->Dial();
  FromModem("\r\nBUSY\r\n\r\nNO CARRIER\r\n");
  Settle();
  EXPECT_EQ(messages_, std::vector<int>{kStrNumberBusy});
  EXPECT_EQ(history_->Count(kDialledCalls), 0);
}

TEST_F(Dialling, NoAnswerWithinFiveSecondsFreesThePortAndStaysIdle) {
  Type("10086");
  control_->Dial();
  EXPECT_EQ(port_->GetState(), CSerialPort::Busy);
  loop_.Advance(5000);
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_->HasHandler(kCommandSlot));
  EXPECT_FALSE(control_->InCall());
  EXPECT_FALSE(control_->Busy());
  EXPECT_TRUE(messages_.empty());
  Line("OK");  // too late: nobody takes it
  Settle();
  EXPECT_FALSE(control_->InCall());
}

TEST_F(Dialling, RefusedWriteLeavesEverythingAsItWas) {
  port_->SetState(CSerialPort::Busy);
  Type("10086");
  control_->Dial();
  EXPECT_TRUE(Writes().empty());
  EXPECT_FALSE(control_->Busy());
  EXPECT_FALSE(loop_.IsTimerArmed(window_, kDialGuardTimer));
}

TEST_F(Dialling, FarEndHangingUpEndsTheCallAndRecordsIt) {
  Connect("10086");
  loop_.Advance(12000);
  Line("NO CARRIER");
  Settle();
  EXPECT_FALSE(control_->InCall());
  EXPECT_EQ(Recorded(kDialledCalls).duration, 12);
  EXPECT_EQ(Writes().size(), 1u);  // no end command was needed
}

TEST_F(Dialling, EndWithoutAnswerKeepsTheCallAndFreesThePort) {
  Connect("10086");
  control_->End();
  loop_.Advance(30000);
  EXPECT_TRUE(control_->InCall());
  EXPECT_EQ(port_->GetState(), CSerialPort::Ready);
}

TEST_F(Dialling, VolumeIsSentOnlyDuringACall) {
  control_->SetVolume(3);
  EXPECT_TRUE(Writes().empty());
  Connect("10086");
  control_->SetVolume(4);
  EXPECT_EQ(LastWrite(), "AT+CLVL=4\r");
  EXPECT_EQ(control_->Volume(), 4);
}

TEST_F(Dialling, LeavingThePageIsRefusedDuringACallOrWithoutACard) {
  cardReady_ = false;
  EXPECT_EQ(control_->AskLeave(), kStrCardNotReadyForPage);
  cardReady_ = true;
  Connect("10086");
  EXPECT_EQ(control_->AskLeave(), kStrEndCallFirst);
}

// A number handed in from elsewhere reaches "AT+CDV " only when it is made
// of dial characters.
TEST_F(Dialling, HandedInNumbersAreCheckedBeforeTheyAreSent) {
  EXPECT_FALSE(control_->DialNumber("138\r\nAT+CFUN=0"));
  EXPECT_FALSE(control_->DialNumber("10086;ATH"));
  EXPECT_FALSE(control_->DialNumber("+86 138 0013 8000"));
  EXPECT_FALSE(control_->DialNumber(std::string(41, '1')));
  EXPECT_FALSE(control_->DialNumber(""));
  EXPECT_TRUE(Writes().empty());
  EXPECT_EQ(messages_, (std::vector<int>{kStrInvalidNumberCharacter, kStrInvalidNumberCharacter,
                                         kStrInvalidNumberCharacter, kStrDialNumberTooLong, kStrNoNumber}));
  std::string number = "+8613800138000";
  control_->OnMessage(kMsgDialNumber, 0, reinterpret_cast<LParam>(&number));
  EXPECT_EQ(LastWrite(), "AT+CDV +8613800138000\r");
}

TEST_F(Dialling, HandedInNumberDuringACallIsRefused) {
  Connect("10086");
  EXPECT_FALSE(control_->DialNumber("10010"));
  EXPECT_EQ(messages_, std::vector<int>{kStrEndCallFirst});
}

using IncomingCall = CallFixture;

TEST_F(IncomingCall, RingShowsThePopupAndTheCallerNumberFollows) {
  Ring("13800138000");
  ASSERT_EQ(control_->IncomingState(), CCallControl::Incoming::Ringing);
  EXPECT_EQ(ringing_, (std::vector<std::string>{"", "13800138000"}));
  EXPECT_TRUE(incomingFlag_);
}

TEST_F(IncomingCall, AnsweredCallRunsOnThePageAndIsRecordedAsReceived) {
  Ring("13800138000");
  control_->Answer();
  EXPECT_EQ(LastWrite(), "ATA\r");
  EXPECT_FALSE(incomingFlag_);
  EXPECT_EQ(ringingEnded_, 1);
  Line("OK");
  Settle();
  ASSERT_TRUE(control_->InCall());
  EXPECT_EQ(control_->CallKind(), kReceivedCalls);
  loop_.Advance(30000);  // no RING any more: not missed
  EXPECT_TRUE(control_->InCall());
  EXPECT_EQ(control_->CurrentDisplay().party, "Alice");
  Line("NO CARRIER");
  Settle();
  EXPECT_FALSE(control_->InCall());
  HistRecord r = Recorded(kReceivedCalls);
  EXPECT_EQ(r.Number(), "13800138000");
  EXPECT_EQ(r.duration, 30);
  EXPECT_TRUE(missed_.empty());
}

TEST_F(IncomingCall, RejectedCallGoesToTheMissedListWithoutANotice) {
  Ring("10010");
  control_->Reject();
  EXPECT_EQ(LastWrite(), "AT+CHUP\r");
  EXPECT_FALSE(incomingFlag_);
  Line("OK");
  Settle();
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::None);
  EXPECT_EQ(Recorded(kMissedCalls).Number(), "10010");
  EXPECT_TRUE(missed_.empty());
}

TEST_F(IncomingCall, CallThatStopsRingingForEightSecondsIsMissed) {
  Ring("10010");
  loop_.Advance(3000);
  Ring();
  loop_.Advance(7900);  // 7.9 s after the last RING: still ringing
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::Ringing);
  loop_.Advance(200);
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::None);
  EXPECT_EQ(missed_, std::vector<std::string>{"10010"});
  HistRecord r = Recorded(kMissedCalls);
  EXPECT_EQ(r.duration, 0);
  EXPECT_EQ(r.Start(), base_);  // when it began to ring
  EXPECT_FALSE(incomingFlag_);
  EXPECT_EQ(ringingEnded_, 1);
}

TEST_F(IncomingCall, NoCarrierWhileRingingIsMissedAtOnce) {
  Ring("10010");
  control_->Dismiss();  // silenced, still ringing
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::Ringing);
  Line("NO CARRIER");
  Settle();
  EXPECT_EQ(missed_, std::vector<std::string>{"10010"});
  EXPECT_EQ(history_->Count(kMissedCalls), 1);
}

TEST_F(IncomingCall, CallerNumberThatIsNotADialNumberStaysUnknown) {
  Line("RING");
  Line("+CLIP: \"AT+CHUP\",129");
  Settle();
  EXPECT_EQ(ringing_, std::vector<std::string>{""});
  EXPECT_EQ(NumberFromCallerLine("+CLIP: \"+8613800138000\",145"), "+8613800138000");
  EXPECT_EQ(NumberFromCallerLine("+CLIP: 10086,129"), "10086");
  EXPECT_FALSE(NumberFromCallerLine("+CLIP: \"12 34\",129"));
  EXPECT_FALSE(NumberFromCallerLine("+CLIP: \"123"));
}

TEST_F(IncomingCall, KeypadAndDialWaitWhileACallRings) {
  Ring("10010");
  Type("123");
  control_->Dial();
  EXPECT_EQ(control_->Field(), "");
  EXPECT_TRUE(Writes().empty());
}

// A call arriving while a long exchange holds the notification gate (a
// message being sent): the flag that stops message exchanges is set at once,
// the call rings as soon as the gate opens.
TEST_F(IncomingCall, ArrivingWhileTheGateIsClosedSetsTheFlagAndRingsWhenItOpens) {
  dispatcher_->NotificationGate().Reset();
  Line("RING");
  for (int i = 0; i < 100 && !incomingFlag_; ++i) loop_.WaitForPost(10);
  EXPECT_TRUE(incomingFlag_);
  Settle();
  EXPECT_TRUE(ringing_.empty());
  dispatcher_->NotificationGate().Set();
  Settle();
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::Ringing);
  EXPECT_TRUE(incomingFlag_);
}

TEST_F(IncomingCall, CallerNumberAloneNeverRingsButIsKeptForItsRing) {
  Ring("10010");
  Line("NO CARRIER");
  Line("+CLIP: \"10010\",129");  // behind the end of the call
  Settle();
  loop_.Advance(20000);
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::None);
  EXPECT_EQ(history_->Count(kMissedCalls), 1);
  Line("+CLIP: \"10086\",129");  // ahead of its RING
  Settle();
  Ring();
  EXPECT_EQ(control_->IncomingNumber(), "10086");
  EXPECT_EQ(ringing_.back(), "10086");
}

TEST_F(IncomingCall, FailedAnswerRingsAgain) {
  Ring("10010");
  control_->Answer();
  Line("ERROR");
  Settle();
  EXPECT_EQ(control_->IncomingState(), CCallControl::Incoming::Ringing);
  EXPECT_EQ(ringing_.back(), "10010");
}

}  // namespace
}  // namespace evdo::test
