#pragma once
// The simulated modem's card: its PIN and PUK with their attempt counters
// (3 and 10), whether the card asks for its PIN, and whether it is there at
// all. The service query ("AT+CAD?", DeviceStatusFeature) and the PIN
// commands (SimCardFeature) both read it.
#include <string>

namespace evdo::modemsim {

struct SimCard {
  static constexpr int kPinAttempts = 3;
  static constexpr int kPukAttempts = 10;
  static constexpr const char* kDefaultPin = "1234";
  static constexpr const char* kDefaultPuk = "12345678";

  enum class State { Ready, PinRequired, PukRequired, Destroyed, Missing };

  std::string pin = kDefaultPin;
  std::string puk = kDefaultPuk;
  int pinLeft = kPinAttempts;
  int pukLeft = kPukAttempts;
  bool request = false;   // the card asks for its PIN after power-on
  bool verified = true;   // the PIN was given since power-on (or none asked)
  bool present = true;

  State Current() const {
    if (!present) return State::Missing;
    if (pukLeft == 0) return State::Destroyed;
    if (pinLeft == 0) return State::PukRequired;
    if (request && !verified) return State::PinRequired;
    return State::Ready;
  }
  // Power-on: a card with the request on asks for its PIN again.
  void PowerCycle() { verified = !request; }
};

}  // namespace evdo::modemsim
