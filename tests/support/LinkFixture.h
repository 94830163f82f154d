#pragma once
// The whole device link against the simulated modem on a pseudo-terminal:
// the real CSerialPort on the serial end, the dispatcher with both threads,
// and the command exchange helper.
#include <gtest/gtest.h>

#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "device/SerialPort.h"
#include "platform/PosixSerialDevice.h"
#include "tests/support/BlockRecorder.h"
#include "tools/modemsim/SimulatedModem.h"

namespace evdo::test {

class LinkFixture : public ::testing::Test {
protected:
  static constexpr int kAnswerWaitMs = 10000;

  void SetUp() override {
    std::string error;
    ASSERT_TRUE(modem_.Open(error)) << error;
    ASSERT_TRUE(modem_.Start());
    port_.SetHooks(hooks_);
    ASSERT_TRUE(port_.Open(modem_.SerialPath().c_str(), true));
    dispatcher_.SetDispatchObserver(log_.Observer());
    ASSERT_TRUE(dispatcher_.StartThreads());
    dispatcher_.ParserStartEvent().Set();
  }
  void TearDown() override {
    dispatcher_.Shutdown();
    port_.Close();
    modem_.Stop();
  }

  // A command that must be answered.
  CommandReply Ask(const std::string& command, int timeoutMs = kAnswerWaitMs) {
    CommandReply reply;
    exchange_.Transact(command, reply, timeoutMs, false);
    return reply;
  }
  static std::vector<std::string> LinesOf(const CommandReply& reply) {
    std::vector<std::string> lines;
    for (std::size_t i = 0; i < reply.lineCount; ++i) lines.emplace_back(reply.Line(i));
    return lines;
  }
  void Control(const std::string& line) { ASSERT_EQ(modem_.Control(line), "OK\n") << line; }

  modemsim::SimulatedModem modem_;
  SerialPortHooks hooks_;
  CSetupData setup_;
  CSerialPort port_{std::make_unique<PosixSerialDevice>()};
  CAtDispatcher dispatcher_{port_, setup_};
  CCommandExchange exchange_{port_, dispatcher_};
  BlockRecorder recorder_{port_, dispatcher_};
  DispatchLog log_;
};

}  // namespace evdo::test
