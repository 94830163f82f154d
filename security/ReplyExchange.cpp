#include "security/ReplyExchange.h"

#include <cstring>
#include <utility>

#include "security/SecurityIds.h"

namespace evdo {

CReplyExchange::CReplyExchange(CCommandExchange& exchange, WindowPort& self, MessageId wake)
    : exchange_(exchange), self_(self), wake_(wake == 0 ? kMsgReplyWake : wake) {}

CReplyExchange::~CReplyExchange() { Cancel(); }

void CReplyExchange::Send(std::string_view command, TimerId timerId, std::uint32_t timeoutMs,
                          Done done, bool showError) {
  if (outstanding_) {
    done(CommandOutcome::NotWritten, CommandReply{});
    return;
  }
  answered_ = false;
  ++sequence_;
  outstanding_ = true;
  timer_ = timerId;
  done_ = std::move(done);
  if (!exchange_.SendWithTimer(command, &CReplyExchange::OnAnswer, this, self_, timerId, timeoutMs,
                               showError)) {
    Complete(CommandOutcome::NotWritten);
  }
}

void CReplyExchange::Cancel() {
  if (!outstanding_) return;
  exchange_.GiveUp(self_, timer_);
  outstanding_ = false;
  done_ = nullptr;
}

void CReplyExchange::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto& self = *static_cast<CReplyExchange*>(context);
  std::uint32_t sequence;
  {
    std::lock_guard<std::mutex> lock(self.replyLock_);
    std::uint16_t count = lineCount > kLineCells ? kLineCells : lineCount;
    std::memcpy(self.reply_.lines, lines, sizeof(LineCell) * count);
    self.reply_.lineCount = count;
    self.reply_.outcome = CommandOutcome::Answered;
    sequence = self.sequence_;
  }
  self.answered_ = true;
  self.self_.PostMessage(self.wake_, static_cast<WParam>(sequence), 0);
}

void CReplyExchange::OnMessage(MessageId message, WParam wParam, LParam) {
  if (message != wake_ || !outstanding_ || !answered_) return;
  if (static_cast<std::uint32_t>(wParam) != sequence_.load()) return;  // a wake of an earlier command
  CCommandExchange::Finish(self_, timer_);
  Complete(CommandOutcome::Answered);
}

void CReplyExchange::OnTimer(TimerId timerId) {
  if (!outstanding_ || timerId != timer_) return;
  exchange_.GiveUp(self_, timer_);
  // An answer that came just before the give-up still counts.
  Complete(answered_ ? CommandOutcome::Answered : CommandOutcome::TimedOut);
}

void CReplyExchange::Complete(CommandOutcome outcome) {
  outstanding_ = false;
  CommandReply reply;
  if (outcome == CommandOutcome::Answered) {
    std::lock_guard<std::mutex> lock(replyLock_);
    reply = reply_;
  }
  reply.outcome = outcome;
  Done done = std::move(done_);
  done_ = nullptr;
  if (done) done(outcome, reply);
}

}  // namespace evdo
