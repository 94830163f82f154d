#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "device/status/StatusAnswers.h"
#include "tests/device/status/StatusTestSupport.h"

namespace evdo {
namespace {

using test::Statuses;
using test::TestBlock;

class StatusHandlersTest : public ::testing::Test {
protected:
  StatusHandlersTest() : window_(loop_.CreateWindow(recorder_)) { status_.AttachWindow(window_); }

  Statuses Posted() {
    loop_.RunPending();
    Statuses s = recorder_.statuses;
    recorder_.statuses.clear();
    return s;
  }

  ManualEventLoop loop_;
  test::StatusRecorder recorder_;
  ManualEventLoop::Window& window_;
  CDeviceStatus status_;
};

TEST_F(StatusHandlersTest, ServiceAnswerSetsSimStateAndPinLockFromLineZeroOnly) {
  ApplyServiceAnswer(status_, TestBlock{"+CAD: 1", "OK"}.Lines());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOff);
  ApplyServiceAnswer(status_, TestBlock{"+CPIN: SIM PIN", "OK"}.Lines());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStatePinRequired);
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOn);
  // PUK keeps the lock as it was; an answer without a hit keeps the state.
  ApplyServiceAnswer(status_, TestBlock{"SIM PUK", "OK"}.Lines());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStatePukRequired);
  EXPECT_EQ(status_.Pin().pinLock.load(), kPinLockOn);
  ApplyServiceAnswer(status_, TestBlock{"OK"}.Lines());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStatePukRequired);
  // The final line plays no part: an error with the code 10 reads as ready.
  ApplyServiceAnswer(status_, TestBlock{"+CME ERROR: 10"}.Lines());
  EXPECT_EQ(status_.Pin().simState.load(), kSimStateReady);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(StatusHandlersTest, SignalAnswerPostsLevelThenOperatorShown) {
  ApplySignalAnswer(status_, TestBlock{"20, 99", "OK"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 3}, {5, 1}}));
  ApplySignalAnswer(status_, TestBlock{"99, 99", "OK"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 6}, {5, 0}}));
  ApplySignalAnswer(status_, TestBlock{"31, 99", "OK"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 5}, {5, 1}}));
  ApplySignalAnswer(status_, TestBlock{"123456, 99", "OK"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 6}, {5, 0}}));
}

TEST_F(StatusHandlersTest, OperatorAnswerTakesTheQuotedNameOnlyAfterOk) {
  ApplyOperatorAnswer(status_, TestBlock{"-GMI: \"CTC\"", "OK"}.Lines());
  EXPECT_EQ(status_.OperatorText(), "CTC");
  EXPECT_EQ(Posted(), (Statuses{{5, 1}}));
  ApplyOperatorAnswer(status_, TestBlock{"-GMI: \"Other\"", "ERROR"}.Lines());
  EXPECT_EQ(status_.OperatorText(), "CTC");
  ApplyOperatorAnswer(status_, TestBlock{"-GMI: none", "OK"}.Lines());
  EXPECT_EQ(status_.OperatorText(), "");
  ApplyOperatorAnswer(status_, TestBlock{"-GMI: \"" + std::string(300, 'x') + "\"", "OK"}.Lines());
  EXPECT_EQ(status_.OperatorText(), std::string(127, 'x'));
  EXPECT_EQ(Posted().size(), 3u);
}

TEST_F(StatusHandlersTest, NetworkTypeAndRoamingAnswersStoreAndPost) {
  ApplyNetworkTypeAnswer(status_, TestBlock{"$NWRAT: 2,1", "OK"}.Lines());
  ApplyRoamingAnswer(status_, TestBlock{"$ROAM: 1", "OK"}.Lines());
  EXPECT_EQ(status_.networkStatus.load(), 2);
  EXPECT_EQ(status_.roaming.load(), 1);
  EXPECT_EQ(Posted(), (Statuses{{8, 2}, {2, 1}}));
  // Network types without a picture are stored but shown as none; the
  // roaming value goes to the window as the modem reported it (its table
  // has pictures up to 9).
  ApplyNetworkTypeAnswer(status_, TestBlock{"$NWRAT: 258,1", "OK"}.Lines());
  ApplyRoamingAnswer(status_, TestBlock{"$ROAM: 7", "OK"}.Lines());
  EXPECT_EQ(status_.networkStatus.load(), 258);
  EXPECT_EQ(status_.roaming.load(), 7);
  EXPECT_EQ(Posted(), (Statuses{{8, 0}, {2, 7}}));
  // Not answered OK, or not the expected line: nothing changes.
  ApplyNetworkTypeAnswer(status_, TestBlock{"$NWRAT: 1,1", "ERROR"}.Lines());
  ApplyRoamingAnswer(status_, TestBlock{"ROAM: 0", "OK"}.Lines());
  EXPECT_EQ(status_.networkStatus.load(), 258);
  EXPECT_EQ(status_.roaming.load(), 7);
  EXPECT_TRUE(Posted().empty());
}

TEST_F(StatusHandlersTest, CsmssAnswerNeedsOkAndItsPrefix) {
  ApplyCsmssAnswer(status_, TestBlock{"$CSMSS: 3", "OK"}.Lines());
  EXPECT_EQ(status_.csmssValue.load(), 3);
  ApplyCsmssAnswer(status_, TestBlock{"$CSMSS: 4", "ERROR"}.Lines());
  ApplyCsmssAnswer(status_, TestBlock{"OK"}.Lines());
  EXPECT_EQ(status_.csmssValue.load(), 3);
}

TEST_F(StatusHandlersTest, ServiceCentreIsStoredOnlyFromATwoLineAnswer) {
  ApplyServiceCentreAnswer(status_, TestBlock{"+CSCA: \"+8613800100500\",145", "OK"}.Lines());
  EXPECT_EQ(ServiceCentreText(), "+8613800100500");
  ApplyServiceCentreAnswer(status_, TestBlock{"+CSCA: \"+8613800100500\",145", "ERROR"}.Lines());
  EXPECT_EQ(ServiceCentreText(), "");
  ApplyServiceCentreAnswer(status_, TestBlock{"OK"}.Lines());
  EXPECT_EQ(ServiceCentreText(), "");
  ApplyServiceCentreAnswer(status_, TestBlock{"+CSCA: \"+8613800100500\",145", "x", "OK"}.Lines());
  EXPECT_EQ(ServiceCentreText(), "");
  ApplyServiceCentreAnswer(status_, TestBlock{"+CSCA: \"" + std::string(60, '9') + "\",145", "OK"}.Lines());
  EXPECT_EQ(ServiceCentreText(), std::string(40, '9'));
  SetServiceCentreText("");
}

TEST_F(StatusHandlersTest, RssiPostsOperatorShownOnlyWhenANameIsKnownOrThereIsNoSignal) {
  OnRssi(status_, TestBlock{"+RSSI: 3"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 3}}));
  status_.SetOperatorText("CTC");
  OnRssi(status_, TestBlock{"+RSSI: 4,0"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 4}, {5, 1}}));
  OnRssi(status_, TestBlock{"+RSSI: 6"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 6}, {5, 0}}));
  // Malformed fields read as no signal.
  OnRssi(status_, TestBlock{"+RSSI: 31415,2"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{0, 6}, {5, 0}}));
}

TEST_F(StatusHandlersTest, PlmnWithEmptyQuotesEmptiesTheOperatorAndStillPosts) {
  status_.SetOperatorText("CTC");
  OnCurrentPlmn(status_, TestBlock{"Current PLMN: \"\""}.Lines());
  EXPECT_EQ(status_.OperatorText(), "");
  EXPECT_EQ(Posted(), (Statuses{{5, 1}}));
  OnCurrentPlmn(status_, TestBlock{"Current PLMN: \"Demo Telecom\""}.Lines());
  EXPECT_EQ(status_.OperatorText(), "Demo Telecom");
}

TEST_F(StatusHandlersTest, RoamingNotificationPostsTheReportedValue) {
  for (int value : {0, 1, 2, 3, 8, 9, 12}) {
    OnRoamingStatus(status_, TestBlock{"Roaming status: " + std::to_string(value)}.Lines());
    EXPECT_EQ(status_.roaming.load(), value);
    EXPECT_EQ(Posted(), (Statuses{{2, value}}));
  }
}

TEST_F(StatusHandlersTest, NumberNotificationsStoreAndPostTheirKind) {
  OnNetworkStatus(status_, TestBlock{"Network status: 4,1"}.Lines());
  OnNetworkService(status_, TestBlock{"Network Service: 2"}.Lines());
  OnRoamingStatus(status_, TestBlock{"Roaming status: 1"}.Lines());
  OnSrvStatus(status_, TestBlock{"Srv status: 0"}.Lines());
  OnNetworkService(status_, TestBlock{"Network Service: 3"}.Lines());
  EXPECT_EQ(status_.networkStatus.load(), 4);
  EXPECT_EQ(status_.networkService.load(), 3);
  EXPECT_EQ(status_.roaming.load(), 1);
  EXPECT_EQ(status_.serviceStatus.load(), 0);
  EXPECT_EQ(Posted(), (Statuses{{1, 4}, {8, 2}, {2, 1}, {6, 0}, {8, 0}}));
}

TEST_F(StatusHandlersTest, EventNotificationsSetTheirEvents) {
  OnCsmss(status_, TestBlock{"+CSMSS:2"}.Lines());
  EXPECT_EQ(status_.csmssValue.load(), 2);
  EXPECT_TRUE(status_.csmssReply.Wait(0));
  OnSimReady(status_, TestBlock{"SIM_READY: 1"}.Lines());
  EXPECT_TRUE(status_.simReady.Wait(0));
}

// Every notification handler with a foreign line: nothing changes, nothing is
// posted, no event is set.
TEST_F(StatusHandlersTest, NotificationHandlersIgnoreForeignLines) {
  using Handler = void (*)(CDeviceStatus&, const BlockLines&);
  const Handler handlers[] = {OnRssi,          OnCsmss,    OnNetworkStatus, OnNetworkService,
                              OnRoamingStatus, OnSimReady, OnCurrentPlmn,   OnSrvStatus};
  status_.SetOperatorText("CTC");
  for (Handler h : handlers) {
    h(status_, TestBlock{"+CMTI: \"SM\",1"}.Lines());
    h(status_, TestBlock{}.Lines());
  }
  EXPECT_TRUE(Posted().empty());
  EXPECT_EQ(status_.OperatorText(), "CTC");
  EXPECT_EQ(status_.serviceStatus.load(), 2);
  EXPECT_FALSE(status_.csmssReply.Wait(0));
  EXPECT_FALSE(status_.simReady.Wait(0));
}

// A notification that arrives behind information lines is still read: its
// line is the last of the block.
TEST_F(StatusHandlersTest, NotificationBehindInformationLinesIsRead) {
  OnSrvStatus(status_, TestBlock{"+CPBR: 1,\"x\"", "Srv status: 1"}.Lines());
  EXPECT_EQ(Posted(), (Statuses{{6, 1}}));
}

TEST(BlockLines, CellsWithoutTerminatorEndAtTheCellAndMissingLinesAreEmpty) {
  TestBlock b{std::string(900, 'a'), "OK"};
  EXPECT_EQ(b.Lines().Line(0).size(), 800u);
  EXPECT_EQ(b.Lines().Line(1), "OK");
  EXPECT_EQ(b.Lines().Line(2), "");
  EXPECT_EQ(b.Lines().Last(), "OK");
  EXPECT_EQ(TestBlock{}.Lines().Last(), "");
}

}  // namespace
}  // namespace evdo
