#pragma once
// The command contract in one place: write one command line (ending in CR)
// through the port, register its one-shot handler in the command slot, and
// wait for the answer with a time-out, either on an event (worker paths,
// the device initialisation) or with a window timer. Giving up empties the
// command slot and sets the port Ready, so that the next command can go.
#include <cstdint>
#include <string_view>

#include "core/event/Event.h"
#include "core/event/WindowPort.h"
#include "device/AtDispatcher.h"
#include "device/SerialPort.h"

namespace evdo {

// The results of a synchronous exchange, as numbers: 0 answered, 1 not
// written, 2 timed out.
enum class CommandOutcome : int { Answered = 0, NotWritten = 1, TimedOut = 2 };

// A copy of a whole answer.
struct CommandReply {
  CommandOutcome outcome = CommandOutcome::NotWritten;
  std::uint16_t lineCount = 0;
  LineCell lines[kLineCells] = {};

  // Line k, or "" when there is none.
  const char* Line(std::size_t k) const { return k < lineCount ? lines[k] : ""; }
  // The final result (the last line), or "".
  const char* FinalResult() const { return lineCount > 0 ? lines[lineCount - 1] : ""; }
};

class CCommandExchange {
public:
  CCommandExchange(CSerialPort& port, CAtDispatcher& dispatcher)
      : port_(port), dispatcher_(dispatcher) {}

  // Writes command and registers handler in the command slot. False when
  // nothing was written (the port was not Ready, or the write failed).
  bool Send(std::string_view command, ResponseHandler handler, void* context,
            bool showError = true);

  // Send, then wait up to timeoutMs for answered, which the handler sets.
  // On time-out gives up. answered is reset before the command is written.
  CommandOutcome SendAndWait(std::string_view command, ResponseHandler handler, void* context,
                             Event& answered, int timeoutMs, bool showError = true);

  // SendAndWait with a handler that copies the answer into reply.
  CommandOutcome Transact(std::string_view command, CommandReply& reply, int timeoutMs,
                          bool showError = true);

  // Send, then arm timerId on window with timeoutMs. The window calls
  // Finish when the handler has reported, GiveUp when the timer fires.
  bool SendWithTimer(std::string_view command, ResponseHandler handler, void* context,
                     WindowPort& window, TimerId timerId, std::uint32_t timeoutMs,
                     bool showError = true);
  static void Finish(WindowPort& window, TimerId timerId) { window.KillTimer(timerId); }

  CAtDispatcher& Dispatcher() { return dispatcher_; }

  // Empties the command slot (waiting for a handler call in progress) and
  // sets the port Ready: a late answer finds no handler and is discarded.
  void GiveUp();
  void GiveUp(WindowPort& window, TimerId timerId);

private:
  CSerialPort& port_;
  CAtDispatcher& dispatcher_;
};

}  // namespace evdo
