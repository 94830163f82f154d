// pppd's command line for a profile, the dial's progress read from its log,
// and its exit statuses.
#include <gtest/gtest.h>

#include <algorithm>

#include "internet/PppdProtocol.h"

namespace evdo {
namespace {

DialRequest Request() {
  DialRequest r;
  r.entryName = "EVDO Connection";
  r.phoneNumber = "#777";
  r.userName = "card";
  r.password = "s3cret-pw";
  r.dataPort = "/dev/ttyUSB0";
  return r;
}

bool Has(const std::vector<std::string>& args, const std::string& a) {
  return std::find(args.begin(), args.end(), a) != args.end();
}

TEST(PppdArguments, CarryTheProfileButNeverThePassword) {
  std::vector<std::string> args = PppdArguments(Request());
  ASSERT_FALSE(args.empty());
  EXPECT_EQ(args[0], "call");
  EXPECT_EQ(args[1], kPeersName);
  EXPECT_TRUE(Has(args, "nodetach"));
  EXPECT_TRUE(Has(args, "/dev/ttyUSB0"));
  EXPECT_TRUE(Has(args, "card"));
  EXPECT_TRUE(Has(args, "passwordfd"));
  EXPECT_TRUE(Has(args, "refuse-pap"));  // CHAP required
  for (const std::string& a : args) EXPECT_EQ(a.find("s3cret"), std::string::npos) << a;
  auto connect = std::find(args.begin(), args.end(), "connect");
  ASSERT_NE(connect, args.end());
  EXPECT_NE((connect + 1)->find("ATD#777 "), std::string::npos);
}

TEST(PppdArguments, AuthenticationAndRefusedValues) {
  DialRequest pap = Request();
  pap.authType = 1;
  auto args = PppdArguments(pap);
  EXPECT_TRUE(Has(args, "refuse-chap"));
  EXPECT_FALSE(Has(args, "refuse-pap"));
  DialRequest neither = Request();
  neither.authType = 2;
  args = PppdArguments(neither);
  EXPECT_FALSE(Has(args, "refuse-chap"));
  EXPECT_FALSE(Has(args, "refuse-pap"));
  DialRequest noPassword = Request();
  noPassword.password.clear();
  EXPECT_FALSE(Has(PppdArguments(noPassword), "passwordfd"));
  // Nothing that could reach the shell of the connect script or split an
  // argument gets through.
  for (const char* bad : {"#777; rm -rf ~", "#777'", "", "12 34", "$(id)"}) {
    DialRequest r = Request();
    r.phoneNumber = bad;
    EXPECT_TRUE(PppdArguments(r).empty()) << bad;
  }
  DialRequest badUser = Request();
  badUser.userName = "a\nb";
  EXPECT_TRUE(PppdArguments(badUser).empty());
  DialRequest relative = Request();
  relative.dataPort = "ttyUSB0";
  EXPECT_TRUE(PppdArguments(relative).empty());
  EXPECT_TRUE(IsDialNumber("*99#"));
  EXPECT_TRUE(IsDialNumber("+8613800,1"));
}

TEST(PppdLogReader, PhasesInOrderFromTheLog) {
  PppdLogReader log;
  EXPECT_EQ(log.Started(), std::vector<std::uint32_t>{kDialOpenPort});
  EXPECT_EQ(log.Feed("abort on (BUSY)"), std::vector<std::uint32_t>{kDialPortOpened});
  EXPECT_TRUE(log.Feed("send (ATZ^M)").empty());
  EXPECT_EQ(log.Feed("send (ATD#777^M)"), std::vector<std::uint32_t>{kDialConnectDevice});
  EXPECT_TRUE(log.Feed("expect (CONNECT)").empty());
  EXPECT_EQ(log.Feed("Serial connection established."), std::vector<std::uint32_t>{kDialDeviceConnected});
  EXPECT_TRUE(log.Feed("Using interface ppp3").empty());
  EXPECT_EQ(log.Interface(), "ppp3");
  EXPECT_EQ(log.Feed("rcvd [CHAP Challenge id=0x1 <abcd>, name = \"x\"]"),
            std::vector<std::uint32_t>{kDialAuthenticate});
  EXPECT_EQ(log.Feed("CHAP authentication succeeded"), std::vector<std::uint32_t>{kDialAuthenticated});
  EXPECT_TRUE(log.Feed("CHAP authentication succeeded").empty());  // once
  EXPECT_EQ(log.Feed("local  IP address 10.64.64.64"), std::vector<std::uint32_t>{kDialConnected});
  EXPECT_TRUE(log.Connected());
  // A later line of an earlier phase does not go back.
  EXPECT_TRUE(log.Feed("send (ATD#777^M)").empty());
}

TEST(PppdLogReader, SilentPhasesAreFilledInWithoutAuthentication) {
  PppdLogReader log;
  std::vector<std::uint32_t> events = log.Feed("Serial connection established.");
  EXPECT_EQ(events, (std::vector<std::uint32_t>{kDialPortOpened, kDialConnectDevice, kDialDeviceConnected}));
  EXPECT_TRUE(log.Feed("Connect: ppp0 <--> /dev/ttyUSB0").empty());
  EXPECT_EQ(log.Interface(), "ppp0");
  EXPECT_EQ(log.Feed("local  IP address 10.0.0.2"), std::vector<std::uint32_t>{kDialConnected});
}

TEST(PppdExit, EveryStatusHasItsText) {
  EXPECT_EQ(PppdExitString(0), 0);
  for (int s = 1; s <= kPppdExitMax; ++s) EXPECT_EQ(PppdExitString(s), kStrIdPppdExitBase + s);
  EXPECT_EQ(PppdExitString(20), kStrIdPppdExitOther);
  EXPECT_EQ(PppdExitString(-1), kStrIdPppdExitOther);
}

TEST(ParseCounter, KernelCounterFiles) {
  EXPECT_EQ(ParseCounter("123\n"), 123u);
  EXPECT_EQ(ParseCounter("0"), 0u);
  EXPECT_FALSE(ParseCounter(""));
  EXPECT_FALSE(ParseCounter("12a\n"));
  EXPECT_FALSE(ParseCounter("99999999999999999999999"));
}

}  // namespace
}  // namespace evdo
