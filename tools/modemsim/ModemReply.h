#pragma once
// The answer of the simulated modem to one command: information lines, then
// a final result or the text-entry prompt, framed CR LF ... CR LF.
#include <functional>
#include <string>
#include <string_view>

namespace evdo::modemsim {

class ModemEngine;
class ModemReply;

// Receives the text typed after the prompt (without its Ctrl-Z) and answers.
using TextEntryHandler = std::function<void(ModemEngine&, const std::string& text, ModemReply&)>;

class ModemReply {
public:
  void Info(std::string_view line);
  void Ok() { Final("OK"); }
  void Error() { Final("ERROR"); }
  void CmeError(int code);
  void CmsError(int code);
  // A final result of another text.
  void Final(std::string_view line);
  // Answers with the prompt "> "; the text that follows, up to Ctrl-Z, goes
  // to handler. Escape cancels the entry.
  void Prompt(TextEntryHandler handler);
  // The answer goes out after ms (a command that takes the modem a while,
  // such as a network search).
  void Delay(int ms) { delayMs_ = ms; }
  int DelayMs() const { return delayMs_; }
  // Bytes sent as they are, after the lines.
  void Raw(std::string_view bytes) { bytes_ += bytes; }

  // The framed bytes.
  const std::string& Bytes() const { return bytes_; }
  bool Empty() const { return bytes_.empty(); }
  bool HasPrompt() const { return static_cast<bool>(textEntry_); }
  TextEntryHandler TakeTextEntry() { return std::move(textEntry_); }

private:
  std::string bytes_;
  int delayMs_ = 0;
  TextEntryHandler textEntry_;
};

}  // namespace evdo::modemsim
