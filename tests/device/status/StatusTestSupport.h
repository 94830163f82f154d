#pragma once
// Helpers of the device status tests: dispatched blocks built from lines, and
// a window that records the status messages posted to it.
#include <algorithm>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "device/status/StatusHandlers.h"
#include "device/status/StatusMessage.h"

namespace evdo::test {

// Cells of 800 bytes, as the dispatcher hands them to a handler.
class TestBlock {
public:
  TestBlock(std::initializer_list<std::string> lines) : TestBlock(std::vector<std::string>(lines)) {}
  explicit TestBlock(const std::vector<std::string>& lines) : cells_(lines.size()) {
    std::size_t i = 0;
    for (const std::string& line : lines) {
      std::memset(cells_[i], 0, kLineCellSize);
      std::memcpy(cells_[i++], line.data(), std::min(line.size(), kLineCellSize));
    }
    count_ = static_cast<std::uint16_t>(lines.size());
  }
  BlockLines Lines() const { return BlockLines(cells_.data(), count_); }
  const LineCell* Cells() const { return cells_.data(); }
  std::uint16_t Count() const { return count_; }

private:
  std::vector<LineCell> cells_;
  std::uint16_t count_ = 0;
};

// Records every status message (kind, value) and other message posted to it.
struct StatusRecorder : WindowHandler {
  std::vector<std::pair<int, int>> statuses;
  std::vector<MessageId> others;
  void OnMessage(MessageId message, WParam wParam, LParam lParam) override {
    if (message == kStatusMessage) {
      statuses.emplace_back(static_cast<int>(wParam), static_cast<int>(lParam));
    } else {
      others.push_back(message);
    }
  }
  void OnTimer(TimerId) override {}
};

using Statuses = std::vector<std::pair<int, int>>;

}  // namespace evdo::test
