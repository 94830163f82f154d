#pragma once
// The card's PIN commands: "AT+CPIN?" and "AT+CPIN=" (PIN, or PUK and new
// PIN), "AT+CLCK=\"SC\"" (lock state, request on and off), "AT+CPWD=\"SC\""
// (change the PIN) and "AT$CPINS?" (attempts left), answered as a card does:
// "+CME ERROR: 16" for a wrong code, 12 once the PIN is blocked, 13 when the
// card is destroyed, plain "ERROR" without a card. The control command
// "pin" shows and sets the codes, the request and the counters; the card
// state itself is also set with "devstatus card".
#include <string>
#include <string_view>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"
#include "tools/modemsim/SimCard.h"

namespace evdo::modemsim {

class SimCardFeature final : public ModemFeature {
public:
  const char* Name() const override { return "pin"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;

private:
  SimCard& Card() const { return *card_; }
  ControlResult Control(std::string_view args);
  void CardState(ModemReply& reply) const;
  void EnterCode(std::string_view args, ModemReply& reply);
  void Lock(std::string_view args, ModemReply& reply);
  void ChangePin(std::string_view args, ModemReply& reply);
  void Attempts(std::string_view args, ModemReply& reply) const;
  // Answers for a card that cannot take a command now; false when it can.
  bool Unavailable(ModemReply& reply, bool pinMayBeMissing) const;
  void WrongPin(ModemReply& reply);

  SimCard* card_ = nullptr;
};

// A code as the commands carry it: 4 to 8 digits.
bool IsSimCode(std::string_view text);

}  // namespace evdo::modemsim
