#include "tools/modemsim/SimCardFeature.h"

#include <vector>

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/DeviceStatusFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

namespace {

constexpr int kCmeNotAllowed = 3;
constexpr int kCmeSimPinRequired = 11;
constexpr int kCmeSimPukRequired = 12;
constexpr int kCmeSimFailure = 13;
constexpr int kCmeIncorrectPassword = 16;

// The comma-separated arguments after "=", each without its double quotes.
// False when a quote is not closed or an argument has quotes inside.
bool SplitArguments(std::string_view args, std::vector<std::string>& out) {
  out.clear();
  if (args.empty() || args[0] != '=') return false;
  args.remove_prefix(1);
  std::string current;
  bool quoted = false;
  bool wasQuoted = false;
  for (char c : args) {
    if (c == '"') {
      if (!quoted && (!current.empty() || wasQuoted)) return false;
      quoted = !quoted;
      wasQuoted = true;
    } else if (c == ',' && !quoted) {
      out.push_back(current);
      current.clear();
      wasQuoted = false;
    } else {
      if (wasQuoted && !quoted) return false;  // text after the closing quote
      current += c;
    }
  }
  if (quoted) return false;
  out.push_back(current);
  return true;
}

const char* StateName(SimCard::State state) {
  switch (state) {
    case SimCard::State::Ready: return "ready";
    case SimCard::State::PinRequired: return "pin";
    case SimCard::State::PukRequired: return "puk";
    case SimCard::State::Destroyed: return "destroyed";
    case SimCard::State::Missing: return "missing";
  }
  return "?";
}

}  // namespace

bool IsSimCode(std::string_view text) {
  if (text.size() < 4 || text.size() > 8) return false;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
  }
  return true;
}

void SimCardFeature::Install(ModemEngine& engine) {
  auto* status = engine.Feature<DeviceStatusFeature>();
  if (status == nullptr) status = &engine.AddFeature<DeviceStatusFeature>();
  card_ = &status->sim;
  CommandTable& commands = engine.Commands();
  commands.Add("AT+CPIN", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "?") return CardState(reply);
    EnterCode(args, reply);
  });
  commands.Add("AT+CLCK", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    Lock(args, reply);
  });
  commands.Add("AT+CPWD", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    ChangePin(args, reply);
  });
  commands.Add("AT$CPINS", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    Attempts(args, reply);
  });
  engine.Controls().Add(
      "pin",
      "pin [PIN PUK] | pin request on|off | pin attempts N M\n"
      "                          show the card's codes, request and attempts left, or set\n"
      "                          the codes (4 to 8 digits; defaults 1234 12345678), whether\n"
      "                          the card asks for its PIN, the PIN and PUK attempts left",
      [this](std::string_view args) { return Control(args); });
}

bool SimCardFeature::Unavailable(ModemReply& reply, bool pinMayBeMissing) const {
  switch (Card().Current()) {
    case SimCard::State::Missing: reply.Error(); return true;
    case SimCard::State::Destroyed: reply.CmeError(kCmeSimFailure); return true;
    case SimCard::State::PukRequired: reply.CmeError(kCmeSimPukRequired); return true;
    case SimCard::State::PinRequired:
      if (pinMayBeMissing) return false;
      reply.CmeError(kCmeSimPinRequired);
      return true;
    case SimCard::State::Ready: return false;
  }
  return false;
}

void SimCardFeature::CardState(ModemReply& reply) const {
  switch (Card().Current()) {
    case SimCard::State::Missing: return reply.Error();
    case SimCard::State::Destroyed: return reply.CmeError(kCmeSimFailure);
    case SimCard::State::PukRequired: reply.Info("+CPIN: SIM PUK"); break;
    case SimCard::State::PinRequired: reply.Info("+CPIN: SIM PIN"); break;
    case SimCard::State::Ready: reply.Info("+CPIN: READY"); break;
  }
  reply.Ok();
}

void SimCardFeature::WrongPin(ModemReply& reply) {
  SimCard& card = Card();
  if (card.pinLeft > 0) --card.pinLeft;
  reply.CmeError(card.pinLeft == 0 ? kCmeSimPukRequired : kCmeIncorrectPassword);
}

void SimCardFeature::EnterCode(std::string_view args, ModemReply& reply) {
  std::vector<std::string> codes;
  if (!SplitArguments(args, codes) || codes.empty() || codes.size() > 2) return reply.Error();
  for (const std::string& code : codes) {
    if (!IsSimCode(code)) return reply.Error();
  }
  SimCard& card = Card();
  SimCard::State state = card.Current();
  if (state == SimCard::State::Missing) return reply.Error();
  if (state == SimCard::State::Destroyed) return reply.CmeError(kCmeSimFailure);
  if (codes.size() == 1) {
    if (state == SimCard::State::PukRequired) return reply.CmeError(kCmeSimPukRequired);
    if (state != SimCard::State::PinRequired) return reply.CmeError(kCmeNotAllowed);
    if (codes[0] != card.pin) return WrongPin(reply);
    card.verified = true;
    card.pinLeft = SimCard::kPinAttempts;
    return reply.Ok();
  }
  if (state != SimCard::State::PukRequired) return reply.CmeError(kCmeNotAllowed);
  if (codes[0] != card.puk) {
    if (card.pukLeft > 0) --card.pukLeft;
    return reply.CmeError(card.pukLeft == 0 ? kCmeSimFailure : kCmeIncorrectPassword);
  }
  card.pin = codes[1];
  card.pinLeft = SimCard::kPinAttempts;
  card.pukLeft = SimCard::kPukAttempts;
  card.verified = true;
  reply.Ok();
}

void SimCardFeature::Lock(std::string_view args, ModemReply& reply) {
  std::vector<std::string> parts;
  if (!SplitArguments(args, parts) || parts.size() < 2 || parts[0] != "SC") return reply.Error();
  SimCard& card = Card();
  if (parts[1] == "2" && parts.size() == 2) {
    if (Unavailable(reply, false)) return;
    reply.Info(std::string("+CLCK: ") + (card.request ? "1" : "0"));
    return reply.Ok();
  }
  if ((parts[1] != "0" && parts[1] != "1") || parts.size() != 3 || !IsSimCode(parts[2])) {
    return reply.Error();
  }
  if (Unavailable(reply, false)) return;
  if (parts[2] != card.pin) return WrongPin(reply);
  card.pinLeft = SimCard::kPinAttempts;
  card.request = parts[1] == "1";
  card.verified = true;
  reply.Ok();
}

void SimCardFeature::ChangePin(std::string_view args, ModemReply& reply) {
  std::vector<std::string> parts;
  if (!SplitArguments(args, parts) || parts.size() != 3 || parts[0] != "SC" ||
      !IsSimCode(parts[1]) || !IsSimCode(parts[2])) {
    return reply.Error();
  }
  if (Unavailable(reply, false)) return;
  SimCard& card = Card();
  if (!card.request) return reply.CmeError(kCmeNotAllowed);
  if (parts[1] != card.pin) return WrongPin(reply);
  card.pin = parts[2];
  card.pinLeft = SimCard::kPinAttempts;
  reply.Ok();
}

void SimCardFeature::Attempts(std::string_view args, ModemReply& reply) const {
  if (args != "?" && !args.empty()) return reply.Error();
  const SimCard& card = Card();
  if (card.Current() == SimCard::State::Missing) return reply.Error();
  reply.Info("$CPINS: " + std::to_string(card.request ? 1 : 0) + "," + std::to_string(card.pinLeft) +
             "," + std::to_string(card.pukLeft));
  reply.Ok();
}

ControlResult SimCardFeature::Control(std::string_view args) {
  std::vector<std::string_view> words = SplitWords(args);
  SimCard& card = Card();
  if (words.empty()) {
    std::string out;
    Describe(out);
    return {true, out};
  }
  if (words[0] == "request") {
    if (words.size() != 2 || (words[1] != "on" && words[1] != "off")) {
      return ControlResult::Fail("pin request takes on or off");
    }
    card.request = words[1] == "on";
    if (!card.request) card.verified = true;
    return {};
  }
  if (words[0] == "attempts") {
    int pinLeft = 0;
    int pukLeft = 0;
    if (words.size() != 3 || !ParseNumber(words[1], 0, SimCard::kPinAttempts, pinLeft) ||
        !ParseNumber(words[2], 0, SimCard::kPukAttempts, pukLeft)) {
      return ControlResult::Fail("pin attempts needs the PIN attempts (0 to 3) and the PUK attempts (0 to 10)");
    }
    card.pinLeft = pinLeft;
    card.pukLeft = pukLeft;
    return {};
  }
  if (words.size() == 2) {
    if (!IsSimCode(words[0]) || !IsSimCode(words[1])) {
      return ControlResult::Fail("the PIN and the PUK must be 4 to 8 digits");
    }
    card.pin = std::string(words[0]);
    card.puk = std::string(words[1]);
    return {};
  }
  return ControlResult::Fail("pin takes nothing, PIN PUK, request on|off or attempts N M");
}

void SimCardFeature::Describe(std::string& out) const {
  const SimCard& card = Card();
  out += "pin " + card.pin + " puk " + card.puk + " request " + (card.request ? "on" : "off") +
         " pin-left " + std::to_string(card.pinLeft) + " puk-left " + std::to_string(card.pukLeft) +
         " card " + StateName(card.Current()) + "\n";
}

}  // namespace evdo::modemsim
