// The simulated modem's protocol without a pseudo-terminal.
#include <gtest/gtest.h>

#include "tools/modemsim/ControlArgs.h"
#include "tools/modemsim/ModemEngine.h"

namespace evdo::modemsim {
namespace {

class Capture : public ModemOutput {
public:
  void Send(OutputChunk chunk) override { chunks.push_back(std::move(chunk)); }
  std::string Bytes() const {
    std::string all;
    for (const auto& chunk : chunks) all += chunk.bytes;
    return all;
  }
  std::vector<OutputChunk> chunks;
};

class ModemEngineTest : public ::testing::Test {
protected:
  std::string Say(const std::string& bytes) {
    capture_.chunks.clear();
    engine_.OnReceived(bytes);
    return capture_.Bytes();
  }
  Capture capture_;
  ModemEngine engine_{capture_};
};

TEST_F(ModemEngineTest, EchoesUntilEchoIsSwitchedOff) {
  EXPECT_EQ(Say("AT\r"), "AT\r\r\nOK\r\n");
  EXPECT_EQ(Say("ATE0\r"), "ATE0\r\r\nOK\r\n");
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("ATE1\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("at\r"), "at\r\r\nOK\r\n");
}

struct AnswerCase {
  const char* command;
  const char* answer;
};

void PrintTo(const AnswerCase& c, std::ostream* os) { *os << EncodeEscapes(c.command); }


class ModemAnswerTest : public ModemEngineTest, public ::testing::WithParamInterface<AnswerCase> {
protected:
  void SetUp() override { engine_.SetEcho(false); }
};

TEST_P(ModemAnswerTest, Answers) { EXPECT_EQ(Say(GetParam().command), GetParam().answer); }

INSTANTIATE_TEST_SUITE_P(
    Commands, ModemAnswerTest,
    ::testing::Values(AnswerCase{"AT\r", "\r\nOK\r\n"}, AnswerCase{"AT+GSN\r", "\r\n0x80A1B2C3\r\n\r\nOK\r\n"},
                      AnswerCase{"at+gmr\r", "\r\nSIM.1.0.0\r\n\r\nOK\r\n"},
                      AnswerCase{"AT+GSN=1\r", "\r\nERROR\r\n"}, AnswerCase{"AT+UNKNOWN\r", "\r\nERROR\r\n"},
                      AnswerCase{"ATE7\r", "\r\nERROR\r\n"}, AnswerCase{"hello\r", ""},
                      AnswerCase{"\r\n\r\n", ""}, AnswerCase{"AX\bT\r", "\r\nOK\r\n"},
                      AnswerCase{"ATI\r",
                                 "\r\nManufacturer: EVDO Modem Simulator\r\n\r\nModel: SIM-EVDO-1\r\n"
                                 "\r\nRevision: SIM.1.0.0\r\n\r\nESN: 0x80A1B2C3\r\n\r\nOK\r\n"}));

TEST_F(ModemEngineTest, OverlongCommandLineIsAnError) {
  engine_.SetEcho(false);
  EXPECT_EQ(Say("AT" + std::string(2000, 'X') + "\r"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r\n");
}

TEST_F(ModemEngineTest, CommandSplitAcrossReadsIsOneCommand) {
  engine_.SetEcho(false);
  EXPECT_EQ(Say("AT+G"), "");
  EXPECT_EQ(Say("SN\r"), "\r\n0x80A1B2C3\r\n\r\nOK\r\n");
  EXPECT_EQ(engine_.History().back(), "AT+GSN");
}

class TextEntryTest : public ModemEngineTest {
protected:
  void SetUp() override {
    engine_.SetEcho(false);
    engine_.Commands().Add("AT+XTEXT", [this](ModemEngine&, std::string_view, ModemReply& reply) {
      reply.Prompt([this](ModemEngine&, const std::string& text, ModemReply& answer) {
        texts_.push_back(text);
        answer.Info("+XTEXT: " + std::to_string(text.size()));
        answer.Ok();
      });
    });
  }
  std::vector<std::string> texts_;
};

TEST_F(TextEntryTest, PromptThenTextUpToCtrlZ) {
  EXPECT_EQ(Say("AT+XTEXT\r"), "\r\n> ");
  EXPECT_TRUE(engine_.InTextEntry());
  EXPECT_EQ(Say("two\rlines"), "");
  EXPECT_EQ(Say("\x1a"), "\r\n+XTEXT: 9\r\n\r\nOK\r\n");
  EXPECT_EQ(texts_, std::vector<std::string>{"two\rlines"});
  EXPECT_FALSE(engine_.InTextEntry());
}

TEST_F(TextEntryTest, EscapeCancelsTheText) {
  Say("AT+XTEXT\r");
  EXPECT_EQ(Say("abc\x1b"), "\r\nOK\r\n");
  EXPECT_TRUE(texts_.empty());
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r\n");
}

TEST_F(ModemEngineTest, FaultsSpoilTheNextAnswersInTurn) {
  engine_.SetEcho(false);
  EXPECT_EQ(engine_.Control("fault silent 2"), "OK\n");
  EXPECT_EQ(engine_.Control("fault brokeneol"), "OK\n");
  EXPECT_EQ(engine_.Control("fault garbage"), "OK\n");
  EXPECT_EQ(engine_.Control("fault slow 3"), "OK\n");
  EXPECT_EQ(engine_.Control("fault delay 40"), "OK\n");
  EXPECT_EQ(Say("AT\r"), "");
  EXPECT_EQ(Say("AT\r"), "");
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r#");
  std::string garbage = Say("AT\r");
  ASSERT_EQ(garbage.size(), 16u + 6u);
  EXPECT_EQ(garbage.substr(16), "\r\nOK\r\n");
  EXPECT_EQ(garbage.substr(0, 16).find_first_of("\r\n"), std::string::npos);
  Say("AT\r");
  EXPECT_EQ(capture_.chunks.back().byteDelayMs, 3);
  EXPECT_TRUE(capture_.chunks.back().answerEnd);
  Say("AT\r");
  EXPECT_EQ(capture_.chunks.back().delayMs, 40);
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r\n");
}

TEST_F(ModemEngineTest, FaultClearForgetsPendingFaults) {
  engine_.SetEcho(false);
  engine_.Control("fault silent 5");
  EXPECT_NE(engine_.Control("status").find("faults silent silent"), std::string::npos);
  EXPECT_EQ(engine_.Control("fault clear"), "OK\n");
  EXPECT_EQ(Say("AT\r"), "\r\nOK\r\n");
}

struct ControlCase {
  const char* line;
  const char* replyStart;
};

void PrintTo(const ControlCase& c, std::ostream* os) { *os << c.line; }


class ControlErrorTest : public ModemEngineTest, public ::testing::WithParamInterface<ControlCase> {};

TEST_P(ControlErrorTest, BadControlCommandIsExplained) {
  std::string reply = engine_.Control(GetParam().line);
  EXPECT_EQ(reply.rfind(GetParam().replyStart, 0), 0u) << reply;
  EXPECT_EQ(reply.back(), '\n');
  EXPECT_TRUE(capture_.chunks.empty());
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ControlErrorTest,
    ::testing::Values(ControlCase{"bogus", "ERROR unknown command \"bogus\""},
                      ControlCase{"fault", "ERROR fault takes"}, ControlCase{"fault slow", "ERROR fault slow needs"},
                      ControlCase{"fault slow x", "ERROR fault slow needs"},
                      ControlCase{"fault silent 0", "ERROR the count"},
                      ControlCase{"fault silent 1 2", "ERROR the count"},
                      ControlCase{"send \\q", "ERROR unknown escape"}, ControlCase{"send \\x4", "ERROR \\x needs"},
                      ControlCase{"send", "ERROR send needs"}, ControlCase{"notify", "ERROR notify needs"},
                      ControlCase{"garbage 0", "ERROR garbage needs"}, ControlCase{"echo maybe", "ERROR echo takes"},
                      ControlCase{"identity colour red", "ERROR identity field"},
                      ControlCase{"identity model", "ERROR identity needs"}));

TEST_F(ModemEngineTest, ControlCommandsSendLinesAndBytes) {
  EXPECT_EQ(engine_.Control("notify +RSSI: 20,1"), "OK\n");
  EXPECT_EQ(engine_.Control("send \\r\\nRING\\r\\n\\x00\\z"), "OK\n");
  EXPECT_EQ(capture_.Bytes(), std::string("\r\n+RSSI: 20,1\r\n\r\nRING\r\n\0\x1a", 25));
  EXPECT_EQ(engine_.Control("identity model X 2"), "OK\n");
  engine_.SetEcho(false);
  EXPECT_EQ(Say("AT+GMM\r"), "\r\nX 2\r\n\r\nOK\r\n");
  EXPECT_NE(engine_.Control("help").find("fault silent|garbage"), std::string::npos);
}

TEST_F(ModemEngineTest, DataCallPreferenceDialAndFailures) {
  engine_.SetEcho(false);
  EXPECT_EQ(Say("AT+PHPREF=1\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF?\r"), "\r\n+PHPREF: 1\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF=7\r"), "\r\nERROR\r\n");
  EXPECT_EQ(Say("ATD#777\r"), "\r\nCONNECT 153600\r\n");
  EXPECT_EQ(Say("ATH\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+PHPREF=2\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("ATD#777\r"), "\r\nCONNECT 3100000\r\n");
  EXPECT_EQ(engine_.Control("datacall nocarrier"), "OK\n");
  EXPECT_EQ(Say("ATD#777\r"), "\r\nNO CARRIER\r\n");
  EXPECT_EQ(engine_.Control("datacall silent"), "OK\n");
  EXPECT_EQ(Say("AT+PHPREF=2\r"), "");
  EXPECT_EQ(engine_.Control("datacall answer"), "OK\n");
  EXPECT_EQ(Say("AT+PHPREF=2\r"), "\r\nOK\r\n");
  EXPECT_NE(engine_.Control("datacall maybe"), "OK\n");
}

TEST_F(ModemEngineTest, PowerCycleRestoresEchoAndDropsTextEntry) {
  engine_.Commands().Add("AT+XTEXT", [](ModemEngine&, std::string_view, ModemReply& reply) {
    reply.Prompt([](ModemEngine&, const std::string&, ModemReply& answer) { answer.Ok(); });
  });
  Say("ATE0\rAT+XTEXT\r");
  EXPECT_TRUE(engine_.InTextEntry());
  engine_.PowerCycle();
  EXPECT_TRUE(engine_.Echo());
  EXPECT_FALSE(engine_.InTextEntry());
}

TEST(ControlArgsTest, EscapesRoundTrip) {
  std::string bytes("\r\n\t\\\x1a\x01\xff text", 12);
  std::string decoded, error;
  ASSERT_TRUE(DecodeEscapes(EncodeEscapes(bytes), decoded, error)) << error;
  EXPECT_EQ(decoded, bytes);
  int value = 0;
  EXPECT_TRUE(ParseNumber("42", 0, 100, value));
  EXPECT_EQ(value, 42);
  EXPECT_FALSE(ParseNumber("42x", 0, 100, value));
  EXPECT_FALSE(ParseNumber("101", 0, 100, value));
  EXPECT_EQ(SplitWords("  a \t bc  d "), (std::vector<std::string_view>{"a", "bc", "d"}));
}

TEST_F(ModemEngineTest, BlanksBeforeTheCommandAreSkippedAsAModemDoes) {
  engine_.SetEcho(false);
  EXPECT_EQ(Say("  AT\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("\t at+gsn\r"), "\r\n0x80A1B2C3\r\n\r\nOK\r\n");
  // A line without the prefix is no command: not answered, but recorded.
  EXPECT_EQ(Say(" hello\r"), "");
  std::string history = engine_.Control("history");
  EXPECT_NE(history.find("AT\n"), std::string::npos) << history;
  EXPECT_NE(history.find("(ignored, no AT)  hello"), std::string::npos) << history;
}

TEST_F(ModemEngineTest, SettingsOutOfRangeAreRefusedWithTheRange) {
  for (const char* bad : {"devstatus signal 40", "devstatus signal -1", "devstatus signal 98", "devstatus signal x"}) {
    std::string reply = engine_.Control(bad);
    EXPECT_EQ(reply.rfind("ERROR", 0), 0u) << bad;
    EXPECT_NE(reply.find("0 to 31, or 99"), std::string::npos) << reply;
  }
  EXPECT_EQ(engine_.Control("devstatus signal 31"), "OK\n");
  EXPECT_EQ(engine_.Control("devstatus signal 99"), "OK\n");
  engine_.SetEcho(false);
  EXPECT_NE(Say("AT+CSQ\r").find("99, 99"), std::string::npos);
}

}  // namespace
}  // namespace evdo::modemsim

namespace evdo::modemsim {
namespace {

class PhonebookFeatureTest : public ModemEngineTest {
protected:
  void SetUp() override { engine_.SetEcho(false); }
};

TEST_F(PhonebookFeatureTest, AnswersAsADevice) {
  EXPECT_EQ(Say("AT+CPBS?\r"), "\r\n+CPBS: \"SM\",0,250\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBS=\"ME\"\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBS?\r"), "\r\n+CPBS: \"ME\",0,500\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBS=\"XX\"\r"), "\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(Say("AT+CPBW=2,\"+8613900001111\",129,\"00410042\"\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBR=2\r"), "\r\n+CPBR: 2,\"+8613900001111\",129,\"00410042\"\r\n\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBR=3\r"), "\r\nOK\r\n") << "an empty location";
  EXPECT_EQ(Say("AT+CPBR=501\r"), "\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(Say("AT+CPBW=501,\"1\",129,\"\"\r"), "\r\n+CME ERROR: 21\r\n");
  EXPECT_EQ(Say("AT+CPBW=3,\"" + std::string(41, '1') + "\",129,\"\"\r"), "\r\n+CME ERROR: 26\r\n");
  EXPECT_EQ(Say("AT+CPBW=3,\"1\",129,\"" + std::string(60, '0') + "\"\r"), "\r\n+CME ERROR: 24\r\n");
  EXPECT_EQ(Say("AT+CPBW=3,\"1a\",129,\"\"\r"), "\r\n+CME ERROR: 3\r\n");
  EXPECT_EQ(Say("AT+CPBW=2\r"), "\r\nOK\r\n");
  EXPECT_EQ(Say("AT+CPBR=2\r"), "\r\nOK\r\n") << "erased";
  EXPECT_EQ(engine_.Control("pb capacity ME 1"), "OK\n");
  EXPECT_EQ(Say("AT+CPBW=,\"5\",129,\"\"\r"), "\r\nOK\r\n") << "the first free location";
  EXPECT_EQ(Say("AT+CPBW=,\"6\",129,\"\"\r"), "\r\n+CME ERROR: 20\r\n") << "full";
  EXPECT_EQ(engine_.Control("pb list ME"), "ME 1/1\n1 5  []\nOK\n");
}

TEST_F(PhonebookFeatureTest, TheCardAnswersOnlyWhenReady) {
  EXPECT_EQ(engine_.Control("pb add SM 4 10086 张三"), "OK\n");
  EXPECT_EQ(Say("AT+CPBR=4\r"), "\r\n+CPBR: 4,\"10086\",129,\"5F204E09\"\r\n\r\nOK\r\n");
  EXPECT_EQ(engine_.Control("devstatus card failure"), "OK\n");
  EXPECT_EQ(Say("AT+CPBR=4\r"), "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(Say("AT+CPBS=\"SM\"\r"), "\r\n+CME ERROR: 10\r\n");
  EXPECT_EQ(Say("AT+CPBS=\"ME\"\r"), "\r\nOK\r\n") << "the device memory does not need the card";
  EXPECT_EQ(engine_.Control("pb clear SM"), "OK\n");
  EXPECT_EQ(engine_.Control("pb add XX 1 1 a").substr(0, 5), "ERROR");
  EXPECT_NE(engine_.Control("help").find("pb list SM|ME"), std::string::npos);
}

}  // namespace
}  // namespace evdo::modemsim
