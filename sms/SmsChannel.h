#pragma once
// How the message exchanges talk to the modem: one command outstanding per
// exchange, its answer copied on the parser thread and handed to the
// exchange's window as a posted message, its guard a window timer. The
// link lock lets one message exchange at a time use the command slot, so
// that a new-message read never slips in between the steps of a send.
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <string_view>
#include <vector>

#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"

namespace evdo::sms {

class CSmsChannel {
public:
  // Ctrl-Z written after a time-out waits this long for its (ignored) answer.
  static constexpr TimerId kIgnoredGuardTimer = 61;
  static constexpr std::uint32_t kIgnoredGuardMs = 5000;

  CSmsChannel(CCommandExchange& exchange, WindowPort& window);
  ~CSmsChannel();
  CSmsChannel(const CSmsChannel&) = delete;
  CSmsChannel& operator=(const CSmsChannel&) = delete;

  // Writes text and arms guard; the answer comes to the window as
  // kMsgSmsAnswer. False when nothing was written (nothing outstanding then).
  bool Send(std::string_view text, int step, TimerId guard, std::uint32_t guardMs);
  // Writes text whose answer nobody needs (Ctrl-Z after a time-out).
  bool SendIgnored(std::string_view text);

  struct Answer {
    int step = 0;
    std::vector<std::string> lines;
  };
  // For kMsgSmsAnswer: the answer of the outstanding command, which then
  // ends (its guard killed). False for a late or stale wake.
  bool TakeAnswer(WParam sequence, Answer& out);
  // For a timer: true when it is the outstanding command's guard; the
  // command is given up (slot 17 emptied, port Ready) and step is its step.
  // An answer that came just before counts as the answer: answered is set.
  bool OnTimer(TimerId timerId, int& step, bool& answered, Answer& answer);
  // Drops the outstanding command without calling anyone back.
  void Cancel();

  bool Outstanding() const { return guard_ != 0; }
  int Step() const { return step_; }

private:
  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnIgnoredAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);

  CCommandExchange& exchange_;
  WindowPort& window_;
  TimerId guard_ = 0;
  int step_ = 0;
  bool ignoredOutstanding_ = false;

  std::mutex lock_;
  std::uint64_t expected_ = 0;  // the sequence of the command outstanding
  std::uint64_t answered_ = 0;  // the sequence whose answer is held
  std::vector<std::string> lines_;
};

// One message exchange at a time on the command slot (UI thread only).
class CSmsLinkLock {
public:
  // Runs granted now and returns true when the lock is free; otherwise the
  // request waits its turn (granted runs when the holder releases).
  bool Acquire(const void* owner, std::function<void()> granted);
  void Release(const void* owner);
  // Forgets the owner's waiting requests (and releases it when it holds).
  void Withdraw(const void* owner);
  bool IsHeldBy(const void* owner) const { return holder_ == owner; }
  bool IsHeld() const { return holder_ != nullptr; }

private:
  struct Request {
    const void* owner;
    std::function<void()> granted;
  };
  const void* holder_ = nullptr;
  std::deque<Request> waiting_;
};

}  // namespace evdo::sms
