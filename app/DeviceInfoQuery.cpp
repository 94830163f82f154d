#include "app/DeviceInfoQuery.h"

#include <algorithm>
#include <cstring>

#include "app/DeviceIdentity.h"

namespace evdo {

CDeviceInfoQuery::CDeviceInfoQuery(CCommandExchange& exchange, WindowPort& self)
    : exchange_(exchange), self_(self) {}

CDeviceInfoQuery::~CDeviceInfoQuery() {
  if (waitingForAnswer_) exchange_.GiveUp(self_, kGuardTimer);
}

void CDeviceInfoQuery::Start(std::function<void()> done) {
  if (waitingForAnswer_) exchange_.GiveUp(self_, kGuardTimer);
  self_.KillTimer(kGuardTimer);
  waitingForAnswer_ = false;
  done_ = std::move(done);
  step_ = Step::Identity;
  attempts_ = 0;
  SendCurrent();
}

void CDeviceInfoQuery::Stop() {
  self_.KillTimer(kGuardTimer);
  // Only the command slot is emptied: the port is being closed.
  if (waitingForAnswer_) exchange_.Dispatcher().ClearHandler(kCommandSlot);
  waitingForAnswer_ = false;
  step_ = Step::Idle;
  attempts_ = 0;
  done_ = nullptr;
}

void CDeviceInfoQuery::SendCurrent() {
  const char* command = step_ == Step::Identity ? kCmdIdentity : kCmdFirmware;
  ++attempts_;
  // Not shown to the user: the texts are a convenience of the About window.
  if (exchange_.SendWithTimer(command, &CDeviceInfoQuery::OnAnswer, this, self_, kGuardTimer,
                              kAnswerWaitMs, false)) {
    waitingForAnswer_ = true;
    return;
  }
  if (attempts_ < kWriteAttempts) {
    self_.SetTimer(kGuardTimer, kRetryMs);
    return;
  }
  Next();
}

void CDeviceInfoQuery::OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* self = static_cast<CDeviceInfoQuery*>(context);
  {
    std::lock_guard lock(self->replyLock_);
    CommandReply& r = self->reply_;
    r.outcome = CommandOutcome::Answered;
    r.lineCount = std::min<std::uint16_t>(lineCount, kLineCells);
    for (std::uint16_t i = 0; i < r.lineCount; ++i) std::memcpy(r.lines[i], lines[i], kLineCellSize);
  }
  self->self_.PostMessage(kMsgAnswered);
}

void CDeviceInfoQuery::OnMessage(MessageId message, WParam, LParam) {
  if (message != kMsgAnswered || !waitingForAnswer_) return;
  CCommandExchange::Finish(self_, kGuardTimer);
  waitingForAnswer_ = false;
  CommandReply reply;
  {
    std::lock_guard lock(replyLock_);
    reply = reply_;
  }
  Take(reply);
  Next();
}

void CDeviceInfoQuery::OnTimer(TimerId timerId) {
  if (timerId != kGuardTimer) return;
  self_.KillTimer(kGuardTimer);
  if (waitingForAnswer_) {  // no answer in time
    waitingForAnswer_ = false;
    exchange_.GiveUp();
    Next();
    return;
  }
  if (step_ != Step::Idle) SendCurrent();  // the port was busy: try again
}

void CDeviceInfoQuery::Take(const CommandReply& reply) {
  if (std::strcmp(reply.FinalResult(), "OK") != 0 || reply.lineCount < 2) return;
  if (step_ == Step::Identity)
    identity_ = CompleteIdentity(AnswerValue(reply.Line(0), "+GSN:"));
  else
    firmware_ = AnswerValue(reply.Line(0), "+GMR:");
}

void CDeviceInfoQuery::Next() {
  attempts_ = 0;
  if (step_ == Step::Identity) {
    step_ = Step::Firmware;
    SendCurrent();
    return;
  }
  step_ = Step::Idle;
  if (done_) {
    auto done = std::move(done_);
    done_ = nullptr;
    done();
  }
}

}  // namespace evdo
