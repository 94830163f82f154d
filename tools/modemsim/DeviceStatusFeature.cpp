#include "tools/modemsim/DeviceStatusFeature.h"

#include <algorithm>
#include <vector>

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

namespace {

bool IsPlainQuery(std::string_view args) { return args.empty() || args == "?"; }

struct CardName {
  DeviceStatusFeature::Card card;
  const char* name;
};
constexpr CardName kCardNames[] = {
    {DeviceStatusFeature::Card::Ready, "ready"},
    {DeviceStatusFeature::Card::NoService, "noservice"},
    {DeviceStatusFeature::Card::Unusable, "unusable"},
    {DeviceStatusFeature::Card::PinRequired, "pin"},
    {DeviceStatusFeature::Card::PukRequired, "puk"},
    {DeviceStatusFeature::Card::Failure, "failure"},
};

const char* NameOf(DeviceStatusFeature::Card card) {
  for (const CardName& c : kCardNames) {
    if (c.card == card) return c.name;
  }
  return "?";
}

// The level an unsolicited "+RSSI: " line carries for a signal query value.
int RssiLevel(int signal) { return std::min(signal / 6, 6); }

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

}  // namespace

void DeviceStatusFeature::Install(ModemEngine& engine) {
  InstallCommands(engine.Commands());
  engine.Controls().Add(
      "devstatus",
      "devstatus card ready|noservice|unusable|pin|puk|failure | signal N | nwrat N M | roam N\n"
      "          | srv N | netstatus N | csmss N | operator [TEXT] | csca [TEXT]\n"
      "          | emit rssi|netstatus|netservice|roaming|simready|plmn|srv|csmss\n"
      "                          set the card and network state, or send a status line",
      [this, &engine](std::string_view args) {
        std::vector<std::string_view> words = SplitWords(args);
        if (words.empty()) return ControlResult::Fail("devstatus needs a setting");
        std::size_t valueAt = words.size() > 1 ? static_cast<std::size_t>(words[1].data() - args.data())
                                               : args.size();
        std::string_view value = args.substr(valueAt);
        if (words[0] == "emit") return Emit(engine, value);
        return Set(words[0], value);
      });
}

void DeviceStatusFeature::InstallCommands(CommandTable& commands) {
  commands.Add("AT+CAD", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args != "?") return reply.Error();
    AnswerService(reply);
  });
  auto info = [](const std::function<std::string()>& line) {
    return [line](ModemEngine&, std::string_view args, ModemReply& reply) {
      if (!IsPlainQuery(args)) return reply.Error();
      reply.Info(line());
      reply.Ok();
    };
  };
  commands.Add("AT$CSMSS", info([this] { return "$CSMSS: " + std::to_string(csmss); }));
  commands.Add("AT+GMI", info([this] { return "-GMI: " + Quoted(operatorName); }));
  commands.Add("AT$NWRAT", info([this] {
    return "$NWRAT: " + std::to_string(networkType) + "," + std::to_string(networkMode);
  }));
  commands.Add("AT$ROAM", info([this] { return "$ROAM: " + std::to_string(roaming); }));
  commands.Add("AT+CSQ", info([this] { return std::to_string(signal) + ", 99"; }));
  commands.Add("AT+CSCA", info([this] { return "+CSCA: " + Quoted(serviceCentre) + ",145"; }));
  commands.Add("AT+CMGF", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "?") {
      reply.Info("+CMGF: " + std::to_string(messageFormat));
    } else if (args == "=0" || args == "=1") {
      messageFormat = args[1] - '0';
    } else {
      return reply.Error();
    }
    reply.Ok();
  });
}

const char* DeviceStatusFeature::CurrentCardName() const {
  switch (sim.Current()) {
    case SimCard::State::Missing: return "failure";
    case SimCard::State::Destroyed: return "destroyed";
    case SimCard::State::PukRequired: return "puk";
    case SimCard::State::PinRequired: return "pin";
    case SimCard::State::Ready: break;
  }
  return NameOf(card);
}

void DeviceStatusFeature::AnswerService(ModemReply& reply) const {
  switch (sim.Current()) {
    case SimCard::State::Missing:
    case SimCard::State::Destroyed: return reply.Final("+CME ERROR: SIM failure");
    case SimCard::State::PukRequired: return reply.Final("+CME ERROR: SIM PUK required");
    case SimCard::State::PinRequired: return reply.Final("+CME ERROR: SIM PIN required");
    case SimCard::State::Ready: break;
  }
  switch (card) {
    case Card::Ready: reply.Info("+CAD: 1"); break;
    case Card::NoService: reply.Info("+CAD: 0"); break;
    case Card::Unusable: reply.Info("+CAD: 5"); break;
    case Card::PinRequired: return reply.Final("+CME ERROR: SIM PIN required");
    case Card::PukRequired: return reply.Final("+CME ERROR: SIM PUK required");
    case Card::Failure: return reply.Final("+CME ERROR: SIM failure");
  }
  reply.Ok();
}

void DeviceStatusFeature::SetCard(Card state) {
  // A card put in a state has its counters back where that state needs them.
  sim.present = state != Card::Failure;
  if (sim.pukLeft == 0) sim.pukLeft = SimCard::kPukAttempts;
  switch (state) {
    case Card::PinRequired:
      sim.request = true;
      sim.verified = false;
      if (sim.pinLeft == 0) sim.pinLeft = SimCard::kPinAttempts;
      card = Card::Ready;
      break;
    case Card::PukRequired:
      sim.pinLeft = 0;
      card = Card::Ready;
      break;
    case Card::Failure:
      card = Card::Ready;
      break;
    default:
      sim.verified = true;
      if (sim.pinLeft == 0) sim.pinLeft = SimCard::kPinAttempts;
      card = state;
      break;
  }
}

ControlResult DeviceStatusFeature::Set(std::string_view what, std::string_view value) {
  std::vector<std::string_view> words = SplitWords(value);
  auto number = [&](int min, int max, int& out) {
    if (words.size() != 1 || !ParseNumber(words[0], min, max, out)) {
      return ControlResult::Fail(std::string(what) + " needs a number from " + std::to_string(min) +
                                 " to " + std::to_string(max));
    }
    return ControlResult{};
  };
  if (what == "card") {
    for (const CardName& c : kCardNames) {
      if (words.size() == 1 && words[0] == c.name) {
        SetCard(c.card);
        return {};
      }
    }
    return ControlResult::Fail("card must be ready, noservice, unusable, pin, puk or failure");
  }
  if (what == "signal") {
    // A signal quality as "+CSQ" reports it: 0 to 31, or 99 for unknown.
    int value = 0;
    if (words.size() != 1 || !ParseNumber(words[0], 0, 99, value) || (value > 31 && value != 99))
      return ControlResult::Fail("signal needs a number from 0 to 31, or 99 (unknown)");
    signal = value;
    return {};
  }
  if (what == "roam") return number(0, 255, roaming);
  if (what == "srv") return number(0, 255, serviceStatus);
  if (what == "netstatus") return number(0, 255, networkStatus);
  if (what == "csmss") return number(0, 255, csmss);
  if (what == "nwrat") {
    if (words.size() != 2 || !ParseNumber(words[0], 0, 255, networkType) ||
        !ParseNumber(words[1], 0, 255, networkMode)) {
      return ControlResult::Fail("nwrat needs two numbers from 0 to 255");
    }
    return {};
  }
  if (what == "operator") {
    operatorName = std::string(value);
    return {};
  }
  if (what == "csca") {
    serviceCentre = std::string(value);
    return {};
  }
  return ControlResult::Fail("devstatus: unknown setting " + std::string(what));
}

ControlResult DeviceStatusFeature::Emit(ModemEngine& engine, std::string_view what) const {
  std::string line;
  if (what == "rssi") line = "+RSSI: " + std::to_string(RssiLevel(signal));
  else if (what == "netstatus") line = "Network status: " + std::to_string(networkStatus) + ",0";
  else if (what == "netservice") line = "Network Service: " + std::to_string(networkType);
  else if (what == "roaming") line = "Roaming status: " + std::to_string(roaming);
  else if (what == "simready") line = "SIM_READY: 1";
  else if (what == "plmn") line = "Current PLMN: " + Quoted(operatorName);
  else if (what == "srv") line = "Srv status: " + std::to_string(serviceStatus);
  else if (what == "csmss") line = "+CSMSS: " + std::to_string(csmss);
  else return ControlResult::Fail("emit: rssi, netstatus, netservice, roaming, simready, plmn, srv or csmss");
  engine.Notify(line);
  return {};
}

void DeviceStatusFeature::Describe(std::string& out) const {
  out += "devstatus card " + std::string(CurrentCardName()) + " signal " + std::to_string(signal) +
         " nwrat " + std::to_string(networkType) + "," + std::to_string(networkMode) + " roam " +
         std::to_string(roaming) + " srv " + std::to_string(serviceStatus) + " csmss " +
         std::to_string(csmss) + " operator " + Quoted(operatorName) + " csca " +
         Quoted(serviceCentre) + "\n";
}

}  // namespace evdo::modemsim
