#include "tools/modemsim/NetworkFeature.h"

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

namespace {

constexpr int kCmeNoNetworkService = 30;
constexpr int kCmeNetworkNotAllowed = 32;
constexpr const char* kModeLists = ",,(0,1,2,3,4),(0,1,2)";

std::vector<NetworkFeature::Operator> DefaultOperators() {
  return {
      {2, "Demo Telecom", "DEMO", "46003", 2},
      {1, "Other Mobile", "OTHER", "46001", 0},
      {3, "Barred Network", "BARRED", "46099", 0},
  };
}

}  // namespace

NetworkFeature::NetworkFeature() : operators(DefaultOperators()) {}

std::string NetworkFeature::SearchLine() const {
  std::string line = "+COPS: ";
  if (!rawList.empty()) return line + rawList + kModeLists;
  for (std::size_t i = 0; i < operators.size(); ++i) {
    const Operator& op = operators[i];
    if (i > 0) line += ',';
    line += "(" + std::to_string(op.state) + ",\"" + op.longName + "\",\"" + op.shortName + "\",\"" +
            op.numeric + "\"," + std::to_string(op.technology) + ")";
  }
  return line + kModeLists;
}

void NetworkFeature::Install(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.Add("AT+CFUN", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "?") {
      reply.Info(std::string("+CFUN: ") + (radioOn ? "1" : "4"));
    } else if (refuseRadio) {
      return reply.CmeError(3);
    } else if (args == "=1") {
      radioOn = true;
    } else if (args == "=4" || args == "=0") {
      radioOn = false;
    } else {
      return reply.Error();
    }
    reply.Ok();
  });
  commands.Add("AT+COPS", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "=?") {
      reply.Delay(searchMs);
      if (!radioOn) return reply.CmeError(kCmeNoNetworkService);
      reply.Info(SearchLine());
      return reply.Ok();
    }
    if (args == "?") {
      std::string current;
      for (const Operator& op : operators) {
        if (op.state == 2) current = op.shortName;
      }
      if (!radioOn || current.empty()) {
        reply.Info("+COPS: " + std::to_string(selectionMode));
      } else {
        reply.Info("+COPS: " + std::to_string(selectionMode) + ",1,\"" + current + "\"");
      }
      return reply.Ok();
    }
    Register(args, reply);
  });
  commands.Add("AT+PHPREF", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "?") {
      reply.Info("+PHPREF: " + std::to_string(preference));
      return reply.Ok();
    }
    int value = 0;
    if (args.size() < 2 || args[0] != '=' || !ParseNumber(args.substr(1), 1, 4, value)) {
      return reply.Error();
    }
    preference = value;
    reply.Ok();
  });
  engine.Controls().Add(
      "network",
      "network | network radio on|off | network cfun refuse|ok | network searchms MS\n"
      "          | network operators TEXT|default\n"
      "                          show or set the radio, whether \"AT+CFUN=\" is refused, how\n"
      "                          long a search takes, and the operator list the search\n"
      "                          answers with (TEXT as it stands, escapes decoded)",
      [this](std::string_view args) { return Control(args); });
}

void NetworkFeature::Register(std::string_view args, ModemReply& reply) {
  if (args == "=0") {
    if (!radioOn) return reply.CmeError(kCmeNoNetworkService);
    selectionMode = 0;
    return reply.Ok();
  }
  constexpr std::string_view kManual = "=1,1,\"";
  if (args.substr(0, kManual.size()) != kManual || args.size() < kManual.size() + 2 ||
      args.back() != '"') {
    return reply.Error();
  }
  std::string_view name = args.substr(kManual.size(), args.size() - kManual.size() - 1);
  if (name.find('"') != std::string_view::npos) return reply.Error();
  if (!radioOn) return reply.CmeError(kCmeNoNetworkService);
  Operator* chosen = nullptr;
  for (Operator& op : operators) {
    if (op.shortName == name) chosen = &op;
  }
  if (chosen == nullptr || chosen->state == 3) return reply.CmeError(kCmeNetworkNotAllowed);
  for (Operator& op : operators) {
    if (op.state == 2) op.state = 1;
  }
  chosen->state = 2;
  selectionMode = 1;
  reply.Ok();
}

ControlResult NetworkFeature::Control(std::string_view args) {
  std::vector<std::string_view> words = SplitWords(args);
  if (words.empty()) {
    std::string out;
    Describe(out);
    return {true, out};
  }
  if (words[0] == "radio" && words.size() == 2 && (words[1] == "on" || words[1] == "off")) {
    radioOn = words[1] == "on";
    return {};
  }
  if (words[0] == "cfun" && words.size() == 2 && (words[1] == "refuse" || words[1] == "ok")) {
    refuseRadio = words[1] == "refuse";
    return {};
  }
  if (words[0] == "searchms") {
    if (words.size() != 2 || !ParseNumber(words[1], 0, 60000, searchMs)) {
      return ControlResult::Fail("network searchms needs milliseconds from 0 to 60000");
    }
    return {};
  }
  if (words[0] == "operators" && words.size() >= 2) {
    std::string_view text = args.substr(static_cast<std::size_t>(words[1].data() - args.data()));
    if (text == "default") {
      rawList.clear();
      operators = DefaultOperators();
      return {};
    }
    std::string decoded, error;
    if (!DecodeEscapes(text, decoded, error)) return ControlResult::Fail(error);
    rawList = decoded;
    return {};
  }
  return ControlResult::Fail("network takes nothing, radio on|off, cfun refuse|ok, searchms MS or operators TEXT|default");
}

void NetworkFeature::Describe(std::string& out) const {
  out += std::string("network radio ") + (radioOn ? "on" : "off") + " searchms " +
         std::to_string(searchMs) + " preference " + std::to_string(preference) + " mode " +
         std::to_string(selectionMode) + "\n";
  out += "network search " + SearchLine() + "\n";
}

}  // namespace evdo::modemsim
