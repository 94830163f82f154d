// The About window's device texts read from the simulated modem: the real
// serial port on its pseudo-terminal, the dispatcher's threads, and the
// manual clock for the guard timer.
#include <gtest/gtest.h>

#include <string>

#include "app/DeviceInfoQuery.h"
#include "core/event/ManualEventLoop.h"
#include "tests/support/LinkFixture.h"

namespace evdo {
namespace {

class DeviceInfoQueryTest : public test::LinkFixture {
protected:
  bool Run(std::uint64_t limitMs = 30000) {
    bool done = false;
    query_.Start([&] { done = true; });
    return loop_.AdvanceUntil([&] { return done; }, limitMs, 10, 2);
  }

  ManualEventLoop loop_;
  struct Route : WindowHandler {
    WindowHandler* to = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { to->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { to->OnTimer(id); }
  } route_;
  ManualEventLoop::Window& window_ = loop_.CreateWindow(route_);
  CDeviceInfoQuery query_{exchange_, window_};
  bool routed_ = [this] {
    route_.to = &query_;
    return true;
  }();
};

TEST_F(DeviceInfoQueryTest, FourteenDigitIdentityGainsItsCheckDigitAndFirmwareIsRead) {
  Control("identity serial 49015420323751");
  Control("identity revision V1.2.3 build 45");
  ASSERT_TRUE(Run());
  EXPECT_EQ(query_.Identity(), "490154203237518");
  EXPECT_EQ(query_.Firmware(), "V1.2.3 build 45");
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
}

TEST_F(DeviceInfoQueryTest, AnIdentityInAnotherFormIsShownAsGiven) {
  ASSERT_TRUE(Run());
  EXPECT_EQ(query_.Identity(), "0x80A1B2C3");
  EXPECT_EQ(query_.Firmware(), "SIM.1.0.0");
}

TEST_F(DeviceInfoQueryTest, SilentModemLeavesTheTextsEmptyAndThePortReady) {
  Control("fault silent 2");
  std::uint64_t start = loop_.Now();
  ASSERT_TRUE(Run());
  EXPECT_GE(loop_.Now() - start, 2 * CDeviceInfoQuery::kAnswerWaitMs);
  EXPECT_EQ(query_.Identity(), "");
  EXPECT_EQ(query_.Firmware(), "");
  EXPECT_EQ(port_.GetState(), CSerialPort::Ready);
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
}

TEST_F(DeviceInfoQueryTest, BusyPortIsRetriedUntilItIsFree) {
  port_.SetState(CSerialPort::Busy);  // another command outstanding
  bool done = false;
  query_.Start([&] { done = true; });
  loop_.Advance(2 * CDeviceInfoQuery::kRetryMs);
  EXPECT_FALSE(done);
  port_.SetState(CSerialPort::Ready);
  ASSERT_TRUE(loop_.AdvanceUntil([&] { return done; }, 30000, 10, 2));
  EXPECT_EQ(query_.Firmware(), "SIM.1.0.0");
}

// Suspend while the identity is asked for: the query stops, its give-up
// never comes, and the closed port stays Closed.
TEST_F(DeviceInfoQueryTest, StopEndsTheQueryWithoutTouchingTheClosedPort) {
  Control("fault silent 2");
  bool done = false;
  query_.Start([&] { done = true; });
  ASSERT_TRUE(query_.IsRunning());
  query_.Stop();
  port_.Close();
  EXPECT_FALSE(query_.IsRunning());
  EXPECT_FALSE(dispatcher_.HasHandler(kCommandSlot));
  loop_.AdvanceUntil([] { return false; }, 4 * CDeviceInfoQuery::kAnswerWaitMs, 10, 2);
  EXPECT_FALSE(done);
  EXPECT_EQ(port_.GetState(), CSerialPort::Closed);
}

TEST_F(DeviceInfoQueryTest, ErrorAnswerGivesNoText) {
  Control("identity serial 49015420323751");
  // A query with arguments is refused by the modem; here the refusal is an
  // answer the query must not take as the identity.
  modem_.WithEngine([](modemsim::ModemEngine& engine) {
    engine.Commands().Add("AT+GSN", [](modemsim::ModemEngine&, std::string_view, modemsim::ModemReply& r) {
      r.Error();
    });
  });
  ASSERT_TRUE(Run());
  EXPECT_EQ(query_.Identity(), "");
  EXPECT_EQ(query_.Firmware(), "SIM.1.0.0");
}

}  // namespace
}  // namespace evdo
