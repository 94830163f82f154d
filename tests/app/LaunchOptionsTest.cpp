#include <gtest/gtest.h>

#include "app/LaunchOptions.h"

namespace evdo {
namespace {

struct OptionsCase {
  QStringList arguments;
  bool accepted;
  QString port;
  bool simulate;
  QString screenshot;
};

class LaunchOptionsParse : public ::testing::TestWithParam<OptionsCase> {};

TEST_P(LaunchOptionsParse, ReadsOrRefusesTheArguments) {
  const OptionsCase& c = GetParam();
  LaunchOptions options;
  QString error;
  ASSERT_EQ(LaunchOptions::Parse(c.arguments, options, error), c.accepted) << error.toStdString();
  if (!c.accepted) {
    EXPECT_FALSE(error.isEmpty());
    return;
  }
  EXPECT_EQ(options.portPath, c.port);
  EXPECT_EQ(options.simulate, c.simulate);
  EXPECT_EQ(options.screenshotPath, c.screenshot);
}

INSTANTIATE_TEST_SUITE_P(
    Cases, LaunchOptionsParse,
    ::testing::Values(OptionsCase{{}, true, "", false, ""},
                      OptionsCase{{"--port", "/dev/ttyUSB7"}, true, "/dev/ttyUSB7", false, ""},
                      OptionsCase{{"--simulate", "--screenshot", "a.png"}, true, "", true, "a.png"},
                      OptionsCase{{"--port"}, false, "", false, ""},
                      OptionsCase{{"--port", ""}, false, "", false, ""},
                      OptionsCase{{"--port", "/dev/x", "--simulate"}, false, "", false, ""},
                      OptionsCase{{"--verbose"}, false, "", false, ""},
                      OptionsCase{{"COM7"}, false, "", false, ""}),
    [](const auto& info) { return "Case" + std::to_string(info.index); });

}  // namespace
}  // namespace evdo
