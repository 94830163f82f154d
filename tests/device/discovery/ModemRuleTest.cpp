// The udev rule that keeps ModemManager away names exactly the modem's
// hardware identifiers.
#include <gtest/gtest.h>

#include <fstream>
#include <regex>
#include <set>
#include <sstream>

#include "core/settings/SetupData.h"

namespace evdo {
namespace {

TEST(ModemRule, IgnoresEveryModemIdentifierOnTheDeviceAndItsPorts) {
  std::ifstream in(EVDO_MODEM_RULE);
  ASSERT_TRUE(in) << EVDO_MODEM_RULE;
  std::stringstream text;
  text << in.rdbuf();
  const std::string rules = text.str();

  // (subsystem, vid_xxxx&pid_yyyy) of every rule line setting the ignore flag
  static const std::regex kLine(
      R"re(SUBSYSTEM=="(\w+)".*ATTRS?\{idVendor\}=="(\w+)", ATTRS?\{idProduct\}=="(\w+)", ENV\{ID_MM_DEVICE_IGNORE\}="1")re");
  std::set<std::pair<std::string, std::string>> covered;
  for (std::sregex_iterator m(rules.begin(), rules.end(), kLine), end; m != end; ++m)
    covered.emplace((*m)[1].str(), "vid_" + (*m)[2].str() + "&pid_" + (*m)[3].str());

  std::set<std::pair<std::string, std::string>> expected;
  for (std::int32_t company : {1, 4})
    for (const char* subsystem : {"usb", "tty"}) expected.emplace(subsystem, ModemHardwareId(company));
  EXPECT_EQ(covered, expected);
}

}  // namespace
}  // namespace evdo
