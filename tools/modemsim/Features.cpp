// The features of every simulated modem, one line each.
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/IdentityFeature.h"
#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/PhonebookFeature.h"

namespace evdo::modemsim {

void InstallStandardFeatures(ModemEngine& engine) {
  engine.AddFeature<IdentityFeature>();
  engine.AddFeature<DeviceStatusFeature>();
  engine.AddFeature<PhonebookFeature>();
}

}  // namespace evdo::modemsim
