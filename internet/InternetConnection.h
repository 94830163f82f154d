#pragma once
// The Internet page's connection logic: connect and disconnect per type
// (wireless LAN, "3G", "1X"), cancel, the dial with its progress events,
// the statistics tick, the dial time-out, the hang-up with its hand-off to
// the statistics, and the automatic connection sequence with its three
// attempts. Everything runs on the page's thread through its window port:
// the modem's network preference, the dial service and the wireless LAN
// answer with posted messages, never by waiting.
#include <cstdint>
#include <functional>
#include <string>

#include "core/event/WindowPort.h"
#include "core/time/DateTime.h"
#include "internet/ConnProfileRecord.h"
#include "internet/DialService.h"
#include "internet/LogRecord.h"
#include "internet/StatisticsHandOff.h"

namespace evdo {

// Connection types (the numbers stored in "ConnSetData.dat").
constexpr int kConnTypeWlan = 0;
constexpr int kConnType3G = 1;
constexpr int kConnType1X = 2;

// Page states.
constexpr int kStateWlanConnected = 0;
constexpr int kState3GConnected = 1;
constexpr int kState1XConnected = 2;
constexpr int kStateWlanConnecting = 3;
constexpr int kState3GConnecting = 4;
constexpr int kState1XConnecting = 5;
constexpr int kStateIdle = 6;

// Dial phases.
constexpr int kPhaseOpenPort = 0;
constexpr int kPhasePortOpened = 1;
constexpr int kPhaseConnectDevice = 2;
constexpr int kPhaseDeviceConnected = 3;
constexpr int kPhaseAuthenticating = 4;
constexpr int kPhaseAuthenticated = 5;
constexpr int kPhaseConnected = 6;
constexpr int kPhaseDisconnected = 7;

// Network preferences ("AT+PHPREF=%d\r").
constexpr int kPreference1X = 1;
constexpr int kPreference3G = 2;
constexpr const char* kPreferenceCommand = "AT+PHPREF=%d\r";
constexpr std::uint32_t kPreferenceTimeoutMs = 8000;

// Commands of the page (control identifiers).
constexpr int kCmdConnectWlan = 4088;
constexpr int kCmdConnect3G = 4089;
constexpr int kCmdConnect1X = 4090;
constexpr int kCmdAutoConnect = 4091;
constexpr int kCmdCancel = 4094;
constexpr int kCmdDisconnectWlan = 7201;
constexpr int kCmdDisconnect3G = 7202;
constexpr int kCmdDisconnect1X = 7203;

// Timers of the page.
constexpr TimerId kTimerStatistics = 24;
constexpr TimerId kTimerDialTimeout = 29;
constexpr TimerId kTimerPageRefresh = 58;
constexpr TimerId kTimerConnecting = 59;
constexpr TimerId kTimerAutoSequence = 61;
constexpr TimerId kTimerDial = 63;
constexpr TimerId kTimerHangUp = 64;
constexpr TimerId kTimerPreference = 65;  // the network preference's answer
constexpr std::uint32_t kStatisticsMs = 1000;
constexpr std::uint32_t kDialTimeoutMs = 60000;
constexpr std::uint32_t kPageRefreshMs = 1000;
constexpr std::uint32_t kConnectingMs = 100;
constexpr std::uint32_t kAutoSequenceMs = 400;
constexpr std::uint32_t kDialDelayMs = 300;
constexpr std::uint32_t kHangUpDelayMs = 300;

// Messages of the page.
constexpr MessageId kMsgProfileControls = WM_USER + 33;  // wParam 1 enable, 2 disable
constexpr MessageId kMsgPageImages = WM_USER + 34;       // wParam 14 activity, 15/16 network images
constexpr MessageId kMsgPreferenceDone = WM_USER + 211;  // the preference command was answered
constexpr MessageId kMsgWlanDone = WM_USER + 212;        // wParam 0 connected, 1 failed, else a text
constexpr WParam kWlanDoneOk = 0;
constexpr WParam kWlanDoneFailed = 1;
constexpr WParam kProfileControlsOn = 1;
constexpr WParam kProfileControlsOff = 2;
constexpr WParam kImageActivity = 14;

// Main window indicators (the status message) this page drives.
constexpr int kLinkIndicatorSendRate = 9;
constexpr int kLinkIndicatorReceiveRate = 10;
constexpr int kLinkIndicatorSentKB = 11;
constexpr int kLinkIndicatorReceivedKB = 12;
constexpr int kLinkIndicatorConnected = 13;

// Language strings of the dial.
constexpr int kStrIdDeviceMissing = 169;
constexpr int kStrIdDialError = 306;
constexpr int kStrIdAlreadyConnected = 307;
constexpr int kStrIdConnectDevice = 332;
constexpr int kStrIdDeviceConnected = 333;
constexpr int kStrIdAuthenticating = 334;
constexpr int kStrIdAuthenticated = 335;
constexpr int kStrIdConnected = 336;
constexpr int kStrIdDisconnected = 337;
constexpr int kStrIdCardNotReady = 350;
constexpr int kStrIdTimeoutAuthenticating = 414;
constexpr int kStrIdOpenPort = 415;
constexpr int kStrIdPortOpened = 416;
constexpr int kStrIdTimeoutOpenPort = 417;
constexpr int kStrIdTimeoutConnectDevice = 418;
constexpr int kStrIdAutoConnectFailed = 2100;
constexpr int kStrIdWlanNoDevice = 2140;
constexpr int kStrIdWlanConnectFailed = 2141;
constexpr int kStrIdWlanNoService = 2142;
constexpr int kStrIdWlanNoNetwork = 2143;
constexpr const char* kConnectErrorText = "Connect Error!";
constexpr const char* kPrefix3G = "3G:";
constexpr const char* kPrefix1X = "1X:";
// "已连接上网络!": already connected to the network.
constexpr const char* kAlreadyOnlineText = "\xD2\xD1\xC1\xAC\xBD\xD3\xC9\xCF\xCD\xF8\xC2\xE7!";

enum class Appearance { Idle, Connecting, Connected };

// What the logic asks of its window and of the rest of the program.
class InternetView {
public:
  virtual ~InternetView() = default;
  virtual void ShowAppearance(Appearance appearance, int connectedType) = 0;
  virtual void SetStatusText(const std::string& text) = 0;
  // Duration, kilobytes and bytes sent and received, the nominal rate.
  virtual void SetStatistics(const std::string& duration, const std::string& sentKB,
                             const std::string& receivedKB, const std::string& sentBytes,
                             const std::string& receivedBytes) = 0;
  virtual void SetNominalRate(const std::string& rate) = 0;
  virtual void SetRates(std::uint32_t sendKBps, std::uint32_t receiveKBps) = 0;
  // A message box (never waited for); the language string, or text.
  virtual void ShowMessage(const std::string& text) = 0;
  virtual void ShowLimitWarning(int stringId) = 0;
  virtual void PostIndicator(int indicator, std::int64_t value) = 0;
  // The state changed (the command line requests follow this).
  virtual void StateChanged(int state) = 0;
  // The profile to dial: false when there is no valid selection.
  virtual bool SelectedProfile(ConnProfileRecord& profile) = 0;
  // Compares the page's edit fields with profile and asks whether to keep
  // them (without waiting; the dial goes on with the stored profile).
  virtual void CheckEditedFields(const ConnProfileRecord& profile) = 0;
  virtual std::string DataPort() = 0;
  virtual int SimState() = 0;
  virtual std::string Text(int stringId) = 0;
};

// The modem's network preference, answered by kMsgPreferenceDone.
class PreferenceSender {
public:
  virtual ~PreferenceSender() = default;
  // False when the command was not written.
  virtual bool Send(int preference, WindowPort& window) = 0;
  // The answer did not come: empty the command slot.
  virtual void GiveUp() = 0;
};

// The wireless LAN connection of the page, answered by kMsgWlanDone.
class WlanConnector {
public:
  virtual ~WlanConnector() = default;
  // Starts connecting; the outcome arrives as kMsgWlanDone (the logic shows
  // no box while the automatic sequence runs).
  virtual void Connect(WindowPort& window, bool quiet) = 0;
  virtual void Stop() = 0;
  virtual void Disconnect() = 0;
  // At least one interface and the first one connected.
  virtual bool IsConnected() = 0;
};

class CInternetConnection : public WindowHandler {
public:
  CInternetConnection(WindowPort& window, InternetView& view, DialService& dial, PreferenceSender& preference,
                      WlanConnector& wlan, ConnectionRecords& records);

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;
  // Page commands (the connect, disconnect, automatic and cancel buttons).
  void OnCommand(int command);

  void Connect(int type);
  void Disconnect(int type);
  void Cancel();
  void StartAutoConnect();
  // The main window's start action.
  void StartAction(bool connectAtStart);
  // The automatic connection order (from "ConnSetData.dat").
  void SetAutoOrder(const std::int32_t order[3]);
  // Hang up now (the close of the page, the device no longer ready).
  void HangUp();

  int State() const { return state_; }
  int Phase() const { return phase_; }
  bool Connected() const { return connected_; }
  bool IsConnectionUp() const { return state_ <= kState1XConnected; }
  bool AutoActive() const { return autoActive_; }
  int AttemptIndex() const { return attemptIndex_; }
  std::uint32_t Session() const { return session_; }
  const std::string& EntryName() const { return entryName_; }
  const std::string& DurationShown() const { return duration_; }
  // The connection's duration and byte counts at the last statistics tick
  // (the counts followed across the dial's 32-bit wraps).
  std::uint32_t DurationMs() const { return previous_.connectDurationMs; }
  std::uint64_t BytesSent() const { return sentTotal_; }
  std::uint64_t BytesReceived() const { return receivedTotal_; }
  // When the service reported connected (for measuring the page's delay).
  const LogRecord& Record() const { return record_; }

private:
  void SetState(int state);
  void Appear(Appearance a);
  void AppearIdle() { Appear(Appearance::Idle); }
  void BeginDialUp(int type);
  void OnPreferenceDone();
  void Dial();
  void OnDialEvent(std::uint32_t dialState, int error);
  void OnConnectedEvent();
  void OnDisconnectedEvent(int error);
  void StatisticsTick();
  void Dropped();
  void DialTimeout();
  void AutoTick();
  void AttemptFailed();
  void FinishConnection();  // log record and totals of an ended connection
  void ClearDisplay();
  void ZeroIndicators();
  std::string ProgressText(int stringId) const;
  void Message(int stringId);

  WindowPort& window_;
  InternetView& view_;
  DialService& dial_;
  PreferenceSender& preference_;
  WlanConnector& wlan_;
  ConnectionRecords& records_;

  int state_ = kStateIdle;
  int requestedNetwork_ = 0;
  int phase_ = kPhaseDisconnected;
  std::uint32_t session_ = 0;
  bool connected_ = false;
  bool preferencePending_ = false;
  bool dialAfterPreference_ = false;
  LinkSample current_{};
  LinkSample previous_{};
  // The byte counts of previous_ followed across the 32-bit counters' wraps.
  std::uint64_t sentTotal_ = 0;
  std::uint64_t receivedTotal_ = 0;
  std::string duration_;
  std::string sentKB_, receivedKB_;
  std::string entryName_;
  LogRecord record_{};
  bool finished_ = true;  // the connection's totals were handed over

  bool autoActive_ = false;
  int attemptIndex_ = -1;
  bool attemptStarted_ = false;
  bool mayStartNext_ = false;
  bool attemptEnded_ = false;
  std::int32_t autoOrder_[3] = {0, 1, 2};
};

}  // namespace evdo
