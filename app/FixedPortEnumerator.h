#pragma once
// A device list with one entry: the modem's command port at a path the user
// gave ("--port"), described as the settings describe the command port, so
// that device discovery finds and opens it as it would find the modem.
#include <string>

#include "core/settings/SetupData.h"
#include "device/discovery/DeviceEnumerator.h"

namespace evdo {

class CFixedPortEnumerator final : public DeviceEnumerator {
public:
  CFixedPortEnumerator(std::string portPath, const CSetupData& settings)
      : portPath_(std::move(portPath)), settings_(settings) {}

  // Ports: the given port, present while its path exists. Other classes:
  // none.
  bool Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) override;

private:
  std::string portPath_;
  const CSetupData& settings_;
};

}  // namespace evdo
