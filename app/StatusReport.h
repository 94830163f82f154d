#pragma once
// What "evdo-dashboard --status" prints: the running dashboard's card,
// network and connection state as one JSON object on one line.
#include <cstdint>
#include <string>

namespace evdo {

// Connection states of the report (the Internet page's states folded).
enum class ReportConnection { None, Idle, Connecting, Connected };

struct DashboardStatus {
  // The main window has run its device initialisation.
  bool deviceReady = false;
  // The card's SIM state (PinStatus.h), kSimStateUnset when not known.
  int simState = -1;
  // The last signal level, 0..5 bars, 6 no signal; -1 not reported yet.
  int signalLevel = -1;
  // The last network type shown: 0 none, 1 "1X", 2 EVDO; -1 not reported.
  int networkType = -1;
  // The modem's roaming value.
  int roaming = 0;
  // The operator's name in UTF-8; empty while none is shown.
  std::string operatorName;
  // The modem's "Srv status" value.
  int serviceStatus = 2;
  ReportConnection connection = ReportConnection::None;
  // The type connected or being connected: the Internet page's kConnType*
  // number, -1 none.
  int connectionType = -1;
  std::int64_t durationMs = 0;
  std::uint64_t bytesSent = 0;
  std::uint64_t bytesReceived = 0;
  std::int64_t sendBitsPerSecond = 0;
  std::int64_t receiveBitsPerSecond = 0;
  // Unread messages in the inbox; -1 without a message store.
  int unreadMessages = -1;
};

// The words the report uses for the numbers above.
const char* CardStateName(int simState);
const char* ServiceName(int serviceStatus);
const char* NetworkTypeName(int networkType);

// The report as one line of JSON.
std::string StatusJson(const DashboardStatus& status);

}  // namespace evdo
