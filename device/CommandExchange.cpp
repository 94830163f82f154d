#include "device/CommandExchange.h"

#include <cstring>
#include <limits>

namespace evdo {

namespace {

struct PendingReply {
  CommandReply* reply;
  Event done{Event::Mode::Auto};
};

void CopyReply(void* context, const LineCell* lines, std::uint16_t lineCount) {
  auto* pending = static_cast<PendingReply*>(context);
  std::memcpy(pending->reply->lines, lines, sizeof(LineCell) * lineCount);
  pending->reply->lineCount = lineCount;
  pending->done.Set();
}

}  // namespace

bool CCommandExchange::Send(std::string_view command, ResponseHandler handler, void* context,
                            bool showError) {
  if (command.size() > std::numeric_limits<std::uint16_t>::max()) return false;
  if (!port_.Write(command.data(), static_cast<std::uint16_t>(command.size()), showError)) {
    return false;
  }
  dispatcher_.RegisterHandler(kCommandSlot, handler, context);
  return true;
}

CommandOutcome CCommandExchange::SendAndWait(std::string_view command, ResponseHandler handler,
                                             void* context, Event& answered, int timeoutMs,
                                             bool showError) {
  answered.Reset();
  if (!Send(command, handler, context, showError)) return CommandOutcome::NotWritten;
  if (answered.Wait(timeoutMs)) return CommandOutcome::Answered;
  GiveUp();
  // The answer may have come between the time-out and the give-up; its
  // handler has then run, and its signal must not be left for the next
  // command to find.
  return answered.Wait(0) ? CommandOutcome::Answered : CommandOutcome::TimedOut;
}

CommandOutcome CCommandExchange::Transact(std::string_view command, CommandReply& reply,
                                          int timeoutMs, bool showError) {
  reply.lineCount = 0;
  PendingReply pending{&reply};
  reply.outcome = SendAndWait(command, &CopyReply, &pending, pending.done, timeoutMs, showError);
  if (reply.outcome != CommandOutcome::Answered) reply.lineCount = 0;
  return reply.outcome;
}

bool CCommandExchange::SendWithTimer(std::string_view command, ResponseHandler handler,
                                     void* context, WindowPort& window, TimerId timerId,
                                     std::uint32_t timeoutMs, bool showError) {
  if (!Send(command, handler, context, showError)) return false;
  window.SetTimer(timerId, timeoutMs);
  return true;
}

void CCommandExchange::GiveUp() {
  dispatcher_.ClearHandler(kCommandSlot);
  port_.SetState(CSerialPort::Ready);
}

void CCommandExchange::GiveUp(WindowPort& window, TimerId timerId) {
  window.KillTimer(timerId);
  GiveUp();
}

}  // namespace evdo
