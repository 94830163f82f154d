#include "device/discovery/ProgramStarter.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>
#include <thread>

#include "tests/support/TempDir.h"

namespace evdo {
namespace {

namespace fs = std::filesystem;

// A folder put in front of PATH holding a script that blocks.
class ProgramStarterTest : public ::testing::Test {
protected:
  void SetUp() override {
    folder_ = fs::path(dir_.Path());
    const fs::path script = folder_ / "evdo-blocking-tool";
    std::ofstream(script) << "#!/bin/sh\ntouch \"$0.started\"\nexec sleep 30\n";
    fs::permissions(script, fs::perms::owner_all);
    oldPath_ = std::getenv("PATH") ? std::getenv("PATH") : "";
    setenv("PATH", (folder_.string() + ":" + oldPath_).c_str(), 1);
  }
  void TearDown() override { setenv("PATH", oldPath_.c_str(), 1); }

  test::TempDir dir_;
  fs::path folder_;
  std::string oldPath_;
};

TEST_F(ProgramStarterTest, StartsByBareNameWithoutWaiting) {
  int pid = 0;
  const auto before = std::chrono::steady_clock::now();
  ASSERT_TRUE(StartDetachedProgram("evdo-blocking-tool", &pid));
  EXPECT_LT(std::chrono::steady_clock::now() - before, std::chrono::seconds(10)) << "the tool runs for 30 s";
  ASSERT_GT(pid, 0);
  // The started tool leaves its mark; give it up to 10 s of real time.
  const fs::path mark = folder_ / "evdo-blocking-tool.started";
  for (int i = 0; i < 1000 && !fs::exists(mark); ++i) std::this_thread::sleep_for(std::chrono::milliseconds(10));
  EXPECT_TRUE(fs::exists(mark));
  kill(pid, SIGTERM);
}

TEST_F(ProgramStarterTest, ArgumentsReachTheProgramAsGiven) {
  const fs::path script = folder_ / "evdo-echo-tool";
  std::ofstream(script) << "#!/bin/sh\nfor a in \"$@\"; do printf '[%s]' \"$a\"; done > \"$0.args\"\n";
  fs::permissions(script, fs::perms::owner_all);
  ASSERT_TRUE(StartDetachedProgram(std::vector<std::string>{script.string(), "-v", "0x1c9e", "-f", "A=1\nB=\"2 3\""}));
  const fs::path args = folder_ / "evdo-echo-tool.args";
  std::string text;
  for (int i = 0; i < 1000 && text.find("B=") == std::string::npos; ++i) {
    std::this_thread::sleep_for(std::chrono::milliseconds(10));
    std::ifstream in(args);
    text.assign(std::istreambuf_iterator<char>(in), {});
  }
  EXPECT_EQ(text, "[-v][0x1c9e][-f][A=1\nB=\"2 3\"]");
  EXPECT_FALSE(StartDetachedProgram(std::vector<std::string>{}));
}

TEST_F(ProgramStarterTest, MissingProgramIsReportedNotFatal) {
  EXPECT_FALSE(StartDetachedProgram("evdo-no-such-tool-here"));
}

}  // namespace
}  // namespace evdo
