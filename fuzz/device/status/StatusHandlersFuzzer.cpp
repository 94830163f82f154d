// Feeds arbitrary modem lines to every status answer and notification
// handler: nothing may crash, and every posted value must be one the window
// can show.
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string_view>

#include "core/event/ManualEventLoop.h"
#include "device/status/DeviceStatus.h"
#include "device/status/StatusHandlers.h"

namespace {

using namespace evdo;

struct Checker : WindowHandler {
  void OnMessage(MessageId message, WParam kind, LParam value) override {
    if (message != kStatusMessage) __builtin_trap();
    bool valid = true;
    switch (static_cast<StatusKind>(kind)) {
      case StatusKind::SignalLevel: valid = value >= 0 && value <= 6; break;
      case StatusKind::OperatorShown: valid = value == 0 || value == 1; break;
      case StatusKind::NetworkType: valid = value >= 0 && value <= 2; break;
      // Roaming goes to the window as the modem reports it.
      default: break;
    }
    if (!valid) __builtin_trap();
  }
  void OnTimer(TimerId) override {}
};

using Handler = void (*)(CDeviceStatus&, const BlockLines&);
constexpr Handler kHandlers[] = {
    ApplyServiceAnswer, ApplyCsmssAnswer, ApplyOperatorAnswer, ApplyNetworkTypeAnswer,
    ApplyRoamingAnswer, ApplySignalAnswer, ApplyServiceCentreAnswer, OnRssi,
    OnCsmss,            OnNetworkStatus,  OnNetworkService,    OnRoamingStatus,
    OnSimReady,         OnCurrentPlmn,    OnSrvStatus,
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static LineCell cells[kLineCells];
  std::memset(cells, 0, sizeof cells);
  // Lines separated by LF; a line keeps at most 799 bytes, as the dispatcher
  // hands them over.
  std::string_view text(reinterpret_cast<const char*>(data), size);
  std::uint16_t count = 0;
  while (count < kLineCells && !text.empty()) {
    std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    std::memcpy(cells[count++], line.data(), std::min(line.size(), kMaxLineLength));
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
  }

  ManualEventLoop loop;
  Checker checker;
  auto& window = loop.CreateWindow(checker);
  CDeviceStatus status;
  status.AttachWindow(window);
  for (Handler h : kHandlers) h(status, BlockLines(cells, count));
  loop.RunPending();
  if (status.OperatorText().size() >= kOperatorTextSize) __builtin_trap();
  if (ServiceCentreText().size() > kServiceCentreMaxChars) __builtin_trap();
  return 0;
}
