#pragma once
// The radio and the network: "AT+CFUN" (1 on, 4 off), the operator search
// "AT+COPS=?" (answered after a few seconds, as a real search takes),
// automatic ("AT+COPS=0") and manual ("AT+COPS=1,1,\"name\"") registration,
// "AT+COPS?" and the system preference "AT+PHPREF=" (1 to 4). The control
// command "network" shows and sets the radio, the search time and the
// operator list.
#include <string>
#include <string_view>
#include <vector>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class NetworkFeature final : public ModemFeature {
public:
  struct Operator {
    int state;  // 0 unknown, 1 available, 2 current, 3 forbidden
    std::string longName;
    std::string shortName;
    std::string numeric;
    int technology;
  };

  NetworkFeature();
  const char* Name() const override { return "network"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;
  void PowerCycle() override { radioOn = true; }

  bool radioOn = true;
  bool refuseRadio = false;  // "AT+CFUN=" answers "+CME ERROR: 3"
  int searchMs = 3000;
  int preference = 4;
  int selectionMode = 0;  // 0 automatic, 1 manual
  std::vector<Operator> operators;
  // When set, the search answers with this list text instead of operators.
  std::string rawList;

  // The search answer's first line.
  std::string SearchLine() const;

private:
  ControlResult Control(std::string_view args);
  void Register(std::string_view args, ModemReply& reply);
};

}  // namespace evdo::modemsim
