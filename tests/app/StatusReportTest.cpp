// The status report of "--status": every field a script reads, with the
// words it uses for the modem's numbers, and no figures of a connection
// that is not up.
#include <gtest/gtest.h>

#include <nlohmann/json.hpp>

#include "app/StatusReport.h"
#include "device/status/PinStatus.h"

namespace evdo {
namespace {

TEST(StatusReport, BeforeTheDeviceAnsweredSaysUnknownAndNull) {
  nlohmann::json j = nlohmann::json::parse(StatusJson(DashboardStatus{}));
  EXPECT_FALSE(j["device_ready"].get<bool>());
  EXPECT_EQ(j["card"]["state"], "unknown");
  EXPECT_EQ(j["card"]["code"], -1);
  EXPECT_TRUE(j["signal"]["bars"].is_null());
  EXPECT_FALSE(j["signal"]["present"].get<bool>());
  EXPECT_EQ(j["network_type"], "unknown");
  EXPECT_TRUE(j["operator"].is_null());
  EXPECT_EQ(j["connection"]["state"], "unavailable");
  EXPECT_TRUE(j["unread_messages"].is_null());
}

TEST(StatusReport, AConnectedDashboardGivesAllItsFigures) {
  DashboardStatus s;
  s.deviceReady = true;
  s.simState = kSimStateReady;
  s.signalLevel = 4;
  s.networkType = 2;
  s.roaming = 1;
  s.operatorName = "中国电信 \"CT\"";
  s.serviceStatus = 1;
  s.connection = ReportConnection::Connected;
  s.connectionType = 1;
  s.durationMs = 125999;
  s.bytesSent = 5000000000ull;  // past the dial's 32-bit counters
  s.bytesReceived = 42;
  s.sendBitsPerSecond = 8000;
  s.receiveBitsPerSecond = 16000;
  s.unreadMessages = 3;
  const std::string text = StatusJson(s);
  EXPECT_EQ(text.find('\n'), std::string::npos) << "one line";
  nlohmann::json j = nlohmann::json::parse(text);
  EXPECT_EQ(j["card"]["state"], "ready");
  EXPECT_EQ(j["signal"]["bars"], 4);
  EXPECT_EQ(j["network_type"], "evdo");
  EXPECT_TRUE(j["roaming"].get<bool>());
  EXPECT_EQ(j["operator"], "中国电信 \"CT\"");
  EXPECT_EQ(j["service"], "limited");
  EXPECT_EQ(j["connection"]["state"], "connected");
  EXPECT_EQ(j["connection"]["type"], "3g");
  EXPECT_EQ(j["connection"]["duration_s"], 125);
  EXPECT_EQ(j["connection"]["bytes_sent"].get<std::uint64_t>(), 5000000000ull);
  EXPECT_EQ(j["connection"]["bytes_received"], 42);
  EXPECT_EQ(j["connection"]["send_bps"], 8000);
  EXPECT_EQ(j["connection"]["receive_bps"], 16000);
  EXPECT_EQ(j["unread_messages"], 3);
}

TEST(StatusReport, ConnectingAndIdleShowNoFigures) {
  DashboardStatus s;
  s.connection = ReportConnection::Connecting;
  s.connectionType = 0;
  s.durationMs = 9000;
  s.bytesSent = 7;
  s.sendBitsPerSecond = 100;
  nlohmann::json j = nlohmann::json::parse(StatusJson(s));
  EXPECT_EQ(j["connection"]["state"], "connecting");
  EXPECT_EQ(j["connection"]["type"], "wlan");
  EXPECT_EQ(j["connection"]["duration_s"], 0);
  EXPECT_EQ(j["connection"]["bytes_sent"], 0);
  EXPECT_EQ(j["connection"]["send_bps"], 0);
  s.connection = ReportConnection::Idle;
  j = nlohmann::json::parse(StatusJson(s));
  EXPECT_EQ(j["connection"]["state"], "idle");
  EXPECT_TRUE(j["connection"]["type"].is_null());
}

TEST(StatusReport, NamesEveryCardServiceAndNetworkValue) {
  EXPECT_STREQ(CardStateName(kSimStatePinRequired), "pin-required");
  EXPECT_STREQ(CardStateName(kSimStatePukRequired), "puk-required");
  EXPECT_STREQ(CardStateName(kSimStateDestroyed), "destroyed");
  EXPECT_STREQ(CardStateName(kSimStateNoService), "no-service");
  EXPECT_STREQ(CardStateName(kSimStateUnusable), "unusable");
  EXPECT_STREQ(CardStateName(99), "unknown");
  EXPECT_STREQ(ServiceName(0), "none");
  EXPECT_STREQ(ServiceName(2), "full");
  EXPECT_STREQ(ServiceName(7), "unknown");
  EXPECT_STREQ(NetworkTypeName(0), "none");
  EXPECT_STREQ(NetworkTypeName(1), "1x");
  // No signal (level 6) is no bars, not six.
  DashboardStatus s;
  s.signalLevel = 6;
  nlohmann::json j = nlohmann::json::parse(StatusJson(s));
  EXPECT_TRUE(j["signal"]["bars"].is_null());
  s.roaming = 9;  // the roaming indicator's blank value
  EXPECT_FALSE(nlohmann::json::parse(StatusJson(s))["roaming"].get<bool>());
}

}  // namespace
}  // namespace evdo
