#include "tools/modemsim/IdentityFeature.h"

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

namespace {

// Answers a query-only command: nothing after it, or "?".
bool IsPlainQuery(std::string_view args) { return args.empty() || args == "?"; }

}  // namespace

void IdentityFeature::Install(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.AddExact("ATI", [this](ModemEngine&, std::string_view, ModemReply& reply) {
    reply.Info("Manufacturer: " + manufacturer);
    reply.Info("Model: " + model);
    reply.Info("Revision: " + revision);
    reply.Info("ESN: " + serial);
    reply.Ok();
  });
  auto single = [](const std::string* value) {
    return [value](ModemEngine&, std::string_view args, ModemReply& reply) {
      if (!IsPlainQuery(args)) return reply.Error();
      reply.Info(*value);
      reply.Ok();
    };
  };
  commands.Add("AT+GSN", single(&serial));
  commands.Add("AT+GMR", single(&revision));
  commands.Add("AT+GMM", single(&model));

  engine.Controls().Add(
      "identity", "identity manufacturer|model|revision|serial TEXT   change what ATI reports",
      [this](std::string_view args) {
        std::vector<std::string_view> words = SplitWords(args);
        if (words.size() < 2) return ControlResult::Fail("identity needs a field and a text");
        std::string text(args.substr(static_cast<std::size_t>(words[1].data() - args.data())));
        if (words[0] == "manufacturer") manufacturer = text;
        else if (words[0] == "model") model = text;
        else if (words[0] == "revision") revision = text;
        else if (words[0] == "serial") serial = text;
        else return ControlResult::Fail("identity field must be manufacturer, model, revision or serial");
        return ControlResult{};
      });
}

void IdentityFeature::Describe(std::string& out) const {
  out += "identity " + manufacturer + " / " + model + " / " + revision + " / " + serial + "\n";
}

}  // namespace evdo::modemsim
