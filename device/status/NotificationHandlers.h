#pragma once
// The main window's notification handlers in the dispatcher's slots.
#include <array>
#include <cstddef>

#include "device/AtDispatcher.h"
#include "device/status/DeviceStatus.h"

namespace evdo {

// The message notifications ("+CMTI: ", "+CMT: ", "+CDS: ") belong to the
// message exchanges, which hand their handlers in here; a null handler
// leaves its slot empty.
struct MessageNotificationHandlers {
  ResponseHandler newMessage = nullptr;    // slot 1
  ResponseHandler message = nullptr;       // slot 2
  ResponseHandler statusReport = nullptr;  // slot 16
  void* context = nullptr;
};

struct NotificationRegistration {
  int slot;
  ResponseHandler handler;
  void* context;
};

// The registrations in the order they are made: slots 3, 1, 2, 5, 6, 9, 10,
// 11, 13, 14, 15, 16.
inline constexpr std::size_t kNotificationSlotCount = 12;
std::array<NotificationRegistration, kNotificationSlotCount> NotificationRegistrations(
    CDeviceStatus& status, const MessageNotificationHandlers& messages);

// Registers them all, then sets the parser-start event: from then on every
// received byte is parsed.
void RegisterNotificationHandlers(CAtDispatcher& dispatcher, CDeviceStatus& status,
                                  const MessageNotificationHandlers& messages = {});

}  // namespace evdo
