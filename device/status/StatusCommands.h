#pragma once
// The status commands of the main window: small exchanges over the command
// slot, each a fixed command with its answer handler and its wait. They run
// on the user-interface thread without blocking it: the answer handler
// (parser thread) sets the reply event and wakes this object with a posted
// message; the wait is a window timer. Only one status command is
// outstanding at a time, and an exchange ends only on its own answer or its
// time-out, so the port is never left Busy behind it (a "+CSMSS:"
// notification sets the CSMSS reply event but does not end the CSMSS query).
#include <atomic>
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

#include "core/event/WindowPort.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/status/DeviceStatus.h"
#include "device/status/StatusHandlers.h"

namespace evdo {

enum class StatusCommand : int {
  EchoOff,
  Service,
  Csmss,
  Operator,
  NetworkType,
  Roaming,
  Signal,
  MessageFormat,
  ServiceCentre,
  Generic,  // the caller's own text (SendStatusCommand)
};
inline constexpr int kStatusCommandCount = 10;

inline constexpr std::uint32_t kEchoOffWaitMs = 8000;
inline constexpr std::uint32_t kStatusWaitMs = 30000;

struct StatusCommandSpec {
  const char* text;  // the command line, CR included (empty for Generic)
  std::uint32_t waitMs;
  void (*apply)(CDeviceStatus&, const BlockLines&);  // null: the answer only signals
  bool csmssEvent;                                   // waits on the CSMSS reply event
};
const StatusCommandSpec& SpecOf(StatusCommand command);

// What the device initialisation needs of the status commands; tests put a
// scripted modem behind it.
class StatusCommandSender {
public:
  using Done = std::function<void(CommandOutcome)>;
  virtual ~StatusCommandSender() = default;
  // Writes the command and calls done once with its outcome: at once when it
  // was not written, later (from the window's messages or timers) otherwise.
  // After a time-out the command slot is empty and the port Ready.
  virtual void Send(StatusCommand command, Done done) = 0;
  // Empties the command slot.
  virtual void EmptyCommandSlot() = 0;
  // Drops the command outstanding, if any: its done is never called.
  virtual void Cancel() = 0;
};

class CStatusCommands : public StatusCommandSender, public WindowHandler {
public:
  // self is the window whose messages and timers reach OnMessage/OnTimer;
  // it becomes the reply waiter of status.
  CStatusCommands(CDeviceStatus& status, CCommandExchange& exchange, CAtDispatcher& dispatcher,
                  WindowPort& self);
  ~CStatusCommands() override;
  CStatusCommands(const CStatusCommands&) = delete;
  CStatusCommands& operator=(const CStatusCommands&) = delete;

  void Send(StatusCommand command, Done done) override;
  void EmptyCommandSlot() override;
  // Writes text (a whole command line) and waits 30000 ms; its handler only
  // signals. For the AT command test window.
  void SendStatusCommand(std::string_view text, Done done);
  // Writes "AT+GMI\r" without showing a refusal and without waiting; the
  // answer updates the operator text. False when nothing was written.
  bool QueryOperatorName();

  bool IsOutstanding() const { return outstanding_ != nullptr; }
  // Suspend: drops the outstanding command without calling its caller back
  // and without touching the port's state.
  void Cancel() override;

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  struct HandlerContext {
    CStatusCommands* owner = nullptr;
    const StatusCommandSpec* spec = nullptr;
    bool signal = true;
    // Set by the handler: the command's own final result has arrived.
    std::atomic<bool> answered{false};
  };

  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  void Start(HandlerContext& context, std::string_view text, Done done);
  Event& ReplyEvent(const StatusCommandSpec& spec);
  void Complete(CommandOutcome outcome);

  CDeviceStatus& status_;
  CCommandExchange& exchange_;
  CAtDispatcher& dispatcher_;
  WindowPort& self_;
  HandlerContext contexts_[kStatusCommandCount];
  HandlerContext operatorQuery_;
  HandlerContext* outstanding_ = nullptr;
  Done done_;
};

}  // namespace evdo
