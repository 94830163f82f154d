#include "tools/modemsim/DataCallFeature.h"

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

void DataCallFeature::Install(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.Add("AT+PHPREF", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (!preferenceAnswers) return;  // silence: the dashboard's wait runs out
    if (args == "?") {
      reply.Info("+PHPREF: " + std::to_string(preference));
      return reply.Ok();
    }
    if (args.size() == 2 && args[0] == '=' && (args[1] == '1' || args[1] == '2')) {
      preference = args[1] - '0';
      return reply.Ok();
    }
    reply.Error();
  });
  commands.Add("ATD", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    ++dials;
    lastNumber = std::string(args);
    if (args.empty()) return reply.Error();
    if (dialAnswer == "CONNECT") {
      inCall = true;
      return reply.Final(preference == 1 ? "CONNECT 153600" : "CONNECT 3100000");
    }
    reply.Final(dialAnswer);
  });
  commands.AddExact("ATH", [this](ModemEngine&, std::string_view, ModemReply& reply) {
    inCall = false;
    reply.Ok();
  });
  engine.Controls().Add(
      "datacall",
      "datacall connect|nocarrier|busy|error|silent|answer   how the next dials and preferences are answered",
      [this](std::string_view args) {
        std::vector<std::string_view> words = SplitWords(args);
        if (words.size() != 1) return ControlResult::Fail("datacall needs one word");
        if (words[0] == "connect") dialAnswer = "CONNECT";
        else if (words[0] == "nocarrier") dialAnswer = "NO CARRIER";
        else if (words[0] == "busy") dialAnswer = "BUSY";
        else if (words[0] == "error") dialAnswer = "ERROR";
        else if (words[0] == "silent") preferenceAnswers = false;
        else if (words[0] == "answer") preferenceAnswers = true;
        else return ControlResult::Fail("datacall takes connect, nocarrier, busy, error, silent or answer");
        return ControlResult{};
      });
}

void DataCallFeature::Describe(std::string& out) const {
  out += "datacall preference " + std::to_string(preference) + ", dial answer " + dialAnswer +
         (inCall ? ", in a call" : "") + ", dials " + std::to_string(dials) + "\n";
}

}  // namespace evdo::modemsim
