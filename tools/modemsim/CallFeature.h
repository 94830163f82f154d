#pragma once
// The simulated modem's voice calls. Dialled calls ("AT+CDV " and a number)
// connect, fail or are ended by the far end after a set time, as the control
// command "call next-dial" asks; incoming calls ring ("RING" every 3 s, each
// followed by "+CLIP: ") until they are answered ("ATA"), rejected
// ("AT+CHUP"), or given up by the caller. "AT+CHV" ends the call, "AT+VTS="
// sends a key tone and "AT+CLVL=" sets the earpiece volume, all with state
// that "call state" shows.
#include <cstdint>
#include <string>
#include <string_view>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class CallFeature final : public ModemFeature {
public:
  enum class State { Idle, Ringing, Active };
  enum class DialOutcome { Connect, Busy, NoCarrier, Error };
  static constexpr int kRingIntervalMs = 3000;
  static constexpr int kDefaultRings = 10;

  const char* Name() const override { return "call"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;
  void PowerCycle() override;

  State state = State::Idle;
  bool incoming = false;     // the active call was an incoming one
  std::string number;        // the other party
  std::string tones;         // key tones sent during the active call
  int volume = 2;
  int ringsLeft = 0;
  int ringsSent = 0;
  DialOutcome nextDial = DialOutcome::Connect;
  int endAfterMs = 0;  // a connected dialled call is ended by the far end after this (0: never)
  std::uint64_t callsDialled = 0;

private:
  void InstallCommands(ModemEngine& engine);
  ControlResult Control(ModemEngine& engine, std::string_view args);
  void Ring(ModemEngine& engine);
  void FarEndHangsUp(ModemEngine& engine);
  void Stop(ModemEngine& engine);

  ModemEngine* engine_ = nullptr;
  int ringTimer_ = 0;
  int endTimer_ = 0;
};

}  // namespace evdo::modemsim
