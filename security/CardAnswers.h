#pragma once
// How the card's answers move the card lock record. Each rule reads the
// whole answer to one command; a card may word its errors ("+CME ERROR:
// incorrect password") or number them ("+CME ERROR: 16"), and both count.
#include <cstdint>
#include <string_view>

#include "device/CommandExchange.h"
#include "device/status/PinStatus.h"

namespace evdo {

enum class CardRequest {
  SimState,   // "AT+CPIN?"
  LockState,  // "AT+CLCK=\"SC\",2"
  Attempts,   // "AT$CPINS?"
  EnterPin,   // "AT+CPIN=\"PIN\""
  LockOn,     // "AT+CLCK=\"SC\",1,\"PIN\""
  LockOff,    // "AT+CLCK=\"SC\",0,\"PIN\""
  ChangePin,  // "AT+CPWD=\"SC\",\"old\",\"new\""
  Unblock,    // "AT+CPIN=\"PUK\",\"new\""
};

// Numbered card errors of "+CME ERROR: n".
inline constexpr int kCmeSimNotInserted = 10;
inline constexpr int kCmeSimPinRequired = 11;
inline constexpr int kCmeSimPukRequired = 12;
inline constexpr int kCmeSimFailure = 13;
inline constexpr int kCmeIncorrectPassword = 16;

// What an answer to a card command says, in short.
enum class CardVerdict {
  Ok,         // final result "OK"
  WrongCode,  // incorrect password
  NeedsPuk,   // the card is blocked and asks for the PUK
  Destroyed,  // the card can no longer be unblocked
  Other,      // any other error: no card, card failure, unknown command
};
CardVerdict VerdictOf(const CommandReply& reply);

// True when the answer's final result is "OK".
bool IsOkAnswer(const CommandReply& reply);
// True when a line of the answer contains text (letter case ignored), or
// its final result is "+CME ERROR: " with the number cmeCode.
bool AnswerSays(const CommandReply& reply, std::string_view text, int cmeCode);

// Applies the answer to request to the record.
void ApplyCardAnswer(CardRequest request, const CommandReply& reply, CPinStatus& pin);

// Attempts "$CPINS: a,PIN,PUK": the number after the last comma is the PUK
// count, the one before it the PIN count. False (nothing read) for anything
// else.
bool ParseAttempts(std::string_view line, std::uint16_t& pinAttempts, std::uint16_t& pukAttempts);

}  // namespace evdo
