#include "device/status/NotificationHandlers.h"

#include "device/status/StatusHandlers.h"

namespace evdo {

namespace {

template <void (*Handle)(CDeviceStatus&, const BlockLines&)>
void StatusThunk(void* context, const LineCell* lines, std::uint16_t lineCount) {
  Handle(*static_cast<CDeviceStatus*>(context), BlockLines(lines, lineCount));
}

// "NO CARRIER" needs no action here; the slot is kept so that the block is
// taken rather than left unclaimed.
void IgnoreNoCarrier(void*, const LineCell*, std::uint16_t) {}

}  // namespace

std::array<NotificationRegistration, kNotificationSlotCount> NotificationRegistrations(
    CDeviceStatus& status, const MessageNotificationHandlers& messages) {
  void* s = &status;
  return {{
      {3, &IgnoreNoCarrier, s},
      {1, messages.newMessage, messages.context},
      {2, messages.message, messages.context},
      {5, &StatusThunk<OnRssi>, s},
      {6, &StatusThunk<OnCsmss>, s},
      {9, &StatusThunk<OnNetworkStatus>, s},
      {10, &StatusThunk<OnNetworkService>, s},
      {11, &StatusThunk<OnRoamingStatus>, s},
      {13, &StatusThunk<OnSimReady>, s},
      {14, &StatusThunk<OnCurrentPlmn>, s},
      {15, &StatusThunk<OnSrvStatus>, s},
      {16, messages.statusReport, messages.context},
  }};
}

void RegisterNotificationHandlers(CAtDispatcher& dispatcher, CDeviceStatus& status,
                                  const MessageNotificationHandlers& messages) {
  for (const NotificationRegistration& r : NotificationRegistrations(status, messages)) {
    if (r.handler != nullptr) dispatcher.RegisterHandler(r.slot, r.handler, r.context);
  }
  dispatcher.ParserStartEvent().Set();
}

}  // namespace evdo
