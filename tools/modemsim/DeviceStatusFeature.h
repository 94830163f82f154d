#pragma once
// The simulated modem's card and network state: the service query
// "AT+CAD?", "AT$CSMSS?", the operator name "AT+GMI", "AT$NWRAT?",
// "AT$ROAM?", the signal query "AT+CSQ?", "AT+CMGF=" and the service centre
// "AT+CSCA?", each settable with the control command "devstatus", which also
// sends the matching unsolicited status lines on demand. The card itself
// (PIN, PUK, attempts) is `sim`; "devstatus card pin|puk|failure|ready"
// puts it in that state, and the service query reports what it is.
#include <string>
#include <string_view>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"
#include "tools/modemsim/SimCard.h"

namespace evdo::modemsim {

class DeviceStatusFeature final : public ModemFeature {
public:
  enum class Card { Ready, NoService, Unusable, PinRequired, PukRequired, Failure };

  const char* Name() const override { return "devstatus"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;
  void PowerCycle() override { sim.PowerCycle(); }
  // The name "devstatus card" would give for the present state.
  const char* CurrentCardName() const;

  Card card = Card::Ready;  // the network side: ready, noservice, unusable
  SimCard sim;
  int signal = 20;  // the signal query's first number: 0..31, 99 unknown
  int networkType = 2;
  int networkMode = 1;
  int roaming = 0;
  int serviceStatus = 1;
  int networkStatus = 1;
  int csmss = 0;
  int messageFormat = 0;
  std::string operatorName = "Demo Telecom";
  std::string serviceCentre = "+8613800100500";

private:
  void InstallCommands(CommandTable& commands);
  ControlResult Set(std::string_view what, std::string_view value);
  void SetCard(Card state);
  ControlResult Emit(ModemEngine& engine, std::string_view what) const;
  void AnswerService(ModemReply& reply) const;
};

}  // namespace evdo::modemsim
