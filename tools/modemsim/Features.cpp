// The features of every simulated modem, one line each.
#include "tools/modemsim/DataCallFeature.h"
#include "tools/modemsim/CallFeature.h"
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/IdentityFeature.h"
#include "tools/modemsim/ModemEngine.h"
#include "tools/modemsim/PhonebookFeature.h"
#include "tools/modemsim/NetworkFeature.h"
#include "tools/modemsim/SimCardFeature.h"
#include "tools/modemsim/SmsFeature.h"

namespace evdo::modemsim {

void InstallStandardFeatures(ModemEngine& engine) {
  engine.AddFeature<IdentityFeature>();
  engine.AddFeature<DeviceStatusFeature>();
  engine.AddFeature<PhonebookFeature>();
  engine.AddFeature<SimCardFeature>();
  engine.AddFeature<NetworkFeature>();
  engine.AddFeature<DataCallFeature>();
  engine.AddFeature<CallFeature>();
  engine.AddFeature<SmsFeature>();
}

}  // namespace evdo::modemsim
