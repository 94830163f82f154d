#pragma once
// A piece of the simulated modem with its own state: it adds its AT commands
// and control commands to the engine when installed. New features (message
// storages, phonebooks, PIN, signal, calls) are classes of this kind, listed
// in Features.cpp.
#include <string>

namespace evdo::modemsim {

class ModemEngine;

class ModemFeature {
public:
  virtual ~ModemFeature() = default;
  virtual const char* Name() const = 0;
  // Adds commands to engine.Commands() and engine.Controls().
  virtual void Install(ModemEngine& engine) = 0;
  // Lines for the "status" control command.
  virtual void Describe(std::string& out) const = 0;
  // The device was pulled out and plugged in again.
  virtual void PowerCycle() {}
};

// Installs the features every simulated modem has.
void InstallStandardFeatures(ModemEngine& engine);

}  // namespace evdo::modemsim
