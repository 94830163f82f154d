#include "tools/modemsim/CommandTable.h"

#include <algorithm>

#include "core/text/TextRules.h"

namespace evdo::modemsim {

namespace {

std::string Upper(std::string_view text) { return ToUpperAscii(text); }
std::string_view Trim(std::string_view text) { return TrimAsciiSpace(text); }

}  // namespace

void CommandTable::Add(const std::string& prefix, CommandHandler handler) {
  prefixes_[Upper(prefix)] = std::move(handler);
}

void CommandTable::AddExact(const std::string& command, CommandHandler handler) {
  exact_[Upper(command)] = std::move(handler);
}

CommandTable::Match CommandTable::Find(std::string_view command) const {
  std::string upper = Upper(command);
  if (auto it = exact_.find(upper); it != exact_.end()) return {&it->second, {}};
  for (std::size_t length = upper.size(); length > 0; --length) {
    auto it = prefixes_.find(std::string_view(upper).substr(0, length));
    if (it != prefixes_.end()) return {&it->second, command.substr(length)};
  }
  return {};
}

void ControlTable::Add(std::string name, std::string usage, ControlHandler handler) {
  entries_[std::move(name)] = Entry{std::move(usage), std::move(handler)};
}

std::string ControlTable::Run(std::string_view line) const {
  line = Trim(line);
  std::size_t space = line.find(' ');
  std::string_view name = line.substr(0, space);
  std::string_view args = space == std::string_view::npos ? std::string_view{} : line.substr(space + 1);
  auto it = entries_.find(name);
  if (it == entries_.end()) {
    return "ERROR unknown command \"" + std::string(name) + "\" (try help)\n";
  }
  ControlResult result = it->second.handler(Trim(args));
  if (!result.ok) return "ERROR " + result.text + "\n";
  return result.text + "OK\n";
}

std::vector<std::string> CommandTable::Names() const {
  std::vector<std::string> names;
  for (const auto& [name, handler] : prefixes_) names.push_back(name);
  for (const auto& [name, handler] : exact_) names.push_back(name);
  std::sort(names.begin(), names.end());
  names.erase(std::unique(names.begin(), names.end()), names.end());
  return names;
}

std::string ControlTable::Help() const {
  std::string out;
  for (const auto& [name, entry] : entries_) out += entry.usage + "\n";
  return out;
}

}  // namespace evdo::modemsim
