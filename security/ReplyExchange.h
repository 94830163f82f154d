#pragma once
// One command at a time for a page or dialog, on the event layer: write the
// command and register the handler in the command slot, guard it with a
// window timer, and hand the whole answer back on the window's thread. The
// handler (parser thread) only copies the answer and posts a wake; nothing
// ever waits on the user-interface thread. A time-out gives up as the
// command contract says: the command slot is emptied and the port Ready.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <string_view>

#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"

namespace evdo {

class CReplyExchange : public WindowHandler {
public:
  using Done = std::function<void(CommandOutcome outcome, const CommandReply& reply)>;

  // self is the window whose messages and timers reach OnMessage/OnTimer.
  CReplyExchange(CCommandExchange& exchange, WindowPort& self, MessageId wake = 0);
  ~CReplyExchange() override;
  CReplyExchange(const CReplyExchange&) = delete;
  CReplyExchange& operator=(const CReplyExchange&) = delete;

  // Writes command and arms timerId for timeoutMs. done is called once: at
  // once with NotWritten when nothing was written (or a command of this
  // object is still outstanding), later with Answered or TimedOut.
  void Send(std::string_view command, TimerId timerId, std::uint32_t timeoutMs, Done done,
            bool showError = true);
  bool IsOutstanding() const { return outstanding_; }
  // Gives up the outstanding command without calling its done.
  void Cancel();

  // Routed here by the window; other messages and timers are ignored.
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  void Complete(CommandOutcome outcome);

  CCommandExchange& exchange_;
  WindowPort& self_;
  MessageId wake_;
  bool outstanding_ = false;
  TimerId timer_ = 0;
  Done done_;
  std::atomic<std::uint32_t> sequence_{0};
  std::atomic<bool> answered_{false};
  std::mutex replyLock_;
  CommandReply reply_;
};

}  // namespace evdo
