#pragma once
// The simulated modem's commands: a handler per command prefix (matched on
// the upper-cased command line, longest prefix first) or per exact command.
// The handler gets what follows the prefix, in the case it was typed.
#include <functional>
#include <map>
#include <string>
#include <string_view>
#include <vector>

#include "tools/modemsim/ModemReply.h"

namespace evdo::modemsim {

using CommandHandler = std::function<void(ModemEngine&, std::string_view args, ModemReply&)>;

class CommandTable {
public:
  // prefix in upper case, for instance "AT+CSQ" (then "AT+CSQ?" gives "?").
  void Add(const std::string& prefix, CommandHandler handler);
  // Matches only the whole command, for instance "AT".
  void AddExact(const std::string& command, CommandHandler handler);

  struct Match {
    const CommandHandler* handler = nullptr;
    std::string_view args;
  };
  // command as typed; the lookup ignores letter case.
  Match Find(std::string_view command) const;

  // Every command and prefix the table answers, sorted.
  std::vector<std::string> Names() const;

private:
  std::map<std::string, CommandHandler, std::less<>> prefixes_;
  std::map<std::string, CommandHandler, std::less<>> exact_;
};

// The simulator's control commands ("notify", "fault", ...): a handler per
// first word, answering with text lines or an error.
struct ControlResult {
  bool ok = true;
  std::string text;  // lines, each ending in "\n"; for an error, the reason

  static ControlResult Fail(std::string reason) { return {false, std::move(reason)}; }
};

using ControlHandler = std::function<ControlResult(std::string_view args)>;

class ControlTable {
public:
  void Add(std::string name, std::string usage, ControlHandler handler);
  // Runs one control line. The reply ends in "OK\n" or is "ERROR <why>\n".
  std::string Run(std::string_view line) const;
  // One line per command: its usage.
  std::string Help() const;

private:
  struct Entry {
    std::string usage;
    ControlHandler handler;
  };
  std::map<std::string, Entry, std::less<>> entries_;
};

}  // namespace evdo::modemsim
