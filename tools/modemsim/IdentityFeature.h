#pragma once
// Who the simulated modem says it is: "ATI", "AT+GSN" (serial number),
// "AT+GMR" (firmware revision), "AT+GMM" (model).
#include <string>

#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class IdentityFeature final : public ModemFeature {
public:
  const char* Name() const override { return "identity"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;

  std::string manufacturer = "EVDO Modem Simulator";
  std::string model = "SIM-EVDO-1";
  std::string revision = "SIM.1.0.0";
  std::string serial = "0x80A1B2C3";
};

}  // namespace evdo::modemsim
