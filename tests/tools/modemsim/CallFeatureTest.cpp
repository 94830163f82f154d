// The simulated modem's voice calls, on the engine with its timers driven by
// hand.
#include <gtest/gtest.h>

#include "tools/modemsim/CallFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {
namespace {

class Capture : public ModemOutput {
public:
  void Send(OutputChunk chunk) override { bytes += chunk.bytes; }
  std::string Take() { return std::exchange(bytes, std::string()); }
  std::string bytes;
};

class CallFeatureTest : public ::testing::Test {
protected:
  void SetUp() override { engine_.SetEcho(false); }
  std::string Say(const std::string& command) {
    capture_.Take();
    engine_.OnReceived(command + "\r");
    later_ = ModemEngine::TimerClock::now();  // timers set by the command count from here
    return capture_.Take();
  }
  std::string Control(const std::string& line) {
    capture_.Take();
    std::string reply = engine_.Control(line);
    later_ = ModemEngine::TimerClock::now();
    return reply;
  }
  // Runs the timers due within ms from now (by moving "now" forward).
  std::string After(int ms) {
    later_ += std::chrono::milliseconds(ms);
    engine_.RunTimers(later_);
    return capture_.Take();
  }
  CallFeature& Call() { return *engine_.Feature<CallFeature>(); }

  Capture capture_;
  ModemEngine engine_{capture_};
  ModemEngine::TimerClock::time_point later_ = ModemEngine::TimerClock::now();
};

TEST_F(CallFeatureTest, DialledCallConnectsTakesTonesAndVolumeAndEnds) {
  EXPECT_EQ(Say("AT+CDV 13800138000"), "\r\nOK\r\n");
  EXPECT_EQ(Call().state, CallFeature::State::Active);
  EXPECT_EQ(Say("AT+VTS=1;"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+VTS=#;"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CLVL=4"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CLVL?"), "\r\n+CLVL: 4\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CLVL=5"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT+CDV 10086"), "\r\nERROR\r\n");  // one call at a time
  EXPECT_EQ(Control("call state"),
            "call active dialled 13800138000 tones \"1#\" volume 4 next-dial connect\nOK\n");
  EXPECT_EQ(Say("AT+CHV"), "\r\nOK\r\n");
  EXPECT_EQ(Call().state, CallFeature::State::Idle);
  EXPECT_EQ(Say("AT+VTS=1;"), "\r\nERROR\r\n");
}

TEST_F(CallFeatureTest, NextDialFailsEachWayOnce) {
  EXPECT_EQ(Control("call next-dial busy"), "OK\n");
  EXPECT_EQ(Say("AT+CDV 10086"), "\r\nBUSY\r\n\r\nNO CARRIER\r\n");
  EXPECT_EQ(Control("call next-dial no-carrier"), "OK\n");
  EXPECT_EQ(Say("AT+CDV 10086"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(Control("call next-dial error"), "OK\n");
  EXPECT_EQ(Say("AT+CDV 10086"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT+CDV 10086"), "\r\nOK\r\n");  // back to connecting
  EXPECT_EQ(Say("AT+CHV"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CDV 100;86"), "\r\nERROR\r\n");
  EXPECT_NE(Control("call next-dial maybe").rfind("ERROR", 0), std::string::npos);
}

TEST_F(CallFeatureTest, FarEndEndsTheCallAfterTheSetTime) {
  Control("call next-dial connect --end-after 5000");
  Say("AT+CDV 10086");
  EXPECT_EQ(After(4900), "");
  EXPECT_EQ(After(200), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(Call().state, CallFeature::State::Idle);
}

TEST_F(CallFeatureTest, IncomingCallRingsEveryThreeSecondsUntilAnswered) {
  EXPECT_EQ(Control("call incoming 13800138000"), "OK\n");
  EXPECT_EQ(capture_.Take(), "\r\nRING\r\n\r\n+CLIP: \"13800138000\",129\r\n");
  EXPECT_EQ(After(3000), "\r\nRING\r\n\r\n+CLIP: \"13800138000\",129\r\n");
  EXPECT_EQ(Say("ATA"), "\r\nOK\r\n");
  EXPECT_EQ(After(10000), "");
  EXPECT_EQ(Call().state, CallFeature::State::Active);
  EXPECT_EQ(Control("call hangup"), "OK\n");
  EXPECT_EQ(capture_.Take(), "\r\nNO CARRIER\r\n");
}

TEST_F(CallFeatureTest, FirstRingComesAtOnce) {
  Control("call incoming 10086 --rings 2");
  EXPECT_EQ(capture_.Take(), "\r\nRING\r\n\r\n+CLIP: \"10086\",129\r\n");
  EXPECT_EQ(After(3000), "\r\nRING\r\n\r\n+CLIP: \"10086\",129\r\n");
  EXPECT_EQ(After(3000), "");  // the caller gave up silently
  EXPECT_EQ(Call().state, CallFeature::State::Idle);
  EXPECT_EQ(Say("ATA"), "\r\nERROR\r\n");
}

TEST_F(CallFeatureTest, RejectedCallStopsRinging) {
  Control("call incoming 10086");
  EXPECT_EQ(Say("AT+CHUP"), "\r\nOK\r\n");
  EXPECT_EQ(After(9000), "");
  EXPECT_NE(Control("call hangup").rfind("ERROR", 0), std::string::npos);
  EXPECT_NE(Control("call incoming 12a").rfind("ERROR", 0), std::string::npos);
}

}  // namespace
}  // namespace evdo::modemsim
