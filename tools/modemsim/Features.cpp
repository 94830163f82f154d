// The features of every simulated modem, one line each.
#include "tools/modemsim/CallFeature.h"
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/IdentityFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

void InstallStandardFeatures(ModemEngine& engine) {
  engine.AddFeature<IdentityFeature>();
  engine.AddFeature<DeviceStatusFeature>();
  engine.AddFeature<CallFeature>();
}

}  // namespace evdo::modemsim
