// The Internet page's connection logic on the manual clock: the dial's
// events and texts, the statistics tick, hang-up, drops, time-outs,
// cancelling, the automatic connection and the hand-offs to the statistics.
#include <gtest/gtest.h>

#include "internet/DialTexts.h"
#include "tests/internet/DialFakes.h"

namespace evdo {
namespace {

using test::PageRig;

std::string T(int id) { return "<" + std::to_string(id) + ">"; }

void ConnectUp(PageRig& r, int type = kConnType3G) {
  r.logic.Connect(type);
  r.loop.RunPending();
  ASSERT_FALSE(r.dial.dials.empty());
  r.dial.Progress();
  r.dial.Event(kDialConnected);
  r.loop.RunPending();
}

TEST(DialTexts, DurationBytesAndMinutes) {
  const std::uint32_t ms = ((1 * 24 + 2) * 60 + 3) * 60000u + 4000u;
  EXPECT_EQ(DurationText(ms, ms), "01:02:03: 4");
  EXPECT_EQ(DurationText(3723000, 3723000), "01:02:03");
  EXPECT_EQ(KilobyteText(1048576), "1024.00KB");
  EXPECT_EQ(GroupedBytes(1048576), "1,048,576");
  EXPECT_EQ(GroupedBytes(999), "999");
  EXPECT_EQ(GroupedBytes(1000), "1,000");
  EXPECT_EQ(GroupedBytes(0), "0");
  EXPECT_EQ(MinutesOfDuration("00:45:10"), 45);
  EXPECT_EQ(MinutesOfDuration("01:00:45:10"), 1485);
  EXPECT_EQ(MinutesOfDuration("01:00:45: 9"), 1485);
  EXPECT_EQ(MinutesOfDuration(""), 0);
  EXPECT_EQ(MinutesOfDuration("ab:cd:ef"), 0);
  EXPECT_EQ(TickRate(100, 200), 0u);
  EXPECT_EQ(TickRate(200, 100), 800u);
  EXPECT_EQ(ActivityOf(0, 0), 0);
  EXPECT_EQ(ActivityOf(1, 1), 1);
  EXPECT_EQ(ActivityOf(1, 0), 2);
  EXPECT_EQ(ActivityOf(0, 1), 3);
}

TEST(InternetConnection, Connect3GSetsPreferenceThenDialsAndFollowsTheEvents) {
  PageRig r;
  r.logic.Connect(kConnType3G);
  EXPECT_EQ(r.logic.State(), kState3GConnecting);
  EXPECT_EQ(r.preference.sent, std::vector<int>{kPreference3G});
  EXPECT_TRUE(r.dial.dials.empty());  // waits for the preference's answer
  r.loop.RunPending();
  ASSERT_EQ(r.dial.dials.size(), 1u);
  EXPECT_EQ(r.dial.dials[0].phoneNumber, "#777");
  EXPECT_EQ(r.dial.dials[0].password, "s3cret-pw");
  EXPECT_EQ(r.dial.dials[0].dataPort, "/dev/ttyUSB0");
  EXPECT_EQ(r.view.editedChecks, 1);
  EXPECT_TRUE(r.loop.IsTimerArmed(r.window, kTimerDialTimeout));

  const std::pair<std::uint32_t, int> steps[] = {{kDialOpenPort, 415},         {kDialPortOpened, 416},
                                                 {kDialConnectDevice, 332},    {kDialDeviceConnected, 333},
                                                 {kDialAuthenticate, 334},     {kDialAuthenticated, 335}};
  int phase = 0;
  for (auto [state, text] : steps) {
    r.dial.Event(state);
    r.loop.RunPending();
    EXPECT_EQ(r.view.LastStatus(), "3G:" + T(text));
    EXPECT_EQ(r.logic.Phase(), phase++);
  }
  r.dial.Event(kDialConnected);
  r.loop.RunPending();
  EXPECT_EQ(r.view.LastStatus(), T(336));  // no prefix
  EXPECT_EQ(r.logic.State(), kState3GConnected);
  EXPECT_TRUE(r.logic.IsConnectionUp());
  EXPECT_EQ(r.view.rate, "3.1Mbps");
  EXPECT_EQ(r.view.appearances.back(), Appearance::Connected);
  EXPECT_TRUE(r.loop.IsTimerArmed(r.window, kTimerStatistics));
  EXPECT_FALSE(r.loop.IsTimerArmed(r.window, kTimerDialTimeout));
  EXPECT_FALSE(r.loop.IsTimerArmed(r.window, kTimerConnecting));
}

TEST(InternetConnection, OneXPrefixAndRate) {
  PageRig r;
  r.logic.Connect(kConnType1X);
  r.loop.RunPending();
  EXPECT_EQ(r.preference.sent, std::vector<int>{kPreference1X});
  r.dial.Event(kDialOpenPort);
  r.loop.RunPending();
  EXPECT_EQ(r.view.LastStatus(), "1X:" + T(415));
  r.dial.Event(kDialConnected);
  r.loop.RunPending();
  EXPECT_EQ(r.logic.State(), kState1XConnected);
  EXPECT_EQ(r.view.rate, "153.6Kbps");
}

TEST(InternetConnection, PreferenceWithoutAnswerGivesUpAfterEightSecondsAndDials) {
  PageRig r;
  r.preference.answer = false;
  r.logic.Connect(kConnType3G);
  r.loop.Advance(kPreferenceTimeoutMs - 10);
  EXPECT_TRUE(r.dial.dials.empty());
  r.loop.Advance(20);
  EXPECT_EQ(r.preference.givenUp, 1);
  EXPECT_EQ(r.dial.dials.size(), 1u);
}

TEST(InternetConnection, StatisticsTickTextsIndicatorsAndRates) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {1048576, 2048, 460800, 1000};
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.sentKB, "1024.00KB");
  EXPECT_EQ(r.view.sentBytes, "1,048,576");
  EXPECT_EQ(r.view.receivedKB, "2.00KB");
  EXPECT_EQ(r.view.indicators[kLinkIndicatorConnected], 1);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorSentKB], 1024);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorReceivedKB], 2);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorSendRate], 1048576 * 8);
  // The counter did not grow: rate 0, never negative.
  r.dial.sample = {1048576, 4096, 460800, 2000};
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorSendRate], 0);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorReceiveRate], 2048 * 8);
  // A counter that went back (a new interface) gives 0 as well.
  r.dial.sample = {10, 10, 460800, 3000};
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorSendRate], 0);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorReceiveRate], 0);
  EXPECT_EQ(r.view.duration, "00:00:03");
}

// The dial's counters are 32-bit: past 4 GiB they wrap, and the texts, the
// totals and the log must not start again from a few bytes.
TEST(InternetConnection, ConnectionPastFourGibibytes) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {4000u << 20, 0xFFFFF000u, 1, 1000};
  r.loop.Advance(kStatisticsMs);
  r.dial.sample = {100u << 20, 0x1000u, 1, 2000};  // both wrapped
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.sentKB, "4296704.00KB");  // 4196 MiB
  EXPECT_EQ(r.view.receivedBytes, "4,294,971,392");
  EXPECT_EQ(r.view.indicators[kLinkIndicatorReceivedKB], 4194308);
  r.logic.Disconnect(kConnType3G);
  ASSERT_EQ(r.records.totals.size(), 1u);
  EXPECT_EQ(r.records.totals[0].sent, 4196 * 1024);
  EXPECT_EQ(r.records.totals[0].received, 4194308);
  ASSERT_EQ(r.records.logs.size(), 1u);
  EXPECT_EQ(r.records.logs[0].received, UINT32_MAX);  // the log's 32-bit count stops at its largest
  EXPECT_EQ(r.records.logs[0].sent, UINT32_MAX);
  EXPECT_EQ(FollowCounter(5, 10, 3), 8u);  // went back: a new counter from 0
}

TEST(InternetConnection, LimitWarningIsShown) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {1, 1, 1, 1000};
  r.records.limit = 405;
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.limitWarnings, std::vector<int>{405});
}

TEST(InternetConnection, DisconnectHandsTheConnectionToTheStatisticsOnce) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {4096 * 10, 4096 * 20, 1, 45 * 60000 + 10000};
  r.loop.Advance(kStatisticsMs);
  r.dial.sample = {4096 * 10, 4096 * 20, 1, 45 * 60000 + 11000};
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.view.duration, "00:45:11");
  const std::uint32_t session = r.logic.Session();
  r.logic.Disconnect(kConnType3G);
  EXPECT_EQ(r.dial.hangUps, std::vector<std::uint32_t>{session});
  EXPECT_EQ(r.logic.State(), kStateIdle);
  ASSERT_EQ(r.records.totals.size(), 1u);
  EXPECT_EQ(r.records.totals[0].sent, 40);
  EXPECT_EQ(r.records.totals[0].received, 80);
  EXPECT_EQ(r.records.totals[0].minutes, 45);
  ASSERT_EQ(r.records.logs.size(), 1u);
  EXPECT_EQ(r.records.logs[0].sent, 40960u);
  EXPECT_EQ(r.records.logs[0].received, 81920u);
  EXPECT_EQ(r.records.logs[0].duration, 45 * 60 + 11);
  EXPECT_EQ(r.view.indicators[kLinkIndicatorConnected], 0);
  EXPECT_FALSE(r.loop.IsTimerArmed(r.window, kTimerStatistics));
  // The service's late disconnected event of that session changes nothing.
  r.dial.session = session;
  r.dial.Event(kDialDisconnected, 5);
  r.loop.RunPending();
  EXPECT_EQ(r.records.logs.size(), 1u);
  EXPECT_TRUE(r.view.messages.empty());
}

TEST(InternetConnection, DropMidConnectionIsLoggedAndEndsIdle) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {100, 200, 1, 5000};
  r.loop.Advance(kStatisticsMs);
  r.dial.Event(kDialDisconnected, 16);  // the modem hung up
  r.loop.RunPending();
  EXPECT_EQ(r.logic.State(), kStateIdle);
  EXPECT_FALSE(r.logic.Connected());
  EXPECT_EQ(r.records.logs.size(), 1u);
  EXPECT_EQ(r.records.totals.size(), 1u);
  EXPECT_EQ(r.view.LastStatus(), T(337));
  EXPECT_EQ(r.view.appearances.back(), Appearance::Idle);
  EXPECT_FALSE(r.loop.IsTimerArmed(r.window, kTimerStatistics));
}

TEST(InternetConnection, DropFoundByTheTick) {
  PageRig r;
  ConnectUp(r);
  r.dial.sample = {100, 200, 1, 5000};
  r.loop.Advance(kStatisticsMs);
  r.dial.status = 0;  // the session is gone without an event
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.logic.State(), kStateIdle);
  EXPECT_EQ(r.records.logs.size(), 1u);
  EXPECT_EQ(r.logic.Session(), 0u);
}

TEST(InternetConnection, DialTimeoutTextDependsOnThePhase) {
  const std::pair<std::uint32_t, std::string> cases[] = {{kDialOpenPort, T(417)},
                                                         {kDialConnectDevice, T(418)},
                                                         {kDialAuthenticate, T(414)},
                                                         {kDialDeviceConnected, "Connect Error!"}};
  for (const auto& [state, text] : cases) {
    PageRig r;
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    if (state != kDialOpenPort) r.dial.Event(kDialOpenPort);
    r.dial.Event(state);
    r.loop.RunPending();
    const std::uint32_t session = r.logic.Session();
    r.loop.Advance(kDialTimeoutMs - 100);
    EXPECT_EQ(r.logic.State(), kState3GConnecting);
    r.loop.Advance(200);
    EXPECT_EQ(r.view.LastStatus(), text) << state;
    EXPECT_EQ(r.logic.State(), kStateIdle);
    EXPECT_EQ(r.dial.hangUps, std::vector<std::uint32_t>{session});
    EXPECT_TRUE(r.records.logs.empty());
  }
}

TEST(InternetConnection, CancelInEachPhaseHangsUpAndLateEventsAreIgnored) {
  for (std::uint32_t state : {kDialOpenPort, kDialPortOpened, kDialConnectDevice, kDialDeviceConnected,
                              kDialAuthenticate, kDialAuthenticated}) {
    PageRig r;
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    r.dial.Event(state);
    r.loop.RunPending();
    const std::uint32_t session = r.logic.Session();
    r.logic.OnCommand(kCmdCancel);
    EXPECT_EQ(r.logic.State(), kStateIdle);
    EXPECT_EQ(r.dial.hangUps, std::vector<std::uint32_t>{session});
    EXPECT_EQ(r.view.appearances.back(), Appearance::Idle);
    r.dial.Event(kDialConnected);
    r.loop.RunPending();
    EXPECT_EQ(r.logic.State(), kStateIdle) << state;
    r.loop.Advance(kDialTimeoutMs * 2);
    EXPECT_EQ(r.logic.State(), kStateIdle);
  }
  // Before the preference answered: no dial follows.
  PageRig r;
  r.preference.answer = false;
  r.logic.Connect(kConnType1X);
  r.logic.Cancel();
  r.loop.Advance(kPreferenceTimeoutMs + 100);
  EXPECT_TRUE(r.dial.dials.empty());
}

TEST(InternetConnection, DialRefusalsReturnToIdle) {
  {
    PageRig r;
    r.view.simState = 20;
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{T(350)});
    EXPECT_EQ(r.logic.State(), kStateIdle);
    EXPECT_TRUE(r.dial.dials.empty());
  }
  {
    PageRig r;
    r.dial.preflight = 2103;  // not in dip
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{T(2103)});
    EXPECT_EQ(r.logic.State(), kStateIdle);
    EXPECT_EQ(r.view.appearances.back(), Appearance::Idle);
  }
  {
    PageRig r;
    r.dial.dialError = 99;  // no text of its own: string 306 with the number
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    EXPECT_EQ(r.view.messages, std::vector<std::string>{T(306)});
    EXPECT_EQ(r.logic.State(), kStateIdle);
  }
  {
    PageRig r;
    r.view.hasProfile = false;
    r.logic.Connect(kConnType3G);
    r.loop.RunPending();
    EXPECT_EQ(r.logic.State(), kStateIdle);
  }
}

TEST(InternetConnection, FailedDialShowsTheServicesReason) {
  PageRig r;
  r.logic.Connect(kConnType3G);
  r.loop.RunPending();
  r.dial.Event(kDialConnectDevice);
  r.dial.Event(kDialDisconnected, 8);
  r.loop.RunPending();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{T(2118)});
  EXPECT_EQ(r.view.LastStatus(), T(418));
  EXPECT_EQ(r.logic.State(), kStateIdle);
  EXPECT_TRUE(r.records.logs.empty());
}

TEST(InternetConnection, Connect3GWhile1XIsUpHangsUp1XFirst) {
  PageRig r;
  ConnectUp(r, kConnType1X);
  const std::uint32_t first = r.logic.Session();
  r.logic.Connect(kConnType3G);
  EXPECT_EQ(r.dial.hangUps, std::vector<std::uint32_t>{first});
  EXPECT_EQ(r.preference.sent, (std::vector<int>{kPreference1X, kPreference3G}));
  r.loop.RunPending();
  EXPECT_EQ(r.dial.dials.size(), 2u);
  EXPECT_EQ(r.logic.State(), kState3GConnecting);
}

TEST(InternetConnection, Disconnect1XRestoresThe3GPreference) {
  PageRig r;
  ConnectUp(r, kConnType1X);
  r.logic.Disconnect(kConnType3G);  // not the connected type: nothing
  EXPECT_EQ(r.logic.State(), kState1XConnected);
  r.logic.Disconnect(kConnType1X);
  EXPECT_EQ(r.preference.sent.back(), kPreference3G);
  EXPECT_EQ(r.logic.State(), kStateIdle);
}

TEST(InternetConnection, CardNoLongerReadyHangsUpAtTheNextTick) {
  PageRig r;
  ConnectUp(r);
  r.view.simState = 13;
  r.loop.Advance(kStatisticsMs);
  EXPECT_EQ(r.dial.hangUps.size(), 1u);
  EXPECT_EQ(r.logic.State(), kStateIdle);
  EXPECT_EQ(r.records.logs.size(), 1u);
}

TEST(InternetConnection, AutomaticSequenceTriesThreeTypesThenAdvises) {
  PageRig r;
  const std::int32_t order[3] = {kConnType3G, kConnTypeWlan, kConnType1X};
  r.logic.SetAutoOrder(order);
  r.logic.StartAutoConnect();
  EXPECT_TRUE(r.logic.AutoActive());
  r.loop.Advance(kAutoSequenceMs);
  ASSERT_EQ(r.dial.dials.size(), 1u);  // 3G first
  EXPECT_EQ(r.logic.State(), kState3GConnecting);
  r.dial.Event(kDialOpenPort);
  r.dial.Event(kDialDisconnected, 8);
  r.loop.Advance(kAutoSequenceMs);
  EXPECT_TRUE(r.view.messages.empty());  // no boxes while the sequence runs
  EXPECT_EQ(r.logic.AttemptIndex(), 1);
  EXPECT_EQ(r.wlan.connects, 1);  // then the wireless LAN, quietly
  EXPECT_TRUE(r.wlan.quiet.back());
  r.wlan.Answer(false);
  r.loop.Advance(kAutoSequenceMs);
  EXPECT_EQ(r.logic.AttemptIndex(), 2);
  EXPECT_EQ(r.dial.dials.size(), 2u);  // then 1X
  EXPECT_EQ(r.preference.sent.back(), kPreference1X);
  r.loop.Advance(kDialTimeoutMs);  // times out
  r.loop.Advance(kAutoSequenceMs * 2);
  EXPECT_FALSE(r.logic.AutoActive());
  EXPECT_EQ(r.logic.AttemptIndex(), -1);
  EXPECT_EQ(r.view.messages, std::vector<std::string>{T(2100)});
  EXPECT_EQ(r.logic.State(), kStateIdle);
  EXPECT_EQ(r.view.appearances.back(), Appearance::Idle);
}

TEST(InternetConnection, AutomaticSequenceStopsAtTheFirstConnection) {
  PageRig r;
  r.logic.StartAutoConnect();  // default order: WLAN, 3G, 1X
  r.loop.Advance(kAutoSequenceMs);
  r.wlan.Answer(false);
  r.loop.Advance(kAutoSequenceMs);
  ASSERT_EQ(r.dial.dials.size(), 1u);
  r.dial.Progress();
  r.dial.Event(kDialConnected);
  r.loop.Advance(kAutoSequenceMs);
  EXPECT_FALSE(r.logic.AutoActive());
  EXPECT_EQ(r.logic.State(), kState3GConnected);
  EXPECT_EQ(r.view.appearances.back(), Appearance::Connected);
  r.loop.Advance(kAutoSequenceMs * 10);
  EXPECT_EQ(r.dial.dials.size(), 1u);
  // Asked again while connected: the already-connected message.
  r.logic.StartAutoConnect();
  EXPECT_EQ(r.view.messages.back(), kAlreadyOnlineText);
}

TEST(InternetConnection, WirelessLanConnectAndStartAction) {
  PageRig r;
  r.logic.Connect(kConnTypeWlan);
  EXPECT_EQ(r.logic.State(), kStateWlanConnecting);
  EXPECT_FALSE(r.wlan.quiet.back());
  r.wlan.Answer(true);
  r.loop.RunPending();
  EXPECT_EQ(r.logic.State(), kStateWlanConnected);
  r.logic.Disconnect(kConnTypeWlan);
  EXPECT_EQ(r.wlan.disconnects, 1);
  EXPECT_EQ(r.logic.State(), kStateIdle);
  // Failures name their reason when the user asked (not in the sequence).
  r.logic.Connect(kConnTypeWlan);
  r.wlan.Answer(false);
  r.loop.RunPending();
  EXPECT_EQ(r.view.messages, std::vector<std::string>{T(kStrIdWlanConnectFailed)});
  r.logic.Connect(kConnTypeWlan);
  r.wlan.window->PostMessage(kMsgWlanDone, kStrIdWlanNoDevice);
  r.loop.RunPending();
  EXPECT_EQ(r.view.messages.back(), T(kStrIdWlanNoDevice));
  EXPECT_EQ(r.logic.State(), kStateIdle);

  PageRig s;
  s.wlan.connected = true;
  s.logic.StartAction(false);
  EXPECT_EQ(s.logic.State(), kStateWlanConnected);
  PageRig t;
  t.logic.StartAction(true);
  EXPECT_TRUE(t.logic.AutoActive());
}

}  // namespace
}  // namespace evdo
