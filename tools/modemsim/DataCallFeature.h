#pragma once
// The simulated modem's data calls: the network preference "AT+PHPREF=n"
// (1 the 1X network, 2 the 3G network) with its query "AT+PHPREF?", the
// dial "ATD<number>" answered "CONNECT <rate>" (or a failure set with the
// control command "datacall") and the hang-up "ATH".
#include <string>

#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class DataCallFeature final : public ModemFeature {
public:
  const char* Name() const override { return "datacall"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;

  int preference = 2;
  // The dial's answer: "CONNECT" or a failure ("NO CARRIER", "BUSY", "ERROR").
  std::string dialAnswer = "CONNECT";
  bool preferenceAnswers = true;  // false: the preference is never answered
  bool inCall = false;
  int dials = 0;
  std::string lastNumber;
};

}  // namespace evdo::modemsim
