// The notification handlers in the dispatcher: which slots, in which order,
// and what arrives at the window when the modem's lines are parsed (the
// parser's work is run on the test thread).
#include <gtest/gtest.h>

#include <string_view>
#include <vector>

#include "platform/PosixSerialDevice.h"
#include "device/AtDispatcher.h"
#include "device/SerialPort.h"
#include "device/status/NotificationHandlers.h"
#include "tests/device/status/StatusTestSupport.h"

namespace evdo {
namespace {

void Noop(void*, const LineCell*, std::uint16_t) {}

class NotificationRegistrationTest : public ::testing::Test {
protected:
  NotificationRegistrationTest() : window_(loop_.CreateWindow(recorder_)) {
    status_.AttachWindow(window_);
  }

  void Feed(std::string_view bytes) {
    dispatcher_.ProcessBytes(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
    loop_.RunPending();
  }

  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  ManualEventLoop loop_;
  test::StatusRecorder recorder_;
  ManualEventLoop::Window& window_;
  CDeviceStatus status_;
};

TEST_F(NotificationRegistrationTest, RegistersTheSlotsInOrderThenStartsTheParser) {
  std::vector<int> order;
  for (const auto& r : NotificationRegistrations(status_, {})) order.push_back(r.slot);
  EXPECT_EQ(order, (std::vector<int>{3, 1, 2, 5, 6, 9, 10, 11, 13, 14, 15, 16}));

  EXPECT_FALSE(dispatcher_.ParserStartEvent().IsSet());
  RegisterNotificationHandlers(dispatcher_, status_);
  EXPECT_TRUE(dispatcher_.ParserStartEvent().IsSet());
  for (int slot = 0; slot < kSlotCount; ++slot) {
    bool expected = slot == 3 || slot == 5 || slot == 6 || slot == 9 || slot == 10 || slot == 11 ||
                    slot == 13 || slot == 14 || slot == 15;
    EXPECT_EQ(dispatcher_.HasHandler(slot), expected) << "slot " << slot;
  }
}

TEST_F(NotificationRegistrationTest, MessageHandlersGoToSlotsOneTwoAndSixteen) {
  int context = 0;
  MessageNotificationHandlers messages{&Noop, &Noop, &Noop, &context};
  auto list = NotificationRegistrations(status_, messages);
  EXPECT_EQ(list[1].slot, 1);
  EXPECT_EQ(list[1].context, &context);
  RegisterNotificationHandlers(dispatcher_, status_, messages);
  EXPECT_TRUE(dispatcher_.HasHandler(1));
  EXPECT_TRUE(dispatcher_.HasHandler(2));
  EXPECT_TRUE(dispatcher_.HasHandler(16));
}

TEST_F(NotificationRegistrationTest, ParsedStatusLinesReachTheWindow) {
  RegisterNotificationHandlers(dispatcher_, status_);
  Feed("\r\n+RSSI: 3\r\n");
  Feed("\r\nNetwork Service: 2\r\n");
  Feed("\r\nCurrent PLMN: \"CTC\"\r\n");
  Feed("\r\nRoaming status: 1\r\n\r\nSrv status: 1\r\n\r\nNetwork status: 1,0\r\n");
  Feed("\r\nNO CARRIER\r\n");
  Feed("\r\n+CSMSS:4\r\n\r\nSIM_READY: 1\r\n");
  EXPECT_EQ(recorder_.statuses,
            (test::Statuses{{0, 3}, {8, 2}, {5, 1}, {2, 1}, {6, 1}, {1, 1}}));
  EXPECT_EQ(status_.OperatorText(), "CTC");
  EXPECT_EQ(status_.csmssValue.load(), 4);
  EXPECT_TRUE(status_.csmssReply.Wait(0));
  EXPECT_TRUE(status_.simReady.Wait(0));
}

}  // namespace
}  // namespace evdo
