// The simulated modem's card (PIN, PUK, attempts) and its radio and network.
#include <gtest/gtest.h>

#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {
namespace {

class Capture : public ModemOutput {
public:
  void Send(OutputChunk chunk) override { chunks.push_back(std::move(chunk)); }
  std::vector<OutputChunk> chunks;
};

class CardFeatureTest : public ::testing::Test {
protected:
  void SetUp() override { engine_.SetEcho(false); }
  std::string Say(const std::string& command) {
    capture_.chunks.clear();
    engine_.OnReceived(command + "\r");
    std::string all;
    for (const auto& chunk : capture_.chunks) all += chunk.bytes;
    return all;
  }
  void Control(const std::string& line) { ASSERT_EQ(engine_.Control(line), "OK\n") << line; }
  Capture capture_;
  ModemEngine engine_{capture_};
};

TEST_F(CardFeatureTest, CardAskingForItsPin) {
  Control("devstatus card pin");
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CAD?"), "\r\n+CME ERROR: SIM PIN required\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"1111\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(Say("AT$CPINS?"), "\r\n$CPINS: 1,2,10\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"1234\""), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CAD?"), "\r\n+CAD: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT$CPINS?"), "\r\n$CPINS: 1,3,10\r\n\r\nOK\r\n");
}

TEST_F(CardFeatureTest, ThreeWrongPinsBlockTenWrongPuksDestroy) {
  Control("pin 4321 87654321");
  Control("devstatus card pin");
  EXPECT_EQ(Say("AT+CPIN=\"1234\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"1234\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"1234\""), "\r\n+CME ERROR: 12\r\n");
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CPIN: SIM PUK\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"4321\""), "\r\n+CME ERROR: 12\r\n");
  for (int i = 0; i < 9; ++i) EXPECT_EQ(Say("AT+CPIN=\"11111111\",\"1111\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"11111111\",\"1111\""), "\r\n+CME ERROR: 13\r\n");
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CME ERROR: 13\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"87654321\",\"1111\""), "\r\n+CME ERROR: 13\r\n");
  EXPECT_NE(engine_.Control("pin").find("pin-left 0 puk-left 0 card destroyed"), std::string::npos);
}

TEST_F(CardFeatureTest, PukSetsANewPin) {
  Control("devstatus card puk");
  EXPECT_EQ(Say("AT+CPIN=\"12345678\",\"2468\""), "\r\nOK\r\n");
  EXPECT_NE(engine_.Control("pin").find("pin 2468 puk 12345678"), std::string::npos);
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CPIN: READY\r\n\r\nOK\r\n");
}

TEST_F(CardFeatureTest, LockAndChange) {
  EXPECT_EQ(Say("AT+CLCK=\"SC\",2"), "\r\n+CLCK: 0\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPWD=\"SC\",\"1234\",\"5678\""), "\r\n+CME ERROR: 3\r\n");  // request off
  EXPECT_EQ(Say("AT+CLCK=\"SC\",1,\"1234\""), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CLCK=\"SC\",2"), "\r\n+CLCK: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPWD=\"SC\",\"1234\",\"5678\""), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CLCK=\"SC\",0,\"1234\""), "\r\n+CME ERROR: 16\r\n");
  EXPECT_EQ(Say("AT+CLCK=\"SC\",0,\"5678\""), "\r\nOK\r\n");
  // The request on survives a power cycle as a PIN request.
  EXPECT_EQ(Say("AT+CLCK=\"SC\",1,\"5678\""), "\r\nOK\r\n");
  engine_.PowerCycle();
  engine_.SetEcho(false);
  EXPECT_EQ(Say("AT+CPIN?"), "\r\n+CPIN: SIM PIN\r\n\r\nOK\r\n");
}

TEST_F(CardFeatureTest, BadCodesAndNoCard) {
  EXPECT_EQ(Say("AT+CPIN=\"12\"34\""), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT+CPIN=\"123\""), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT+CLCK=\"SC\",1,\"123456789\""), "\r\nERROR\r\n");
  Control("devstatus card failure");
  EXPECT_EQ(Say("AT+CPIN?"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT$CPINS?"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT+CLCK=\"SC\",2"), "\r\nERROR\r\n");
  EXPECT_NE(engine_.Control("pin 12 34").find("ERROR"), std::string::npos);
  EXPECT_NE(engine_.Control("pin attempts 4 10").find("ERROR"), std::string::npos);
}

TEST_F(CardFeatureTest, RadioSearchRegistrationPreference) {
  EXPECT_EQ(Say("AT+CFUN=4"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CFUN?"), "\r\n+CFUN: 4\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+COPS=?"), "\r\n+CME ERROR: 30\r\n");
  EXPECT_EQ(Say("AT+CFUN=1"), "\r\nOK\r\n");
  Control("network searchms 2500");
  std::string search = Say("AT+COPS=?");
  ASSERT_EQ(capture_.chunks.size(), 1u);
  EXPECT_EQ(capture_.chunks[0].delayMs, 2500);  // a search takes its time
  EXPECT_NE(search.find("(2,\"Demo Telecom\",\"DEMO\",\"46003\",2)"), std::string::npos);
  EXPECT_NE(search.find(",,(0,1,2,3,4),(0,1,2)"), std::string::npos);
  EXPECT_EQ(Say("AT+COPS=1,1,\"OTHER\""), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+COPS?"), "\r\n+COPS: 1,1,\"OTHER\"\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+COPS=1,1,\"BARRED\""), "\r\n+CME ERROR: 32\r\n");
  EXPECT_EQ(Say("AT+COPS=0"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF=2"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF?"), "\r\n+PHPREF: 2\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF=5"), "\r\nERROR\r\n");
  Control("network cfun refuse");
  EXPECT_EQ(Say("AT+CFUN=4"), "\r\n+CME ERROR: 3\r\n");
}

}  // namespace
}  // namespace evdo::modemsim
