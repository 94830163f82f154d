// The identity answers ("AT+GSN", "AT+GMR") of the About window, read by the
// real query through the port, the dispatcher and the window's messages. The
// first byte picks the answers: odd, the simulated modem answers with the
// serial and revision texts of the input (one line each, as a modem gives
// them), and the window must show exactly those texts (a 14-digit serial
// completed with a Luhn check digit that a standard validator accepts); even,
// the input's own bytes are the answers, and whatever comes the texts are
// one line without blanks or quotes at their ends.
#include <algorithm>
#include <cctype>
#include <cstdint>
#include <string>
#include <string_view>
#include <tuple>

#include "app/DeviceIdentity.h"
#include "app/DeviceInfoQuery.h"
#include "core/event/ManualEventLoop.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "fuzz/support/FuzzSupport.h"
#include "tests/device/FakeSerialDevice.h"
#include "tools/modemsim/IdentityFeature.h"
#include "tools/modemsim/ModemEngine.h"

namespace {

using namespace evdo;
using fuzz::Require;

struct Capture : modemsim::ModemOutput {
  std::string bytes;
  void Send(modemsim::OutputChunk chunk) override { bytes += chunk.bytes; }
};

bool Digits(std::string_view s) {
  return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The usual validation: from the right, every second digit doubled.
bool LuhnValid(std::string_view number) {
  int sum = 0;
  for (std::size_t i = 0; i < number.size(); ++i) {
    int d = number[number.size() - 1 - i] - '0';
    if (i % 2 == 1) d = d * 2 > 9 ? d * 2 - 9 : d * 2;
    sum += d;
  }
  return sum % 10 == 0;
}

std::string_view Strip(std::string_view s) {
  auto edge = [](char c) { return c == ' ' || c == '\t' || c == '"'; };
  while (!s.empty() && edge(s.front())) s.remove_prefix(1);
  while (!s.empty() && edge(s.back())) s.remove_suffix(1);
  return s;
}

// White space only, as the simulated modem's control lines see it.
bool Blank(std::string_view s) {
  return std::all_of(s.begin(), s.end(), [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; });
}

// A text the modem can give as one information line.
std::string OneLine(std::string_view text) {
  std::string s(text.substr(0, 600));
  std::replace_if(s.begin(), s.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
  return s;
}

void ExpectShown(std::string_view answered, const std::string& shown, bool identity) {
  std::string_view value = Strip(answered);
  const std::string_view prefix = identity ? "+GSN:" : "+GMR:";
  if (value.substr(0, prefix.size()) == prefix) value = Strip(value.substr(prefix.size()));
  if (identity && value.size() >= kIdentityDigits && Digits(value.substr(0, kIdentityDigits))) {
    Require(shown.size() == kIdentityDigits + 1 && shown.substr(0, kIdentityDigits) == value.substr(0, kIdentityDigits),
            "a 14-digit identity is shown with one more digit");
    Require(LuhnValid(shown), "the digit added is the Luhn check digit");
    return;
  }
  Require(shown == value, "the text the modem gave is shown as given");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const bool simulated = data[0] & 1;
  const std::string_view rest(reinterpret_cast<const char*>(data + 1), size - 1);
  const std::size_t cut = std::min(rest.find('\n'), rest.size());
  const std::string_view first = rest.substr(0, cut);
  const std::string_view second = cut < rest.size() ? rest.substr(cut + 1) : std::string_view();

  static test::FakeSerialDevice::Script script;
  auto owned = std::make_unique<test::FakeSerialDevice>(&script);
  test::FakeSerialDevice& device = *owned;
  CSerialPort port(std::move(owned));
  Require(port.Open("fake", false), "the scripted port opens");
  CSetupData setup;
  CAtDispatcher dispatcher(port, setup);
  dispatcher.SetCommandArmWaitMs(0);
  CCommandExchange exchange(port, dispatcher);
  ManualEventLoop loop;
  struct Route : WindowHandler {
    WindowHandler* to = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { to->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { to->OnTimer(id); }
  } route;
  auto& window = loop.CreateWindow(route);
  CDeviceInfoQuery query(exchange, window);
  route.to = &query;

  Capture modemOut;
  modemsim::ModemEngine modem(modemOut);
  const std::string serial = OneLine(first), revision = OneLine(second);
  if (simulated) {
    modem.OnReceived("ATE0\r");
    Require(modem.Control("identity serial " + serial).rfind("OK\n") != std::string::npos || Blank(serial),
            "the simulated modem takes the serial");
    Require(modem.Control("identity revision " + revision).rfind("OK\n") != std::string::npos || Blank(revision),
            "the simulated modem takes the revision");
  }

  int doneCalls = 0;
  query.Start([&] { ++doneCalls; });
  std::size_t written = 0;
  for (int step = 0; step < 2; ++step) {
    // A broken answer may leave the command unanswered: the query then gives
    // up on its timer and goes on, so time passes until the next command.
    std::string command;
    for (int wait = 0; command.empty() && wait <= 12; ++wait) {
      if (wait > 0) loop.Advance(1000);
      const auto calls = device.Calls();
      for (std::size_t i = written; i < calls.size(); ++i)
        if (calls[i].rfind("write:", 0) == 0) command = calls[i].substr(6);
      written = calls.size();
    }
    Require(command == (step == 0 ? kCmdIdentity : kCmdFirmware), "the identity, then the firmware is asked for");
    std::string answer;
    if (simulated) {
      modemOut.bytes.clear();
      modem.OnReceived(command);
      answer = modemOut.bytes;
    } else {
      answer = std::string(step == 0 ? first : second) + "\r\nOK\r\n";
    }
    dispatcher.ProcessBytes(reinterpret_cast<const std::uint8_t*>(answer.data()), answer.size());
    loop.RunPending();
  }
  loop.Advance(CDeviceInfoQuery::kAnswerWaitMs + 1);
  Require(doneCalls == 1 && !query.IsRunning(), "the query ends once");

  for (const std::string* shown : {&query.Identity(), &query.Firmware()}) {
    Require(shown->find_first_of("\r\n") == std::string::npos, "a device text is one line");
    Require(shown->empty() || (Strip(*shown).size() == shown->size()), "a device text has no blanks or quotes at its ends");
    Require(shown->size() < kLineCellSize, "a device text fits a line");
  }
  if (simulated) {
    // As the simulated modem keeps them (its control line trims blanks).
    const auto* identity = modem.Feature<modemsim::IdentityFeature>();
    for (const auto& [answered, shown, isIdentity] :
         {std::tuple{identity->serial, query.Identity(), true}, std::tuple{identity->revision, query.Firmware(), false}}) {
      // A line that begins with '>' but is not the prompt "> " is dropped by
      // the dispatcher's framing rules: it never reaches the query.
      if (!answered.empty() && answered.front() != '>' && ClassifyLine(answered.c_str()) == kLineInformation)
        ExpectShown(answered, shown, isIdentity);
    }
  }
  return 0;
}
