#include "device/status/StatusCommands.h"

#include <utility>

namespace evdo {

namespace {

const StatusCommandSpec kSpecs[kStatusCommandCount] = {
    {"ATE0\r", kEchoOffWaitMs, nullptr, false},
    {"AT+CAD?\r", kStatusWaitMs, ApplyServiceAnswer, false},
    {"AT$CSMSS?\r", kStatusWaitMs, ApplyCsmssAnswer, true},
    {"AT+GMI\r", kStatusWaitMs, ApplyOperatorAnswer, false},
    {"AT$NWRAT?\r", kStatusWaitMs, ApplyNetworkTypeAnswer, false},
    {"AT$ROAM?\r", kStatusWaitMs, ApplyRoamingAnswer, false},
    {"AT+CSQ?\r", kStatusWaitMs, ApplySignalAnswer, false},
    {"AT+CMGF=1\r", kStatusWaitMs, nullptr, false},
    {"AT+CSCA?\r", kStatusWaitMs, ApplyServiceCentreAnswer, false},
    {"", kStatusWaitMs, nullptr, false},
};

}  // namespace

const StatusCommandSpec& SpecOf(StatusCommand command) { return kSpecs[static_cast<int>(command)]; }

CStatusCommands::CStatusCommands(CDeviceStatus& status, CCommandExchange& exchange,
                                 CAtDispatcher& dispatcher, WindowPort& self)
    : status_(status),
      exchange_(exchange),
      dispatcher_(dispatcher),
      self_(self) {
  for (int i = 0; i < kStatusCommandCount; ++i) {
    contexts_[i].owner = this;
    contexts_[i].spec = &kSpecs[i];
  }
  operatorQuery_.owner = this;
  operatorQuery_.spec = &SpecOf(StatusCommand::Operator);
  operatorQuery_.signal = false;
  status_.AttachReplyWaiter(self_);
}

CStatusCommands::~CStatusCommands() {
  if (outstanding_ != nullptr) exchange_.GiveUp(self_, kStatusCommandTimer);
}

void CStatusCommands::Send(StatusCommand command, Done done) {
  HandlerContext& context = contexts_[static_cast<int>(command)];
  Start(context, context.spec->text, std::move(done));
}

void CStatusCommands::SendStatusCommand(std::string_view text, Done done) {
  Start(contexts_[static_cast<int>(StatusCommand::Generic)], text, std::move(done));
}

void CStatusCommands::Start(HandlerContext& context, std::string_view text, Done done) {
  if (outstanding_ != nullptr) {
    done(CommandOutcome::NotWritten);
    return;
  }
  ReplyEvent(*context.spec).Reset();
  context.answered = false;
  // The handler may run before SendWithTimer returns; it only sets the
  // event and posts, and the posted wake is handled after this returns.
  outstanding_ = &context;
  done_ = std::move(done);
  if (!exchange_.SendWithTimer(text, &CStatusCommands::OnAnswer,
                               &context, self_, kStatusCommandTimer,
                               context.spec->waitMs, true)) {
    Complete(CommandOutcome::NotWritten);
  }
}

bool CStatusCommands::QueryOperatorName() {
  return exchange_.Send(operatorQuery_.spec->text, &CStatusCommands::OnAnswer, &operatorQuery_,
                        false);
}

void CStatusCommands::Cancel() {
  if (outstanding_ == nullptr) return;
  // Only the command slot is emptied: the port is being closed, and a late
  // answer then finds no handler.
  self_.KillTimer(kStatusCommandTimer);
  dispatcher_.ClearHandler(kCommandSlot);
  outstanding_ = nullptr;
  done_ = nullptr;
}

void CStatusCommands::EmptyCommandSlot() { dispatcher_.ClearHandler(kCommandSlot); }

void CStatusCommands::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto& c = *static_cast<HandlerContext*>(context);
  if (c.spec->apply != nullptr) c.spec->apply(c.owner->status_, BlockLines(lines, lineCount));
  if (!c.signal) return;
  c.answered = true;
  c.owner->status_.SignalReply(c.owner->ReplyEvent(*c.spec));
}

Event& CStatusCommands::ReplyEvent(const StatusCommandSpec& spec) {
  return spec.csmssEvent ? status_.csmssReply : status_.statusReply;
}

void CStatusCommands::OnMessage(MessageId message, WParam, LParam) {
  if (message != kStatusReplyWake || outstanding_ == nullptr || !outstanding_->answered) return;
  ReplyEvent(*outstanding_->spec).Wait(0);
  CCommandExchange::Finish(self_, kStatusCommandTimer);
  Complete(CommandOutcome::Answered);
}

void CStatusCommands::OnTimer(TimerId timerId) {
  if (timerId != kStatusCommandTimer || outstanding_ == nullptr) return;
  exchange_.GiveUp(self_, kStatusCommandTimer);
  // An answer that came just before the give-up still counts.
  bool answered = outstanding_->answered;
  if (answered) ReplyEvent(*outstanding_->spec).Wait(0);
  Complete(answered ? CommandOutcome::Answered : CommandOutcome::TimedOut);
}

void CStatusCommands::Complete(CommandOutcome outcome) {
  outstanding_ = nullptr;
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(outcome);
}

}  // namespace evdo
