#pragma once
// Stand-ins for the Internet page's window, the dial service, the network
// preference, the wireless LAN and the statistics stores, recording what the
// connection logic asked of them.
#include <map>
#include <string>
#include <vector>

#include "core/event/ManualEventLoop.h"
#include "internet/InternetConnection.h"

namespace evdo::test {

struct FakeView : InternetView {
  std::vector<std::string> messages;
  std::vector<std::string> statusTexts;
  std::vector<Appearance> appearances;
  std::vector<int> states;
  std::map<int, std::int64_t> indicators;
  std::vector<int> limitWarnings;
  std::string duration, sentKB, receivedKB, sentBytes, receivedBytes, rate;
  std::uint32_t sendKBps = 0, receiveKBps = 0;
  bool hasProfile = true;
  int simState = 22;
  std::string dataPort = "/dev/ttyUSB0";
  int editedChecks = 0;
  ConnProfileRecord profile{};

  FakeView() {
    std::snprintf(profile.name, sizeof profile.name, "EVDO Connection");
    std::snprintf(profile.phoneNumber, sizeof profile.phoneNumber, "#777");
    std::snprintf(profile.userName, sizeof profile.userName, "card");
    std::snprintf(profile.password, sizeof profile.password, "s3cret-pw");
  }
  void ShowAppearance(Appearance a, int) override { appearances.push_back(a); }
  void SetStatusText(const std::string& t) override { statusTexts.push_back(t); }
  void SetStatistics(const std::string& d, const std::string& s, const std::string& r, const std::string& sb,
                     const std::string& rb) override {
    duration = d, sentKB = s, receivedKB = r, sentBytes = sb, receivedBytes = rb;
  }
  void SetNominalRate(const std::string& r) override { rate = r; }
  void SetRates(std::uint32_t s, std::uint32_t r) override { sendKBps = s, receiveKBps = r; }
  void ShowMessage(const std::string& t) override { messages.push_back(t); }
  void ShowLimitWarning(int id) override { limitWarnings.push_back(id); }
  void PostIndicator(int i, std::int64_t v) override { indicators[i] = v; }
  void StateChanged(int s) override { states.push_back(s); }
  bool SelectedProfile(ConnProfileRecord& p) override {
    p = profile;
    return hasProfile;
  }
  void CheckEditedFields(const ConnProfileRecord&) override { ++editedChecks; }
  std::string DataPort() override { return dataPort; }
  int SimState() override { return simState; }
  std::string Text(int id) override { return "<" + std::to_string(id) + ">"; }
  std::string LastStatus() const { return statusTexts.empty() ? "" : statusTexts.back(); }
};

// A dial service the test drives: it records dials and hang-ups and posts
// the events the test asks for.
struct FakeDial : DialService {
  WindowPort* window = nullptr;
  std::uint32_t session = 0;
  std::uint32_t next = 1;
  std::uint32_t status = 0;
  LinkSample sample{};
  int preflight = 0;
  int dialError = 0;  // non-zero: Dial fails with it
  std::vector<DialRequest> dials;
  std::vector<std::uint32_t> hangUps;

  int Preflight(const DialRequest&) override { return preflight; }
  std::uint32_t Dial(const DialRequest& r, WindowPort& w, int& error) override {
    dials.push_back(r);
    if (dialError != 0) {
      error = dialError;
      return 0;
    }
    window = &w;
    session = next++;
    status = kDialOpenPort;
    return session;
  }
  std::uint32_t Status(std::uint32_t s) const override { return s == session && s != 0 ? status : 0; }
  bool Statistics(std::uint32_t s, LinkSample& out) override {
    if (s != session || status != kDialConnected) return false;
    out = sample;
    return true;
  }
  void HangUp(std::uint32_t s) override {
    hangUps.push_back(s);
    if (s == session) status = 0;
  }
  int ErrorString(int error) const override { return error == 99 ? 0 : 2110 + error; }

  void Event(std::uint32_t state, int error = 0) {
    if (state != kDialDisconnected) status = state;
    else status = 0;
    window->PostMessage(kMsgDialEvent, state, DialEventLParam(session, error));
  }
  void Progress() {
    for (std::uint32_t s : {kDialOpenPort, kDialPortOpened, kDialConnectDevice, kDialDeviceConnected,
                            kDialAuthenticate, kDialAuthenticated})
      Event(s);
  }
};

struct FakePreference : PreferenceSender {
  std::vector<int> sent;
  bool answer = true;  // answer at once (posted), else time out
  bool writable = true;
  int givenUp = 0;
  bool Send(int preference, WindowPort& w) override {
    if (!writable) return false;
    sent.push_back(preference);
    if (answer) w.PostMessage(kMsgPreferenceDone);
    return true;
  }
  void GiveUp() override { ++givenUp; }
};

struct FakeWlan : WlanConnector {
  int connects = 0, stops = 0, disconnects = 0;
  bool connected = false;
  std::vector<bool> quiet;
  WindowPort* window = nullptr;
  void Connect(WindowPort& w, bool q) override {
    ++connects;
    quiet.push_back(q);
    window = &w;
  }
  void Stop() override { ++stops; }
  void Disconnect() override { ++disconnects; }
  bool IsConnected() override { return connected; }
  void Answer(bool ok) { window->PostMessage(kMsgWlanDone, ok ? 0 : 1); }
};

struct FakeRecords : ConnectionRecords {
  struct Totals {
    std::int32_t sent, received, minutes;
  };
  std::vector<Totals> totals;
  std::vector<LogRecord> logs;
  int limit = 0;
  int newConnections = 0;
  void AddTotals(std::int32_t s, std::int32_t r, std::int32_t m) override { totals.push_back({s, r, m}); }
  void AppendLog(const LogRecord& r) override { logs.push_back(r); }
  int CheckLimit(std::int64_t, std::uint64_t, std::uint64_t) override {
    int l = limit;
    limit = 0;
    return l;
  }
  void NewConnection() override { ++newConnections; }
  std::string TakeProblem() override { return {}; }
};

// The page's logic on a manual clock with all of the stand-ins.
struct PageRig {
  ManualEventLoop loop;
  FakeView view;
  FakeDial dial;
  FakePreference preference;
  FakeWlan wlan;
  FakeRecords records;
  struct Route : WindowHandler {
    CInternetConnection* logic = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override { logic->OnMessage(m, w, l); }
    void OnTimer(TimerId id) override { logic->OnTimer(id); }
  } route;
  ManualEventLoop::Window& window = loop.CreateWindow(route);
  CInternetConnection logic{window, view, dial, preference, wlan, records};
  PageRig() { route.logic = &logic; }
};

}  // namespace evdo::test
