#include "tools/modemsim/CallFeature.h"

#include <vector>

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {
namespace {

bool IsDialNumber(std::string_view number) {
  if (number.empty() || number.size() > 40) return false;
  for (char c : number)
    if (!((c >= '0' && c <= '9') || c == '*' || c == '#' || c == '+')) return false;
  return true;
}

const char* StateName(CallFeature::State state) {
  switch (state) {
    case CallFeature::State::Idle: return "idle";
    case CallFeature::State::Ringing: return "ringing";
    case CallFeature::State::Active: return "active";
  }
  return "?";
}

const char* OutcomeName(CallFeature::DialOutcome outcome) {
  switch (outcome) {
    case CallFeature::DialOutcome::Connect: return "connect";
    case CallFeature::DialOutcome::Busy: return "busy";
    case CallFeature::DialOutcome::NoCarrier: return "no-carrier";
    case CallFeature::DialOutcome::Error: return "error";
  }
  return "?";
}

}  // namespace

void CallFeature::Install(ModemEngine& engine) {
  engine_ = &engine;
  InstallCommands(engine);
  engine.Controls().Add(
      "call",
      "call incoming NUMBER [--rings N] | hangup | state\n"
      "          | next-dial connect|busy|no-carrier|error [--end-after MS]\n"
      "                          an incoming call (RING every 3 s with +CLIP, N rings, default 10),\n"
      "                          the far end hanging up, the call state, how the next dial goes",
      [this, &engine](std::string_view args) { return Control(engine, args); });
}

void CallFeature::InstallCommands(ModemEngine& engine) {
  CommandTable& commands = engine.Commands();
  commands.Add("AT+CDV", [this](ModemEngine& e, std::string_view args, ModemReply& reply) {
    std::string_view dialled = args;
    while (!dialled.empty() && dialled.front() == ' ') dialled.remove_prefix(1);
    if (state != State::Idle || !IsDialNumber(dialled)) return reply.Error();
    ++callsDialled;
    DialOutcome outcome = nextDial;
    nextDial = DialOutcome::Connect;
    switch (outcome) {
      case DialOutcome::Error: return reply.Error();
      case DialOutcome::NoCarrier: return reply.Final("NO CARRIER");
      case DialOutcome::Busy:
        reply.Info("BUSY");
        return reply.Final("NO CARRIER");
      case DialOutcome::Connect: break;
    }
    state = State::Active;
    incoming = false;
    number = std::string(dialled);
    tones.clear();
    if (endAfterMs > 0) endTimer_ = e.After(endAfterMs, [this, &e] { FarEndHangsUp(e); });
    endAfterMs = 0;
    reply.Ok();
  });
  commands.AddExact("ATA", [this](ModemEngine& e, std::string_view, ModemReply& reply) {
    if (state != State::Ringing) return reply.Error();
    e.Cancel(ringTimer_);
    state = State::Active;
    incoming = true;
    tones.clear();
    reply.Ok();
  });
  auto end = [this](ModemEngine& e, std::string_view args, ModemReply& reply) {
    if (!args.empty()) return reply.Error();
    Stop(e);
    reply.Ok();
  };
  commands.Add("AT+CHUP", end);
  commands.Add("AT+CHV", end);
  commands.Add("AT+VTS=", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (!args.empty() && args.back() == ';') args.remove_suffix(1);
    if (state != State::Active || args.size() != 1 || !IsDialNumber(args) || args == "+") return reply.Error();
    tones += args;
    reply.Ok();
  });
  commands.Add("AT+CLVL", [this](ModemEngine&, std::string_view args, ModemReply& reply) {
    if (args == "?") {
      reply.Info("+CLVL: " + std::to_string(volume));
      return reply.Ok();
    }
    if (args.size() != 2 || args[0] != '=' || args[1] < '0' || args[1] > '4') return reply.Error();
    volume = args[1] - '0';
    reply.Ok();
  });
}

void CallFeature::Ring(ModemEngine& engine) {
  if (state != State::Ringing) return;
  if (ringsLeft <= 0) {  // the caller gives up, without a word
    state = State::Idle;
    number.clear();
    return;
  }
  --ringsLeft;
  ++ringsSent;
  engine.Notify("RING");
  engine.Notify("+CLIP: \"" + number + "\",129");
  ringTimer_ = engine.After(kRingIntervalMs, [this, &engine] { Ring(engine); });
}

void CallFeature::FarEndHangsUp(ModemEngine& engine) {
  if (state == State::Idle) return;
  Stop(engine);
  engine.Notify("NO CARRIER");
}

void CallFeature::Stop(ModemEngine& engine) {
  engine.Cancel(ringTimer_);
  engine.Cancel(endTimer_);
  ringTimer_ = endTimer_ = 0;
  state = State::Idle;
  number.clear();
}

ControlResult CallFeature::Control(ModemEngine& engine, std::string_view args) {
  std::vector<std::string_view> words = SplitWords(args);
  if (words.empty()) return ControlResult::Fail("call needs incoming, hangup, state or next-dial");
  if (words[0] == "incoming") {
    int rings = kDefaultRings;
    if (words.size() == 4 && words[2] == "--rings") {
      if (!ParseNumber(words[3], 1, 1000, rings)) return ControlResult::Fail("--rings needs 1..1000");
    } else if (words.size() != 2) {
      return ControlResult::Fail("call incoming NUMBER [--rings N]");
    }
    if (!IsDialNumber(words[1])) return ControlResult::Fail("the number may hold only 0-9, *, # and +");
    if (state != State::Idle) return ControlResult::Fail(std::string("a call is ") + StateName(state));
    state = State::Ringing;
    number = std::string(words[1]);
    ringsLeft = rings;
    ringsSent = 0;
    Ring(engine);
    return {};
  }
  if (words[0] == "hangup" && words.size() == 1) {
    if (state == State::Idle) return ControlResult::Fail("no call");
    FarEndHangsUp(engine);
    return {};
  }
  if (words[0] == "state" && words.size() == 1) {
    std::string out;
    Describe(out);
    return {true, out};
  }
  if (words[0] == "next-dial" && (words.size() == 2 || words.size() == 4)) {
    DialOutcome outcome;
    if (words[1] == "connect") outcome = DialOutcome::Connect;
    else if (words[1] == "busy") outcome = DialOutcome::Busy;
    else if (words[1] == "no-carrier") outcome = DialOutcome::NoCarrier;
    else if (words[1] == "error") outcome = DialOutcome::Error;
    else return ControlResult::Fail("next-dial connect|busy|no-carrier|error");
    int after = 0;
    if (words.size() == 4 && (words[2] != "--end-after" || !ParseNumber(words[3], 1, 86400000, after)))
      return ControlResult::Fail("--end-after needs milliseconds");
    nextDial = outcome;
    endAfterMs = after;
    return {};
  }
  return ControlResult::Fail("call incoming NUMBER [--rings N] | hangup | state | next-dial ...");
}

void CallFeature::Describe(std::string& out) const {
  out += std::string("call ") + StateName(state);
  if (state != State::Idle) out += std::string(" ") + (state == State::Ringing || incoming ? "incoming " : "dialled ") + number;
  if (state == State::Ringing) out += " rings-sent " + std::to_string(ringsSent) + " rings-left " + std::to_string(ringsLeft);
  if (state == State::Active) out += " tones \"" + tones + "\"";
  out += " volume " + std::to_string(volume) + " next-dial " + OutcomeName(nextDial) + "\n";
}

void CallFeature::PowerCycle() {
  state = State::Idle;
  number.clear();
  tones.clear();
  if (engine_ != nullptr) {
    engine_->Cancel(ringTimer_);
    engine_->Cancel(endTimer_);
  }
  ringTimer_ = endTimer_ = 0;
}

}  // namespace evdo::modemsim
