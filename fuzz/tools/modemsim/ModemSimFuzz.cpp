// The simulated modem's command-line editing and control lines. The input is
// the bytes the computer sends, then (after the first NUL) control lines.
// The commands the modem runs must be the lines a model of the editing rules
// makes of the bytes (backspace and delete take back a byte, LF is ignored,
// CR ends the line, an overlong line is refused with ERROR): each one in its
// history and answered exactly once, every byte echoed while echo is on.
// Every control line gets one reply ending in "OK" or one "ERROR" line, and
// what "notify" and "send" put on the line is the text as escaped.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "fuzz/support/FuzzSupport.h"
#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace {

using namespace evdo::modemsim;
using evdo::fuzz::Require;

struct Capture : ModemOutput {
  std::vector<OutputChunk> chunks;
  void Send(OutputChunk chunk) override { chunks.push_back(std::move(chunk)); }
};

bool StartsWithNoCase(std::string_view line, std::string_view prefix) {
  if (line.size() < prefix.size()) return false;
  for (std::size_t i = 0; i < prefix.size(); ++i)
    if (std::toupper(static_cast<unsigned char>(line[i])) != prefix[i]) return false;
  return true;
}

// Control lines and their arguments lose white space at both ends.
std::string_view TrimBlanks(std::string_view s) {
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
  while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
  return s;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  const std::size_t nul = std::min(input.find('\0'), input.size());
  const std::string_view typed = input.substr(0, nul);
  const std::string_view controls = nul < input.size() ? input.substr(nul + 1) : std::string_view();

  Capture out;
  ModemEngine modem(out);

  // The editing rules, kept apart from the engine.
  std::vector<std::string> lines;  // commands run, "" for a refused overlong line
  std::vector<std::string> history;  // what the history records, in order
  std::string line;
  bool tooLong = false;
  bool textEntry = false;
  for (char c : typed) {
    modem.OnReceived(std::string_view(&c, 1));
    textEntry = textEntry || modem.InTextEntry();
    if (textEntry) continue;  // text after a prompt follows other rules
    const auto byte = static_cast<unsigned char>(c);
    if (byte == '\r') {
      const std::size_t first = line.find_first_not_of(" \t");
      const std::string command = first == std::string::npos ? std::string() : line.substr(first);
      if (tooLong) {
        lines.emplace_back();
      } else if (StartsWithNoCase(command, "AT")) {
        lines.push_back(command);
        history.push_back(command);
      } else if (!line.empty()) {
        history.push_back("(ignored, no AT) " + line);  // recorded, neither run nor answered
      }
      line.clear();
      tooLong = false;
    } else if (byte == 8 || byte == 127) {
      if (!line.empty()) line.pop_back();
    } else if (byte == 0x1a || byte == 0x1b) {
      // Ctrl-Z and Escape outside text entry are dropped, as a modem does.
    } else if (byte != '\n') {
      if (line.size() < ModemEngine::kMaxCommandLine) line += c;
      else tooLong = true;
    }
  }
  if (!textEntry) {
    std::vector<std::string> commands;
    bool echoChanged = false;
    for (const std::string& l : lines) {
      if (l.empty()) continue;
      commands.push_back(l);
      echoChanged = echoChanged || StartsWithNoCase(l, "ATE");
    }
    Require(modem.CommandsReceived() == commands.size(), "every command line typed is run once");
    const std::size_t kept = std::min(history.size(), ModemEngine::kHistorySize);
    Require(std::equal(modem.History().begin(), modem.History().end(), history.end() - kept, history.end()) &&
                modem.History().size() == kept,
            "the history holds the last commands as typed");
    std::size_t answers = 0;
    std::string echoed;
    for (const OutputChunk& chunk : out.chunks) {
      if (chunk.answerEnd) ++answers;
      else echoed += chunk.bytes;
    }
    Require(answers == lines.size(), "every command and every overlong line is answered once");
    // Outside text entry a modem drops Ctrl-Z and Escape unechoed.
    std::string echoable(typed);
    std::erase_if(echoable, [](char c) { return c == '\x1a' || c == '\x1b'; });
    if (!echoChanged) Require(echoed == echoable, "every byte typed but Ctrl-Z and Escape is echoed");
  }

  // Control lines.
  for (std::string_view control : evdo::fuzz::SplitLines(controls, 64)) {
    const std::size_t before = out.chunks.size();
    const std::string reply = modem.Control(control);
    const bool ok = reply.size() >= 3 && reply.compare(reply.size() - 3, 3, "OK\n") == 0;
    const bool error = reply.rfind("ERROR ", 0) == 0 && reply.back() == '\n' &&
                       reply.find('\n') == reply.size() - 1;
    Require(ok || error, "a control line gets one reply ending in OK, or one ERROR line");
    std::string decoded, why;
    Require(DecodeEscapes(EncodeEscapes(control), decoded, why) && decoded == control,
            "escaping and unescaping give the bytes back");
    const std::string_view trimmed = TrimBlanks(control);
    for (const char* name : {"notify ", "send "}) {
      const std::string_view n(name);
      if (!ok || trimmed.substr(0, n.size()) != n) continue;
      Require(DecodeEscapes(TrimBlanks(trimmed.substr(n.size())), decoded, why), "an accepted text unescapes");
      Require(out.chunks.size() > before, "an accepted text is sent");
      const std::string& sent = out.chunks.back().bytes;
      Require(sent == (n == "notify " ? "\r\n" + decoded + "\r\n" : decoded), "the text is sent as escaped");
    }
    if (reply.size() > (1u << 20)) break;
  }
  return 0;
}
