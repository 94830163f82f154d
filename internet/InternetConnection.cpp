#include "internet/InternetConnection.h"

#include <algorithm>

#include <cstdio>

#include "internet/DialTexts.h"

namespace evdo {
namespace {

constexpr int kSimReady = 22;
constexpr const char* kRate3G = "3.1Mbps";
constexpr const char* kRate1X = "153.6Kbps";

}  // namespace

CInternetConnection::CInternetConnection(WindowPort& window, InternetView& view, DialService& dial,
                                         PreferenceSender& preference, WlanConnector& wlan,
                                         ConnectionRecords& records)
    : window_(window), view_(view), dial_(dial), preference_(preference), wlan_(wlan), records_(records) {}

void CInternetConnection::SetAutoOrder(const std::int32_t order[3]) {
  for (int i = 0; i < 3; ++i) {
    const std::int32_t t = order[i];
    autoOrder_[i] = (t >= kConnTypeWlan && t <= kConnType1X) ? t : i;
  }
}

void CInternetConnection::SetState(int state) {
  if (state_ == state) return;
  state_ = state;
  view_.StateChanged(state);
}

void CInternetConnection::Appear(Appearance a) {
  view_.ShowAppearance(a, state_ <= kState1XConnected ? state_ : -1);
}

std::string CInternetConnection::ProgressText(int stringId) const {
  std::string prefix;
  if (state_ == kState1XConnecting) prefix = kPrefix1X;
  if (state_ == kState3GConnecting) prefix = kPrefix3G;
  return prefix + view_.Text(stringId);
}

void CInternetConnection::Message(int stringId) { view_.ShowMessage(view_.Text(stringId)); }

void CInternetConnection::OnCommand(int command) {
  switch (command) {
    case kCmdConnectWlan: return Connect(kConnTypeWlan);
    case kCmdConnect3G: return Connect(kConnType3G);
    case kCmdConnect1X: return Connect(kConnType1X);
    case kCmdDisconnectWlan: return Disconnect(kConnTypeWlan);
    case kCmdDisconnect3G: return Disconnect(kConnType3G);
    case kCmdDisconnect1X: return Disconnect(kConnType1X);
    case kCmdAutoConnect: return StartAutoConnect();
    case kCmdCancel: return Cancel();
    default: return;
  }
}

void CInternetConnection::Connect(int type) {
  // A connection under way finishes (or is cancelled) first.
  if (state_ >= kStateWlanConnecting && state_ <= kState1XConnecting) return;
  if (type == kConnTypeWlan) {
    if (state_ == kState3GConnected || state_ == kState1XConnected) Disconnect(state_);
    if (state_ == kStateWlanConnected) return;
    SetState(kStateWlanConnecting);
    Appear(Appearance::Connecting);
    window_.SetTimer(kTimerConnecting, kConnectingMs);
    wlan_.Connect(window_, autoActive_);
    return;
  }
  if (type != kConnType3G && type != kConnType1X) return;
  const int mine = type == kConnType3G ? kState3GConnected : kState1XConnected;
  if (state_ == mine) return;
  if (state_ <= kState1XConnected) {
    // The other dial-up type's hang-up sets no preference: this dial sets its own.
    const int other = state_;
    if (other == kStateWlanConnected) {
      Disconnect(kConnTypeWlan);
    } else {
      HangUp();
      SetState(kStateIdle);
      view_.SetStatusText("");
    }
  }
  BeginDialUp(type);
}

void CInternetConnection::BeginDialUp(int type) {
  requestedNetwork_ = type == kConnType3G ? kPreference3G : kPreference1X;
  SetState(type == kConnType3G ? kState3GConnecting : kState1XConnecting);
  Appear(Appearance::Connecting);
  window_.SetTimer(kTimerConnecting, kConnectingMs);
  dialAfterPreference_ = true;
  if (preference_.Send(requestedNetwork_, window_)) {
    preferencePending_ = true;
    window_.SetTimer(kTimerPreference, kPreferenceTimeoutMs);
  } else {
    OnPreferenceDone();
  }
}

void CInternetConnection::OnPreferenceDone() {
  preferencePending_ = false;
  window_.KillTimer(kTimerPreference);
  if (!dialAfterPreference_) return;
  dialAfterPreference_ = false;
  if (state_ == kState3GConnecting || state_ == kState1XConnecting) Dial();
}

void CInternetConnection::Dial() {
  auto fail = [this] {
    window_.KillTimer(kTimerConnecting);
    view_.SetNominalRate("");
    SetState(kStateIdle);
    if (autoActive_)
      AttemptFailed();
    else
      AppearIdle();
  };
  ConnProfileRecord profile{};
  if (!view_.SelectedProfile(profile)) return fail();
  if (view_.SimState() != kSimReady) {
    Message(kStrIdCardNotReady);
    return fail();
  }
  DialRequest request;
  request.entryName = profile.name;
  request.phoneNumber = profile.phoneNumber;
  request.userName = profile.userName;
  request.password = profile.password;
  request.authType = profile.authType;
  request.dataPort = view_.DataPort();
  if (int why = dial_.Preflight(request); why != 0) {
    Message(why);
    return fail();
  }
  window_.PostMessage(kMsgProfileControls, kProfileControlsOff);
  current_ = LinkSample{};
  previous_ = LinkSample{};
  sentTotal_ = receivedTotal_ = 0;
  if (session_ != 0 && dial_.Status(session_) == kDialConnected) {
    connected_ = true;
    window_.PostMessage(kMsgProfileControls, kProfileControlsOff);
    window_.SetTimer(kTimerStatistics, kStatisticsMs);
    view_.ShowMessage(entryName_ + view_.Text(kStrIdAlreadyConnected));
    return;
  }
  view_.CheckEditedFields(profile);
  entryName_ = profile.name;
  int error = 0;
  session_ = dial_.Dial(request, window_, error);
  window_.SetTimer(kTimerDialTimeout, kDialTimeoutMs);
  if (session_ == 0) {
    window_.KillTimer(kTimerDialTimeout);
    window_.PostMessage(kMsgProfileControls, kProfileControlsOn);
    std::string text;
    if (int id = dial_.ErrorString(error); id != 0) text = view_.Text(id);
    if (text.empty()) {
      char buffer[256];
      std::snprintf(buffer, sizeof buffer, view_.Text(kStrIdDialError).c_str(), error);
      text = buffer;
    }
    view_.ShowMessage(text);
    entryName_.clear();
    fail();
  }
}

void CInternetConnection::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  switch (message) {
    case kMsgDialEvent:
      if (session_ == 0 || DialEventSession(lParam) != session_) return;  // an ended dial
      return OnDialEvent(static_cast<std::uint32_t>(wParam), DialEventError(lParam));
    case kMsgPreferenceDone:
      if (preferencePending_) OnPreferenceDone();
      return;
    case kMsgWlanDone:
      if (state_ != kStateWlanConnecting) return;  // cancelled meanwhile
      window_.KillTimer(kTimerConnecting);
      if (wParam == 0) {
        SetState(kStateWlanConnected);
        if (!autoActive_) Appear(Appearance::Connected);
      } else {
        SetState(kStateIdle);
        if (autoActive_) {
          AttemptFailed();
        } else {
          // 1: the service refused; a larger value names the reason's text.
          Message(wParam == kWlanDoneFailed ? kStrIdWlanConnectFailed : static_cast<int>(wParam));
          AppearIdle();
        }
      }
      return;
    default: return;
  }
}

void CInternetConnection::OnDialEvent(std::uint32_t dialState, int error) {
  int text = 0;
  int phase = -1;
  switch (dialState) {
    case kDialOpenPort: text = kStrIdOpenPort; phase = kPhaseOpenPort; break;
    case kDialPortOpened: text = kStrIdPortOpened; phase = kPhasePortOpened; break;
    case kDialConnectDevice: text = kStrIdConnectDevice; phase = kPhaseConnectDevice; break;
    case kDialDeviceConnected: text = kStrIdDeviceConnected; phase = kPhaseDeviceConnected; break;
    case kDialAuthenticate: text = kStrIdAuthenticating; phase = kPhaseAuthenticating; break;
    case kDialAuthenticated: text = kStrIdAuthenticated; phase = kPhaseAuthenticated; break;
    case kDialConnected: return OnConnectedEvent();
    case kDialDisconnected: return OnDisconnectedEvent(error);
    default: return;
  }
  view_.SetStatusText(ProgressText(text));
  phase_ = phase;
  if (autoActive_) {
    attemptStarted_ = true;
    attemptEnded_ = false;
  }
}

void CInternetConnection::OnConnectedEvent() {
  view_.SetStatusText(view_.Text(kStrIdConnected));
  phase_ = kPhaseConnected;
  window_.KillTimer(kTimerConnecting);
  window_.KillTimer(kTimerDialTimeout);
  view_.SetNominalRate(requestedNetwork_ == kPreference3G ? kRate3G : kRate1X);
  SetState(requestedNetwork_ == kPreference3G ? kState3GConnected : kState1XConnected);
  record_ = LogRecord{};
  record_.start = DateTime::Now();
  connected_ = true;
  finished_ = false;
  records_.NewConnection();
  if (autoActive_) {
    attemptEnded_ = true;
    attemptStarted_ = false;
    mayStartNext_ = false;
  } else {
    Appear(Appearance::Connected);
  }
  window_.PostMessage(kMsgProfileControls, kProfileControlsOff);
  window_.SetTimer(kTimerStatistics, kStatisticsMs);
  view_.PostIndicator(kLinkIndicatorConnected, 1);
}

void CInternetConnection::OnDisconnectedEvent(int error) {
  if (connected_) return Dropped();
  const int shownPhase = phase_;
  view_.SetStatusText(view_.Text(shownPhase == kPhaseConnectDevice ? kStrIdTimeoutConnectDevice : kStrIdDisconnected));
  phase_ = kPhaseDisconnected;
  view_.SetNominalRate("");
  window_.KillTimer(kTimerConnecting);
  window_.KillTimer(kTimerStatistics);
  window_.KillTimer(kTimerDialTimeout);
  session_ = 0;
  connected_ = false;
  entryName_.clear();
  window_.PostMessage(kMsgProfileControls, kProfileControlsOn);
  // The service's own reason for a dial that failed.
  if (error != 0 && !autoActive_) {
    if (int id = dial_.ErrorString(error); id != 0) view_.ShowMessage(view_.Text(id));
  }
  SetState(kStateIdle);
  if (autoActive_)
    AttemptFailed();
  else
    AppearIdle();
}

void CInternetConnection::OnTimer(TimerId timerId) {
  // Nothing of the connection goes on once the card is no longer ready.
  const bool live = session_ != 0 || connected_;
  if (live && (timerId == kTimerStatistics || timerId == kTimerDialTimeout || timerId == kTimerConnecting) &&
      view_.SimState() != kSimReady) {
    HangUp();
    SetState(kStateIdle);
    if (autoActive_)
      AttemptFailed();
    else
      AppearIdle();
    return;
  }
  switch (timerId) {
    case kTimerStatistics: return StatisticsTick();
    case kTimerDialTimeout: return DialTimeout();
    case kTimerAutoSequence: return AutoTick();
    case kTimerConnecting: return;  // the view animates
    case kTimerDial:
      window_.KillTimer(kTimerDial);
      if (state_ == kStateIdle) BeginDialUp(kConnType3G);
      return;
    case kTimerHangUp:
      window_.KillTimer(kTimerHangUp);
      HangUp();
      SetState(kStateIdle);
      AppearIdle();
      return;
    case kTimerPreference:
      window_.KillTimer(kTimerPreference);
      if (preferencePending_) {
        preference_.GiveUp();
        OnPreferenceDone();
      }
      return;
    default: return;
  }
}

void CInternetConnection::StatisticsTick() {
  const std::uint32_t status = dial_.Status(session_);
  if (status != kDialConnected) {
    if (status == 0 && connected_ && session_ != 0) Dropped();
    return;
  }
  if (!dial_.Statistics(session_, current_)) return;
  duration_ = DurationText(previous_.connectDurationMs, current_.connectDurationMs);
  // The dial's counters are 32-bit: a connection past 4 GiB wraps them.
  const std::uint64_t sent = FollowCounter(sentTotal_, previous_.bytesSent, current_.bytesSent);
  const std::uint64_t received = FollowCounter(receivedTotal_, previous_.bytesReceived, current_.bytesReceived);
  sentKB_ = KilobyteText(sent);
  receivedKB_ = KilobyteText(received);
  view_.SetStatistics(duration_, sentKB_, receivedKB_, GroupedBytes(sent), GroupedBytes(received));
  if (current_.connectDurationMs == 0) {
    ZeroIndicators();
    view_.SetRates(0, 0);
    window_.PostMessage(kMsgPageImages, kImageActivity, 0);
    return;
  }
  const std::uint32_t sendRate = TickRate(current_.bytesSent, previous_.bytesSent);
  const std::uint32_t receiveRate = TickRate(current_.bytesReceived, previous_.bytesReceived);
  view_.PostIndicator(kLinkIndicatorConnected, 1);
  view_.PostIndicator(kLinkIndicatorSentKB, static_cast<std::int64_t>(sent / 1024));
  view_.PostIndicator(kLinkIndicatorReceivedKB, static_cast<std::int64_t>(received / 1024));
  view_.PostIndicator(kLinkIndicatorSendRate, sendRate);
  view_.PostIndicator(kLinkIndicatorReceiveRate, receiveRate);
  view_.SetRates(sendRate / 8192, receiveRate / 8192);
  window_.PostMessage(kMsgPageImages, kImageActivity, ActivityOf(sendRate / 8192, receiveRate / 8192));
  const std::int64_t minutes = current_.connectDurationMs / 60000;
  if (int warning = records_.CheckLimit(minutes, sent, received); warning != 0) view_.ShowLimitWarning(warning);
  previous_ = current_;
  sentTotal_ = sent;
  receivedTotal_ = received;
}

void CInternetConnection::FinishConnection() {
  if (finished_) return;
  finished_ = true;
  const std::uint32_t ms = current_.connectDurationMs > previous_.connectDurationMs ? current_.connectDurationMs
                                                                                     : previous_.connectDurationMs;
  record_.duration = ms / 1000;
  // The log keeps 32-bit byte counts: a larger connection is logged as the
  // largest count rather than its wrapped remainder.
  constexpr std::uint64_t kMaxLogged = UINT32_MAX;
  record_.sent = static_cast<std::uint32_t>(std::min(sentTotal_, kMaxLogged));
  record_.received = static_cast<std::uint32_t>(std::min(receivedTotal_, kMaxLogged));
  constexpr std::uint64_t kMaxKB = INT32_MAX;
  records_.AddTotals(static_cast<std::int32_t>(std::min(sentTotal_ / 1024, kMaxKB)),
                     static_cast<std::int32_t>(std::min(receivedTotal_ / 1024, kMaxKB)), MinutesOfDuration(duration_));
  records_.AppendLog(record_);
}

void CInternetConnection::Dropped() {
  FinishConnection();
  session_ = 0;
  connected_ = false;
  window_.KillTimer(kTimerStatistics);
  window_.KillTimer(kTimerDialTimeout);
  window_.PostMessage(kMsgProfileControls, kProfileControlsOn);
  ClearDisplay();
  ZeroIndicators();
  view_.SetNominalRate("");
  entryName_.clear();
  SetState(kStateIdle);
  if (autoActive_)
    AttemptFailed();
  else
    AppearIdle();
  view_.SetStatusText(view_.Text(phase_ == kPhaseConnectDevice ? kStrIdTimeoutConnectDevice : kStrIdDisconnected));
  phase_ = kPhaseDisconnected;
}

void CInternetConnection::DialTimeout() {
  if (dial_.Status(session_) == kDialConnected) {
    connected_ = true;
    window_.PostMessage(kMsgProfileControls, kProfileControlsOff);
    window_.KillTimer(kTimerDialTimeout);
    return;
  }
  const int phase = phase_;
  HangUp();
  view_.SetStatusText("");
  window_.PostMessage(kMsgProfileControls, kProfileControlsOn);
  window_.KillTimer(kTimerDialTimeout);
  window_.KillTimer(kTimerConnecting);
  std::string text;
  switch (phase) {
    case kPhaseOpenPort: text = view_.Text(kStrIdTimeoutOpenPort); break;
    case kPhaseConnectDevice: text = view_.Text(kStrIdTimeoutConnectDevice); break;
    case kPhaseAuthenticating: text = view_.Text(kStrIdTimeoutAuthenticating); break;
    default: text = kConnectErrorText; break;
  }
  view_.SetStatusText(text);
  phase_ = kPhaseDisconnected;
  SetState(kStateIdle);
  if (autoActive_)
    AttemptFailed();
  else
    AppearIdle();
}

void CInternetConnection::HangUp() {
  dialAfterPreference_ = false;
  if (connected_) {
    FinishConnection();
    if (session_ != 0) dial_.HangUp(session_);
    session_ = 0;
    window_.KillTimer(kTimerStatistics);
    window_.KillTimer(kTimerDialTimeout);
    connected_ = false;
    ClearDisplay();
  } else {
    if (session_ != 0) dial_.HangUp(session_);
    session_ = 0;
    window_.KillTimer(kTimerDialTimeout);
    view_.SetStatusText("");
  }
  phase_ = kPhaseDisconnected;
  entryName_.clear();
  view_.SetNominalRate("");
  window_.PostMessage(kMsgProfileControls, kProfileControlsOn);
  ZeroIndicators();
  window_.PostMessage(kMsgPageImages, kImageActivity, 0);
  view_.SetRates(0, 0);
}

void CInternetConnection::ClearDisplay() {
  duration_.clear();
  sentKB_.clear();
  receivedKB_.clear();
  current_ = LinkSample{};
  previous_ = LinkSample{};
  sentTotal_ = receivedTotal_ = 0;
  view_.SetStatistics("", "", "", "", "");
}

void CInternetConnection::ZeroIndicators() {
  for (int indicator : {kLinkIndicatorSentKB, kLinkIndicatorReceivedKB, kLinkIndicatorSendRate, kLinkIndicatorReceiveRate,
                        kLinkIndicatorConnected})
    view_.PostIndicator(indicator, 0);
}

void CInternetConnection::Disconnect(int type) {
  if (type == kConnTypeWlan) {
    if (state_ != kStateWlanConnected) return;
    wlan_.Disconnect();
  } else if (type == kConnType3G) {
    if (state_ != kState3GConnected) return;
    HangUp();
  } else if (type == kConnType1X) {
    if (state_ != kState1XConnected) return;
    HangUp();
    // Back to the preferred network for the next connection.
    if (!preferencePending_ && preference_.Send(kPreference3G, window_)) {
      preferencePending_ = true;
      window_.SetTimer(kTimerPreference, kPreferenceTimeoutMs);
    }
  } else {
    return;
  }
  SetState(kStateIdle);
  view_.SetStatusText("");
  AppearIdle();
}

void CInternetConnection::Cancel() {
  if (autoActive_) {
    window_.KillTimer(kTimerAutoSequence);
    autoActive_ = false;
    attemptIndex_ = -1;
  }
  window_.KillTimer(kTimerConnecting);
  if (state_ == kStateWlanConnecting) {
    wlan_.Stop();
  } else if (state_ == kState3GConnecting || state_ == kState1XConnecting) {
    HangUp();
  }
  SetState(kStateIdle);
  AppearIdle();
}

void CInternetConnection::StartAutoConnect() {
  if (state_ <= kState1XConnected) {
    view_.ShowMessage(kAlreadyOnlineText);
    return;
  }
  if (autoActive_ || state_ != kStateIdle) return;  // a connection or sequence runs
  autoActive_ = true;
  attemptEnded_ = false;
  attemptStarted_ = false;
  mayStartNext_ = true;
  attemptIndex_ = 0;
  SetState(kStateIdle);
  window_.SetTimer(kTimerAutoSequence, kAutoSequenceMs);
}

void CInternetConnection::AutoTick() {
  if (!autoActive_) {
    window_.KillTimer(kTimerAutoSequence);
    return;
  }
  if (state_ <= kState1XConnected) {
    window_.KillTimer(kTimerAutoSequence);
    autoActive_ = false;
    attemptIndex_ = -1;
    Appear(Appearance::Connected);
    return;
  }
  if (state_ != kStateIdle) return;
  if (attemptIndex_ > 2) {
    window_.KillTimer(kTimerAutoSequence);
    autoActive_ = false;
    attemptIndex_ = -1;
    view_.ShowMessage(view_.Text(kStrIdAutoConnectFailed));
    AppearIdle();
    return;
  }
  if (mayStartNext_ && !attemptStarted_) {
    window_.KillTimer(kTimerAutoSequence);
    mayStartNext_ = false;
    attemptStarted_ = true;
    Connect(autoOrder_[attemptIndex_]);
    if (autoActive_) window_.SetTimer(kTimerAutoSequence, kAutoSequenceMs);
  }
}

void CInternetConnection::AttemptFailed() {
  attemptEnded_ = true;
  attemptStarted_ = false;
  mayStartNext_ = true;
  ++attemptIndex_;
}

void CInternetConnection::StartAction(bool connectAtStart) {
  if (connectAtStart) return StartAutoConnect();
  if (state_ != kStateIdle) return;
  if (wlan_.IsConnected()) {
    SetState(kStateWlanConnected);
    Appear(Appearance::Connected);
  } else {
    SetState(kStateIdle);
    AppearIdle();
  }
}

}  // namespace evdo
