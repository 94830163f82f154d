#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <string>

#include "security/CardAnswers.h"

namespace evdo {
namespace {

CommandReply Reply(std::initializer_list<std::string> lines) {
  CommandReply reply;
  reply.outcome = CommandOutcome::Answered;
  for (const std::string& line : lines) {
    std::strncpy(reply.lines[reply.lineCount++], line.c_str(), kLineCellSize - 1);
  }
  return reply;
}

TEST(CardAnswers, SimStateFromWordsOrNumbers) {
  CPinStatus pin;
  ApplyCardAnswer(CardRequest::SimState, Reply({"+CPIN: SIM PIN", "OK"}), pin);
  EXPECT_EQ(pin.simState, kSimStatePinRequired);
  ApplyCardAnswer(CardRequest::SimState, Reply({"+CPIN: SIM PUK", "OK"}), pin);
  EXPECT_EQ(pin.simState, kSimStatePukRequired);
  ApplyCardAnswer(CardRequest::SimState, Reply({"+CPIN: READY", "OK"}), pin);
  EXPECT_EQ(pin.simState, kSimStateReady);
  ApplyCardAnswer(CardRequest::SimState, Reply({"+CME ERROR: 11"}), pin);
  EXPECT_EQ(pin.simState, kSimStatePinRequired);
  // No card: the state stays as it was.
  ApplyCardAnswer(CardRequest::SimState, Reply({"ERROR"}), pin);
  EXPECT_EQ(pin.simState, kSimStatePinRequired);
}

TEST(CardAnswers, LockStateByDigit) {
  CPinStatus pin;
  ApplyCardAnswer(CardRequest::LockState, Reply({"+CLCK: 1", "OK"}), pin);
  EXPECT_EQ(pin.pinLock, kPinLockOn);
  ApplyCardAnswer(CardRequest::LockState, Reply({"+CLCK: 0", "OK"}), pin);
  EXPECT_EQ(pin.pinLock, kPinLockOff);
  // An error carrying the digit 1 says nothing about the lock.
  ApplyCardAnswer(CardRequest::LockState, Reply({"+CME ERROR: 10"}), pin);
  EXPECT_EQ(pin.pinLock, kPinLockOff);
}

TEST(CardAnswers, AttemptsFromTheLastTwoValues) {
  CPinStatus pin;
  ApplyCardAnswer(CardRequest::Attempts, Reply({"$CPINS: 1,2,9", "OK"}), pin);
  EXPECT_EQ(pin.pinAttempts, 2);
  EXPECT_EQ(pin.pukAttempts, 9);
  ApplyCardAnswer(CardRequest::Attempts, Reply({"$CPINS: 3, 10", "OK"}), pin);
  EXPECT_EQ(pin.pinAttempts, 3);
  EXPECT_EQ(pin.pukAttempts, 10);
  ApplyCardAnswer(CardRequest::Attempts, Reply({"$CPINS: x,y", "OK"}), pin);
  EXPECT_EQ(pin.pinAttempts, 3);
  ApplyCardAnswer(CardRequest::Attempts, Reply({"ERROR"}), pin);
  EXPECT_EQ(pin.pukAttempts, 10);
}

TEST(CardAnswers, WrongPinCountsDownAndStopsAtZero) {
  CPinStatus pin;
  pin.pinAttempts = 1;
  ApplyCardAnswer(CardRequest::EnterPin, Reply({"+CME ERROR: incorrect password"}), pin);
  EXPECT_EQ(pin.pinAttempts, 0);
  ApplyCardAnswer(CardRequest::EnterPin, Reply({"+CME ERROR: 16"}), pin);
  EXPECT_EQ(pin.pinAttempts, 0);
  // An unknown count is not made up.
  CPinStatus fresh;
  ApplyCardAnswer(CardRequest::EnterPin, Reply({"+CME ERROR: 16"}), fresh);
  EXPECT_EQ(fresh.pinAttempts, kAttemptsUnset);
}

TEST(CardAnswers, CodeCommandsMoveTheCard) {
  CPinStatus pin;
  pin.simState = kSimStatePinRequired;
  pin.pinAttempts = 2;
  ApplyCardAnswer(CardRequest::EnterPin, Reply({"OK"}), pin);
  EXPECT_EQ(pin.simState, kSimStateReady);
  EXPECT_EQ(pin.pinAttempts, 3);

  ApplyCardAnswer(CardRequest::LockOn, Reply({"+CME ERROR: SIM PUK required"}), pin);
  EXPECT_EQ(pin.simState, kSimStatePukRequired);
  EXPECT_EQ(pin.pinAttempts, 0);

  pin.pukAttempts = 5;
  ApplyCardAnswer(CardRequest::Unblock, Reply({"+CME ERROR: 16"}), pin);
  EXPECT_EQ(pin.pukAttempts, 4);
  ApplyCardAnswer(CardRequest::Unblock, Reply({"+CME ERROR: SIM Destroyed"}), pin);
  EXPECT_EQ(pin.pukAttempts, 0);
  EXPECT_EQ(pin.simState, kSimStateDestroyed);

  CPinStatus blocked;
  blocked.simState = kSimStatePukRequired;
  ApplyCardAnswer(CardRequest::Unblock, Reply({"OK"}), blocked);
  EXPECT_EQ(blocked.simState, kSimStateReady);
  EXPECT_EQ(blocked.pinAttempts, 3);
  EXPECT_EQ(blocked.pukAttempts, 10);

  ApplyCardAnswer(CardRequest::LockOff, Reply({"OK"}), blocked);
  EXPECT_EQ(blocked.pinLock, kPinLockOff);
}

TEST(CardAnswers, Verdicts) {
  EXPECT_EQ(VerdictOf(Reply({"OK"})), CardVerdict::Ok);
  EXPECT_EQ(VerdictOf(Reply({"+CME ERROR: 16"})), CardVerdict::WrongCode);
  EXPECT_EQ(VerdictOf(Reply({"+CME ERROR: incorrect password"})), CardVerdict::WrongCode);
  EXPECT_EQ(VerdictOf(Reply({"+CME ERROR: 12"})), CardVerdict::NeedsPuk);
  EXPECT_EQ(VerdictOf(Reply({"ERROR"})), CardVerdict::Other);
  // "+CME ERROR: 160" is not 16.
  EXPECT_EQ(VerdictOf(Reply({"+CME ERROR: 160"})), CardVerdict::Other);
}

}  // namespace
}  // namespace evdo
