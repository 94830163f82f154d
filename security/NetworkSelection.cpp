#include "security/NetworkSelection.h"

#include "security/CardAnswers.h"
#include "security/SecurityIds.h"

namespace evdo {

namespace {

constexpr int kAnimatedChars = 6;
constexpr int kCounterWrap = 7;

std::vector<int> Selection() {
  return std::vector<int>(std::begin(kCtlSelectionGroup), std::end(kCtlSelectionGroup));
}
std::vector<int> Preference() {
  return std::vector<int>(std::begin(kCtlPreferenceGroup), std::end(kCtlPreferenceGroup));
}

}  // namespace

std::size_t ProgressVisibleChars(std::size_t totalChars, int counter) {
  if (totalChars < static_cast<std::size_t>(kAnimatedChars)) return totalChars;
  std::size_t shown = totalChars - kAnimatedChars + static_cast<std::size_t>(counter);
  return shown > totalChars ? totalChars : shown;
}

CNetworkSelection::CNetworkSelection(CCommandExchange& exchange, WindowPort& self,
                                     NetworkPageView view)
    : exchange_(exchange, self), self_(self), view_(std::move(view)) {}

void CNetworkSelection::Enable(const std::vector<int>& controls, bool enabled) {
  if (view_.enable) view_.enable(controls, enabled);
}

void CNetworkSelection::Message(StringId id) {
  if (view_.showMessage) view_.showMessage(id);
}

void CNetworkSelection::Open(bool connected) {
  if (connected) {
    Enable(Selection(), false);
    Enable(Preference(), false);
    Message(kStrNetworkLockedWhileConnected);
    return;
  }
  Enable(Selection(), true);
  Enable(Preference(), true);
  SetMode(mode_);
}

void CNetworkSelection::SetMode(int mode) {
  mode_ = mode == 1 ? 1 : 0;
  bool manual = mode_ == 1;
  Enable({kCtlOperatorList, kCtlSearch}, manual);
  if (!manual) {
    entryCount_ = 0;
    if (view_.fillList) view_.fillList(OperatorList{});
  }
}

void CNetworkSelection::StartProgress(StringId text) {
  progressText_ = text;
  counter_ = 0;
  ShowProgress();
  self_.SetTimer(kProgressTimer, kProgressStepMs);
}

void CNetworkSelection::ShowProgress() {
  if (view_.showProgress) view_.showProgress(progressText_, counter_);
}

void CNetworkSelection::Search() {
  if (IsBusy()) return;
  command_ = kNetworkSearch;
  exchange_.Send(kCmdOperatorSearch, kNetworkTimer, kNetworkWaitMs,
                 [this](CommandOutcome o, const CommandReply& r) { OnSearchAnswer(o, r); });
  if (!IsBusy()) return;  // not written: the controls stay as they are
  Enable(Selection(), false);
  StartProgress(kStrSearchingNetworks);
}

void CNetworkSelection::OnSearchAnswer(CommandOutcome outcome, const CommandReply& reply) {
  if (outcome == CommandOutcome::NotWritten) {
    command_ = kNetworkIdle;
    return;
  }
  if (outcome == CommandOutcome::TimedOut) {
    Message(kStrModemTimeout);
  } else if (IsSearchError(reply.Line(0)) || !IsOkAnswer(reply)) {
    Message(kStrNetworkSearchFailed);
  } else {
    OperatorList list = ParseSearchAnswer(reply.Line(0));
    entryCount_ = list.count;
    if (view_.fillList) view_.fillList(list);
  }
  self_.PostMessage(kMsgNetworkDone, static_cast<WParam>(kNetworkSearch), 1);
  command_ = kNetworkIdle;
}

void CNetworkSelection::Register(int selectedRow, std::string_view shortName) {
  if (IsBusy()) return;
  std::string command;
  if (mode_ == 0) {
    command = kCmdAutomaticRegistration;
  } else {
    if (entryCount_ == 0) return;
    if (selectedRow < 0) return Message(kStrSelectEntry);
    command = ManualRegistrationCommand(shortName);
    if (command.empty()) return Message(kStrRegistrationFailed);
  }
  command_ = kNetworkRegister;
  exchange_.Send(command, kNetworkTimer, kNetworkWaitMs,
                 [this](CommandOutcome o, const CommandReply& r) { OnRegisterAnswer(o, r); });
  if (!IsBusy()) return;
  Enable(Selection(), false);
  StartProgress(kStrRegistering);
}

void CNetworkSelection::OnRegisterAnswer(CommandOutcome outcome, const CommandReply& reply) {
  if (outcome == CommandOutcome::NotWritten) {
    command_ = kNetworkIdle;
    return;
  }
  if (outcome == CommandOutcome::TimedOut) {
    Message(kStrModemTimeout);
  } else if (!IsOkAnswer(reply)) {
    Message(kStrRegistrationFailed);
  }
  self_.PostMessage(kMsgNetworkDone, static_cast<WParam>(kNetworkRegister), 1);
  command_ = kNetworkIdle;
}

void CNetworkSelection::SetPreference(int index) {
  if (IsBusy()) return;
  std::string command = PreferenceCommand(index);
  if (command.empty()) return Message(kStrPreferenceFailed);
  command_ = kNetworkPreference;
  exchange_.Send(command, kPreferenceTimer, kPreferenceWaitMs,
                 [this](CommandOutcome o, const CommandReply& r) { OnPreferenceAnswer(o, r); });
  if (!IsBusy()) return;
  Enable(Preference(), false);
}

void CNetworkSelection::OnPreferenceAnswer(CommandOutcome outcome, const CommandReply& reply) {
  if (outcome == CommandOutcome::NotWritten) {
    command_ = kNetworkIdle;
    return;
  }
  if (outcome == CommandOutcome::TimedOut) {
    Message(kStrModemTimeout);
  } else if (std::string_view(reply.Line(0)) != "OK") {
    Message(kStrPreferenceFailed);
  }
  self_.PostMessage(kMsgNetworkDone, static_cast<WParam>(kNetworkPreference), 1);
  command_ = kNetworkIdle;
}

void CNetworkSelection::Finished(int mode) {
  self_.KillTimer(kProgressTimer);
  counter_ = 0;
  if (view_.hideProgress) view_.hideProgress();
  if (mode == kNetworkRegister) {
    Enable({kCtlModeAutomatic, kCtlModeManual, kCtlRegister}, true);
    if (mode_ == 1) Enable({kCtlOperatorList, kCtlSearch}, true);
  } else if (mode == kNetworkSearch) {
    Enable(Selection(), true);
  } else if (mode == kNetworkPreference) {
    Enable(Preference(), true);
  }
}

void CNetworkSelection::OnMessage(MessageId message, WParam wParam, LParam lParam) {
  if (message == kMsgNetworkDone) return Finished(static_cast<int>(wParam));
  exchange_.OnMessage(message, wParam, lParam);
}

void CNetworkSelection::OnTimer(TimerId timerId) {
  if (timerId == kProgressTimer) {
    if (++counter_ == kCounterWrap) counter_ = 0;
    ShowProgress();
    return;
  }
  exchange_.OnTimer(timerId);
}

}  // namespace evdo
