#include "tools/modemsim/ModemEngine.h"

#include "core/text/TextRules.h"

#include <cctype>

#include "tools/modemsim/ControlArgs.h"

namespace evdo::modemsim {

namespace {

constexpr std::size_t kDefaultGarbage = 16;

bool StartsWithAt(std::string_view line) {
  return StartsWithIgnoringAsciiCase(line, "AT");
}

// Bytes that are neither CR nor LF, from a fixed sequence.
std::string GarbageBytes(std::size_t count) {
  static std::uint32_t state = 0x2545F491u;
  std::string out;
  out.reserve(count);
  while (out.size() < count) {
    state = state * 1664525u + 1013904223u;
    auto byte = static_cast<char>(state >> 24);
    if (byte != '\r' && byte != '\n') out += byte;
  }
  return out;
}

// Breaks the last line end of an answer: its LF becomes a stray byte.
void BreakLineEnd(std::string& bytes) {
  std::size_t at = bytes.rfind("\r\n");
  if (at != std::string::npos) bytes[at + 1] = '#';
}

const char* FaultName(FaultKind kind) {
  switch (kind) {
    case FaultKind::Silent: return "silent";
    case FaultKind::Garbage: return "garbage";
    case FaultKind::BrokenLineEnd: return "brokeneol";
    case FaultKind::Slow: return "slow";
    case FaultKind::Delay: return "delay";
  }
  return "?";
}

}  // namespace

ModemEngine::ModemEngine(ModemOutput& output) : output_(output) {
  InstallCore();
  InstallStandardFeatures(*this);
}

void ModemEngine::OnReceived(std::string_view bytes) {
  for (char c : bytes) {
    ++bytesReceived_;
    auto byte = static_cast<std::uint8_t>(c);
    if (textEntry_) OnTextByte(byte);
    else OnCommandByte(byte);
  }
  FlushEcho();
}

void ModemEngine::FlushEcho() {
  if (pendingEcho_.empty()) return;
  output_.Send(OutputChunk{std::move(pendingEcho_)});
  pendingEcho_.clear();
}

void ModemEngine::OnCommandByte(std::uint8_t byte) {
  // Ctrl-Z and Escape end text entry; outside it a modem drops them.
  if (byte == kCtrlZ || byte == kEscape) return;
  if (echo_) pendingEcho_ += static_cast<char>(byte);
  switch (byte) {
    case '\r': {
      std::string line = std::move(line_);
      line_.clear();
      bool tooLong = lineTooLong_;
      lineTooLong_ = false;
      if (tooLong) line.clear();
      if (tooLong || !line.empty()) {
        FlushEcho();
        if (tooLong) {
          ModemReply reply;
          reply.Error();
          Answer(reply);
        } else {
          Execute(line);
        }
      }
      break;
    }
    case '\n': break;
    case 8:
    case 127:
      if (!line_.empty()) line_.pop_back();
      break;
    default:
      if (line_.size() < kMaxCommandLine) line_ += static_cast<char>(byte);
      else lineTooLong_ = true;
      break;
  }
}

void ModemEngine::OnTextByte(std::uint8_t byte) {
  if (echo_ && byte != kCtrlZ && byte != kEscape) pendingEcho_ += static_cast<char>(byte);
  if (byte == kEscape) {
    textEntry_ = nullptr;
    text_.clear();
    FlushEcho();
    ModemReply reply;
    reply.Ok();
    Answer(reply);
    return;
  }
  if (byte != kCtrlZ) {
    if (text_.size() < kMaxText) text_ += static_cast<char>(byte);
    return;
  }
  FlushEcho();
  TextEntryHandler handler = std::move(textEntry_);
  textEntry_ = nullptr;
  std::string text = std::move(text_);
  text_.clear();
  ModemReply reply;
  handler(*this, text, reply);
  Answer(reply);
}

void ModemEngine::Execute(const std::string& received) {
  // As a modem does: blanks before the "AT" prefix are skipped, and a line
  // without the prefix is no command (it is recorded, not answered).
  std::string_view line = received;
  while (!line.empty() && (line.front() == ' ' || line.front() == '\t')) line.remove_prefix(1);
  if (!StartsWithAt(line)) {
    history_.push_back("(ignored, no AT) " + received);
    if (history_.size() > kHistorySize) history_.pop_front();
    return;
  }
  ++commandsReceived_;
  history_.emplace_back(line);
  if (history_.size() > kHistorySize) history_.pop_front();
  ModemReply reply;
  CommandTable::Match match = commands_.Find(line);
  if (match.handler == nullptr) reply.Error();
  else (*match.handler)(*this, match.args, reply);
  Answer(reply);
}

void ModemEngine::Answer(ModemReply& reply) {
  if (reply.Empty()) return;
  OutputChunk chunk{reply.Bytes(), reply.DelayMs(), 0, true};
  if (!faults_.empty()) {
    Fault fault = faults_.front();
    faults_.pop_front();
    switch (fault.kind) {
      case FaultKind::Silent: return;
      case FaultKind::Garbage: chunk.bytes = GarbageBytes(kDefaultGarbage) + chunk.bytes; break;
      case FaultKind::BrokenLineEnd: BreakLineEnd(chunk.bytes); break;
      case FaultKind::Slow: chunk.byteDelayMs = fault.param; break;
      case FaultKind::Delay: chunk.delayMs = fault.param; break;
    }
  }
  output_.Send(std::move(chunk));
  if (reply.HasPrompt()) {
    textEntry_ = reply.TakeTextEntry();
    text_.clear();
  }
}

int ModemEngine::After(int ms, std::function<void()> work) {
  int id = ++nextTimer_;
  timers_.emplace(TimerClock::now() + std::chrono::milliseconds(ms), Timer{id, std::move(work)});
  return id;
}

void ModemEngine::Cancel(int id) {
  for (auto it = timers_.begin(); it != timers_.end(); ++it) {
    if (it->second.id == id) {
      timers_.erase(it);
      return;
    }
  }
}

std::int64_t ModemEngine::RunTimers(TimerClock::time_point now) {
  while (!timers_.empty() && timers_.begin()->first <= now) {
    std::function<void()> work = std::move(timers_.begin()->second.work);
    timers_.erase(timers_.begin());
    work();  // may add or cancel timers
  }
  if (timers_.empty()) return -1;
  return std::chrono::duration_cast<std::chrono::nanoseconds>(timers_.begin()->first - now).count();
}

void ModemEngine::Notify(std::string_view line) {
  FlushEcho();
  std::string bytes = "\r\n";
  bytes += line;
  bytes += "\r\n";
  output_.Send(OutputChunk{std::move(bytes)});
}

void ModemEngine::SendRaw(std::string_view bytes, int delayMs) {
  FlushEcho();
  output_.Send(OutputChunk{std::string(bytes), delayMs});
}

void ModemEngine::PowerCycle() {
  echo_ = true;
  line_.clear();
  lineTooLong_ = false;
  pendingEcho_.clear();
  textEntry_ = nullptr;
  text_.clear();
  for (auto& feature : features_) feature->PowerCycle();
}

void ModemEngine::AddFault(Fault fault, int count) {
  for (int i = 0; i < count; ++i) faults_.push_back(fault);
}

std::string ModemEngine::FaultList() const {
  std::string out;
  for (const Fault& fault : faults_) {
    if (!out.empty()) out += ' ';
    out += FaultName(fault.kind);
    if (fault.kind == FaultKind::Slow || fault.kind == FaultKind::Delay) {
      out += ':' + std::to_string(fault.param);
    }
  }
  return out.empty() ? "none" : out;
}

ControlResult ModemEngine::FaultControl(std::string_view args) {
  std::vector<std::string_view> words = SplitWords(args);
  if (words.size() == 1 && words[0] == "clear") {
    ClearFaults();
    return {};
  }
  static constexpr struct {
    const char* name;
    FaultKind kind;
    bool timed;
  } kKinds[] = {{"silent", FaultKind::Silent, false},
                {"garbage", FaultKind::Garbage, false},
                {"brokeneol", FaultKind::BrokenLineEnd, false},
                {"slow", FaultKind::Slow, true},
                {"delay", FaultKind::Delay, true}};
  for (const auto& kind : kKinds) {
    if (words.empty() || words[0] != kind.name) continue;
    std::size_t next = 1;
    Fault fault{kind.kind, 0};
    if (kind.timed && (words.size() < 2 || !ParseNumber(words[1], 0, 60000, fault.param))) {
      return ControlResult::Fail(std::string("fault ") + kind.name +
                                 " needs milliseconds from 0 to 60000");
    }
    if (kind.timed) ++next;
    int count = 1;
    if (words.size() > next + 1 ||
        (words.size() == next + 1 && !ParseNumber(words[next], 1, 10000, count))) {
      return ControlResult::Fail("the count must be a number from 1 to 10000");
    }
    AddFault(fault, count);
    return {};
  }
  return ControlResult::Fail("fault takes silent, garbage, brokeneol, slow MS, delay MS or clear");
}

std::string ModemEngine::Describe() const {
  std::string out;
  out += std::string("echo ") + (echo_ ? "on" : "off") + "\n";
  out += std::string("text-entry ") + (textEntry_ ? "yes" : "no") + "\n";
  out += "commands " + std::to_string(commandsReceived_) + "\n";
  out += "faults " + FaultList() + "\n";
  for (const auto& feature : features_) feature->Describe(out);
  return out;
}

void ModemEngine::InstallCore() {
  commands_.AddExact("AT", [](ModemEngine&, std::string_view, ModemReply& reply) { reply.Ok(); });
  commands_.Add("ATE", [](ModemEngine& engine, std::string_view args, ModemReply& reply) {
    if (args == "0" || args.empty()) engine.SetEcho(false);
    else if (args == "1") engine.SetEcho(true);
    else return reply.Error();
    reply.Ok();
  });

  controls_.Add("help", "help                      this list, and the AT commands answered", [this](std::string_view) {
    std::string at;
    for (const std::string& name : commands_.Names()) at += (at.empty() ? "" : " ") + name;
    return ControlResult{true, controls_.Help() + kAtCommandsHeading + at + "\n"};
  });
  controls_.Add("status", "status                    echo, text entry, faults, feature state",
                [this](std::string_view) { return ControlResult{true, Describe()}; });
  controls_.Add("history", "history                   the last commands received",
                [this](std::string_view) {
                  std::string out;
                  for (const std::string& line : history_) out += line + "\n";
                  return ControlResult{true, out};
                });
  controls_.Add("notify", "notify LINE               send LINE framed CR LF ... CR LF",
                [this](std::string_view args) {
                  if (args.empty()) return ControlResult::Fail("notify needs a line");
                  std::string line, error;
                  if (!DecodeEscapes(args, line, error)) return ControlResult::Fail(error);
                  Notify(line);
                  return ControlResult{};
                });
  controls_.Add("send", "send BYTES                send bytes as they are (\\r \\n \\xNN \\z)",
                [this](std::string_view args) {
                  std::string bytes, error;
                  if (args.empty()) return ControlResult::Fail("send needs bytes");
                  if (!DecodeEscapes(args, bytes, error)) return ControlResult::Fail(error);
                  SendRaw(bytes);
                  return ControlResult{};
                });
  controls_.Add("garbage", "garbage N                 send N bytes of garbage (no CR or LF)",
                [this](std::string_view args) {
                  int count = 0;
                  if (!ParseNumber(args, 1, 1 << 20, count)) {
                    return ControlResult::Fail("garbage needs a count from 1 to 1048576");
                  }
                  SendRaw(GarbageBytes(static_cast<std::size_t>(count)));
                  return ControlResult{};
                });
  controls_.Add("echo", "echo on|off               set command echo",
                [this](std::string_view args) {
                  if (args == "on") echo_ = true;
                  else if (args == "off") echo_ = false;
                  else return ControlResult::Fail("echo takes on or off");
                  return ControlResult{};
                });
  controls_.Add("fault",
                "fault silent|garbage|brokeneol|slow MS|delay MS [COUNT] | fault clear\n"
                "                          spoil the next COUNT answers (default 1)",
                [this](std::string_view args) { return FaultControl(args); });
}

}  // namespace evdo::modemsim
