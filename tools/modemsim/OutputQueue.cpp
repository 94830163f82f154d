#include "tools/modemsim/OutputQueue.h"

#include <unistd.h>

#include <cerrno>

namespace evdo::modemsim {

namespace {
// An unpaced flood is queued in chunks of about this size.
constexpr std::size_t kFloodBatch = 16384;
}  // namespace

void OutputQueue::Push(OutputChunk chunk, Clock::time_point now) {
  if (chunk.bytes.empty()) return;
  queue_.push_back(Pending{std::move(chunk.bytes), 0, now + std::chrono::milliseconds(chunk.delayMs),
                           chunk.byteDelayMs, chunk.answerEnd});
}

void OutputQueue::StartFlood(std::string bytes, std::uint64_t count, std::uint64_t bytesPerSecond,
                             Clock::time_point now) {
  floodBytes_ = std::move(bytes);
  floodRemaining_ = floodBytes_.empty() ? 0 : count;
  floodRate_ = bytesPerSecond;
  floodQueuedBytes_ = 0;
  floodStart_ = now;
}

void OutputQueue::Clear() {
  queue_.clear();
  floodRemaining_ = 0;
}

void OutputQueue::RefillFlood(Clock::time_point now) {
  if (!queue_.empty() || floodRemaining_ == 0) return;
  if (floodRate_ == 0) {
    std::string batch;
    while (floodRemaining_ > 0 && batch.size() < kFloodBatch) {
      batch += floodBytes_;
      --floodRemaining_;
    }
    queue_.push_back(Pending{std::move(batch), 0, now, 0, false});
    return;
  }
  auto due = floodStart_ + std::chrono::nanoseconds(floodQueuedBytes_ * 1000000000ull / floodRate_);
  floodQueuedBytes_ += floodBytes_.size();
  --floodRemaining_;
  queue_.push_back(Pending{floodBytes_, 0, due, 0, false});
}

bool OutputQueue::HasDue(Clock::time_point now) {
  RefillFlood(now);
  return !queue_.empty() && queue_.front().due <= now;
}

std::int64_t OutputQueue::NanosUntilDue(Clock::time_point now) {
  RefillFlood(now);
  if (queue_.empty()) return -1;
  auto wait = queue_.front().due - now;
  return wait.count() < 0 ? 0 : std::chrono::duration_cast<std::chrono::nanoseconds>(wait).count();
}

OutputQueue::WriteStatus OutputQueue::WriteDue(int fd, Clock::time_point now) {
  while (HasDue(now)) {
    Pending& front = queue_.front();
    std::size_t size = front.byteDelayMs > 0 ? 1 : front.bytes.size() - front.offset;
    // The moment the bytes leave: taken before the write, so that the other
    // end cannot have seen them earlier.
    const auto leaving = Clock::now();
    ssize_t written = ::write(fd, front.bytes.data() + front.offset, size);
    if (written < 0) {
      if (errno == EINTR) continue;
      return errno == EAGAIN || errno == EWOULDBLOCK ? WriteStatus::Blocked : WriteStatus::Failed;
    }
    if (trace_ != nullptr) trace_(traceContext_, front.bytes.data() + front.offset, static_cast<std::size_t>(written));
    front.offset += static_cast<std::size_t>(written);
    bytesSent_ += static_cast<std::uint64_t>(written);
    if (front.offset == front.bytes.size()) {
      if (front.answerEnd) {
        lastAnswerSent_ = leaving;
        ++answersSent_;
      }
      queue_.pop_front();
    } else if (front.byteDelayMs > 0) {
      front.due = Clock::now() + std::chrono::milliseconds(front.byteDelayMs);
    }
  }
  return WriteStatus::Idle;
}

}  // namespace evdo::modemsim
