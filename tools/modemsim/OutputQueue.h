#pragma once
// What the simulated modem still has to send, in order, each chunk not
// before its time, written as fast as the pseudo-terminal takes it. It can
// also stream a notification line many times (a flood), as fast as possible
// or at a given byte rate.
#include <chrono>
#include <cstdint>
#include <deque>
#include <string>

#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {

class OutputQueue {
public:
  using Clock = std::chrono::steady_clock;
  enum class WriteStatus { Idle, Blocked, Failed };

  void Push(OutputChunk chunk, Clock::time_point now);
  // Sends bytes count times; bytesPerSecond 0 means as fast as possible.
  void StartFlood(std::string bytes, std::uint64_t count, std::uint64_t bytesPerSecond,
                  Clock::time_point now);
  void Clear();

  // Writes what is due to fd, which is non-blocking. Blocked: fd takes no
  // more for now; Idle: nothing more is due.
  WriteStatus WriteDue(int fd, Clock::time_point now);
  // True when something is due now (wait for fd to take it).
  bool HasDue(Clock::time_point now);
  // Nanoseconds until the next chunk is due; -1 when nothing waits.
  std::int64_t NanosUntilDue(Clock::time_point now);

  std::uint64_t BytesSent() const { return bytesSent_; }
  std::uint64_t AnswersSent() const { return answersSent_; }
  // When the last byte of the last answer was written.
  Clock::time_point LastAnswerSent() const { return lastAnswerSent_; }
  std::uint64_t FloodRemaining() const { return floodRemaining_; }

  // Called with every byte run written (for traces).
  void SetTrace(void (*trace)(void*, const char*, std::size_t), void* context) {
    trace_ = trace;
    traceContext_ = context;
  }

private:
  struct Pending {
    std::string bytes;
    std::size_t offset;
    Clock::time_point due;
    int byteDelayMs;
    bool answerEnd;
  };
  void RefillFlood(Clock::time_point now);

  std::deque<Pending> queue_;
  std::string floodBytes_;
  std::uint64_t floodRemaining_ = 0;
  std::uint64_t floodRate_ = 0;
  std::uint64_t floodQueuedBytes_ = 0;
  Clock::time_point floodStart_;

  std::uint64_t bytesSent_ = 0;
  std::uint64_t answersSent_ = 0;
  Clock::time_point lastAnswerSent_{};
  void (*trace_)(void*, const char*, std::size_t) = nullptr;
  void* traceContext_ = nullptr;
};

}  // namespace evdo::modemsim
