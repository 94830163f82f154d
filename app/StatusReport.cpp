#include "app/StatusReport.h"

#include "core/text/JsonWriter.h"
#include "device/status/PinStatus.h"

namespace evdo {
namespace {

constexpr int kSignalNoneLevel = 6;
constexpr int kHighestRoamingShown = 8;  // the roaming indicator's last picture

const char* ConnectionTypeName(int type) {
  switch (type) {
    case 0: return "wlan";
    case 1: return "3g";
    case 2: return "1x";
    default: return nullptr;
  }
}

const char* ConnectionStateName(ReportConnection c) {
  switch (c) {
    case ReportConnection::Idle: return "idle";
    case ReportConnection::Connecting: return "connecting";
    case ReportConnection::Connected: return "connected";
    case ReportConnection::None: break;
  }
  return "unavailable";
}

}  // namespace

const char* CardStateName(int simState) {
  switch (simState) {
    case kSimStateReady: return "ready";
    case kSimStatePinRequired: return "pin-required";
    case kSimStatePukRequired: return "puk-required";
    case kSimStateDestroyed: return "destroyed";
    case kSimStateNoService: return "no-service";
    case kSimStateUnusable: return "unusable";
    case kSimStateResumed: return "resuming";
    default: return "unknown";
  }
}

const char* ServiceName(int serviceStatus) {
  switch (serviceStatus) {
    case 0: return "none";
    case 1: return "limited";
    case 2: return "full";
    default: return "unknown";
  }
}

const char* NetworkTypeName(int networkType) {
  switch (networkType) {
    case 0: return "none";
    case 1: return "1x";
    case 2: return "evdo";
    default: return "unknown";
  }
}

std::string StatusJson(const DashboardStatus& s) {
  JsonObjectWriter card;
  card.String("state", CardStateName(s.simState)).Number("code", s.simState);

  JsonObjectWriter signal;
  if (s.signalLevel >= 0 && s.signalLevel < kSignalNoneLevel) signal.Number("bars", s.signalLevel);
  else signal.Null("bars");
  signal.Bool("present", s.signalLevel >= 0 && s.signalLevel < kSignalNoneLevel);

  JsonObjectWriter connection;
  connection.String("state", ConnectionStateName(s.connection));
  if (const char* type = ConnectionTypeName(s.connectionType); type != nullptr && s.connection != ReportConnection::Idle &&
                                                               s.connection != ReportConnection::None)
    connection.String("type", type);
  else
    connection.Null("type");
  const bool up = s.connection == ReportConnection::Connected;
  connection.Number("duration_s", up ? s.durationMs / 1000 : 0)
      .Unsigned("bytes_sent", up ? s.bytesSent : 0)
      .Unsigned("bytes_received", up ? s.bytesReceived : 0)
      .Number("send_bps", up ? s.sendBitsPerSecond : 0)
      .Number("receive_bps", up ? s.receiveBitsPerSecond : 0);

  JsonObjectWriter out;
  out.Bool("device_ready", s.deviceReady).Object("card", card).Object("signal", signal);
  out.String("network_type", NetworkTypeName(s.networkType));
  out.Bool("roaming", s.roaming >= 1 && s.roaming <= kHighestRoamingShown);
  if (s.operatorName.empty()) out.Null("operator");
  else out.String("operator", s.operatorName);
  out.String("service", ServiceName(s.serviceStatus)).Object("connection", connection);
  if (s.unreadMessages >= 0) out.Number("unread_messages", s.unreadMessages);
  else out.Null("unread_messages");
  return out.Text();
}

}  // namespace evdo
