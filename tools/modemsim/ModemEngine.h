#pragma once
// The simulated modem's protocol, without I/O: bytes from the computer go
// in, framed answers, echo and unsolicited lines come out through a
// ModemOutput. It keeps the command line editing, echo (on until "ATE0"),
// text entry after the prompt, the faults asked for, and the features with
// their commands.
#include <chrono>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"
#include "tools/modemsim/ModemReply.h"

namespace evdo::modemsim {

// The last line of the "help" control command starts with this, followed by
// every AT command (or command prefix) the simulator answers.
inline constexpr const char* kAtCommandsHeading = "AT commands: ";

// Bytes to send to the computer.
struct OutputChunk {
  std::string bytes;
  int delayMs = 0;      // wait before the first byte
  int byteDelayMs = 0;  // when above 0, one byte at a time with this gap
  bool answerEnd = false;  // the chunk ends an answer to a command
};

class ModemOutput {
public:
  virtual ~ModemOutput() = default;
  virtual void Send(OutputChunk chunk) = 0;
};

enum class FaultKind { Silent, Garbage, BrokenLineEnd, Slow, Delay };

// A fault for one answer.
struct Fault {
  FaultKind kind;
  int param = 0;  // milliseconds for Slow and Delay
};

class ModemEngine {
public:
  static constexpr std::size_t kMaxCommandLine = 1024;
  static constexpr std::size_t kMaxText = 4096;
  static constexpr std::size_t kHistorySize = 50;
  static constexpr std::uint8_t kCtrlZ = 26;
  static constexpr std::uint8_t kEscape = 27;

  explicit ModemEngine(ModemOutput& output);
  ModemEngine(const ModemEngine&) = delete;
  ModemEngine& operator=(const ModemEngine&) = delete;

  CommandTable& Commands() { return commands_; }
  ControlTable& Controls() { return controls_; }

  // Adds a feature and installs it. The engine owns it.
  template <class T, class... Args>
  T& AddFeature(Args&&... args) {
    auto feature = std::make_unique<T>(std::forward<Args>(args)...);
    T& ref = *feature;
    features_.push_back(std::move(feature));
    ref.Install(*this);
    return ref;
  }
  // The installed feature of type T, or null.
  template <class T>
  T* Feature() {
    for (auto& feature : features_) {
      if (auto* found = dynamic_cast<T*>(feature.get())) return found;
    }
    return nullptr;
  }

  // Bytes from the computer.
  void OnReceived(std::string_view bytes);
  // An unsolicited line, framed CR LF ... CR LF.
  void Notify(std::string_view line);
  // Bytes as they are.
  void SendRaw(std::string_view bytes, int delayMs = 0);
  // Runs one control command line; the reply ends in "OK\n" or is an error.
  std::string Control(std::string_view line) { return controls_.Run(line); }

  // The device was pulled out and plugged in again: echo on, no text entry,
  // no half-typed command, faults kept.
  void PowerCycle();

  // Work for later (a ringing call, a far end that hangs up): runs on the
  // engine's thread once RunTimers sees it due. Returns an id for Cancel.
  using TimerClock = std::chrono::steady_clock;
  int After(int ms, std::function<void()> work);
  void Cancel(int id);
  // Runs the work that is due at now; returns nanoseconds until the next
  // (-1 when none waits).
  std::int64_t RunTimers(TimerClock::time_point now);

  void AddFault(Fault fault, int count = 1);
  void ClearFaults() { faults_.clear(); }

  bool Echo() const { return echo_; }
  void SetEcho(bool on) { echo_ = on; }
  bool InTextEntry() const { return static_cast<bool>(textEntry_); }
  const std::deque<std::string>& History() const { return history_; }
  std::uint64_t CommandsReceived() const { return commandsReceived_; }
  std::uint64_t BytesReceived() const { return bytesReceived_; }

  // Lines for "status".
  std::string Describe() const;

private:
  void InstallCore();
  void OnCommandByte(std::uint8_t byte);
  void OnTextByte(std::uint8_t byte);
  void Execute(const std::string& line);
  void Answer(ModemReply& reply);
  void FlushEcho();
  std::string FaultList() const;
  ControlResult FaultControl(std::string_view args);

  ModemOutput& output_;
  CommandTable commands_;
  ControlTable controls_;
  std::vector<std::unique_ptr<ModemFeature>> features_;

  bool echo_ = true;
  std::string line_;
  bool lineTooLong_ = false;
  std::string pendingEcho_;
  TextEntryHandler textEntry_;
  std::string text_;
  struct Timer {
    int id;
    std::function<void()> work;
  };
  std::multimap<TimerClock::time_point, Timer> timers_;
  int nextTimer_ = 0;
  std::deque<Fault> faults_;
  std::deque<std::string> history_;
  std::uint64_t commandsReceived_ = 0;
  std::uint64_t bytesReceived_ = 0;
};

}  // namespace evdo::modemsim
