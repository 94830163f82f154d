#include "device/status/StatusHandlers.h"

#include <string>

#include "core/text/FixedText.h"
#include "device/status/StatusAnswers.h"

namespace evdo {

std::string_view BlockLines::Line(std::size_t index) const {
  if (index >= count_) return {};
  return FieldText(cells_[index]);
}

std::string_view BlockLines::Last() const {
  return count_ == 0 ? std::string_view() : Line(count_ - 1u);
}

namespace {

bool AnsweredOk(const BlockLines& block) { return block.Last() == kOkLine; }

}  // namespace

void ApplyServiceAnswer(CDeviceStatus& status, const BlockLines& block) {
  std::optional<ServiceAnswer> answer = ReadServiceAnswer(block.Line(0));
  if (!answer) return;
  status.Pin().simState = answer->simState;
  if (answer->pinLock) status.Pin().pinLock = *answer->pinLock;
}

void ApplyCsmssAnswer(CDeviceStatus& status, const BlockLines& block) {
  if (!AnsweredOk(block)) return;
  if (std::optional<int> value = NumberAfter(block.Line(0), kCsmssAnswerPrefix)) {
    status.csmssValue = *value;
  }
}

void ApplyOperatorAnswer(CDeviceStatus& status, const BlockLines& block) {
  if (AnsweredOk(block) && StartsWith(block.Line(0), kOperatorAnswerPrefix)) {
    status.SetOperatorText(QuotedTextAfter(block.Line(0), kOperatorAnswerPrefix));
  }
  status.Post(StatusKind::OperatorShown, 1);
}

void ApplyNetworkTypeAnswer(CDeviceStatus& status, const BlockLines& block) {
  if (!AnsweredOk(block)) return;
  std::optional<int> value = NumberAfterUpToComma(block.Line(0), kNetworkTypeAnswerPrefix);
  if (!value) return;
  status.networkStatus = *value;
  status.Post(StatusKind::NetworkType, ShownNetworkType(*value));
}

void ApplyRoamingAnswer(CDeviceStatus& status, const BlockLines& block) {
  if (!AnsweredOk(block)) return;
  std::optional<int> value = NumberAfter(block.Line(0), kRoamingAnswerPrefix);
  if (!value) return;
  status.roaming = *value;
  status.Post(StatusKind::Roaming, *value);
}

void ApplySignalAnswer(CDeviceStatus& status, const BlockLines& block) {
  int level = SignalLevelFromAnswer(block.Line(0));
  status.Post(StatusKind::SignalLevel, level);
  status.Post(StatusKind::OperatorShown, level != kNoSignalLevel ? 1 : 0);
}

void ApplyServiceCentreAnswer(CDeviceStatus&, const BlockLines& block) {
  SetServiceCentreText({});
  if (block.Line(1) == kOkLine) SetServiceCentreText(ServiceCentreNumber(block.Line(0)));
}

void OnRssi(CDeviceStatus& status, const BlockLines& block) {
  if (!StartsWith(block.Last(), kRssiPrefix)) return;
  int level = SignalLevelFromRssi(block.Last());
  status.Post(StatusKind::SignalLevel, level);
  if (level == kNoSignalLevel) {
    status.Post(StatusKind::OperatorShown, 0);
  } else if (status.HasOperatorText()) {
    status.Post(StatusKind::OperatorShown, 1);
  }
}

void OnCsmss(CDeviceStatus& status, const BlockLines& block) {
  std::optional<int> value = NumberAfter(block.Last(), kCsmssNotificationPrefix);
  if (!value) return;
  status.csmssValue = *value;
  status.SignalReply(status.csmssReply);
}

void OnNetworkStatus(CDeviceStatus& status, const BlockLines& block) {
  std::optional<int> value = NumberAfterUpToComma(block.Last(), kNetworkStatusPrefix);
  if (!value) return;
  status.networkStatus = *value;
  status.Post(StatusKind::NetworkStatus, *value);
}

void OnNetworkService(CDeviceStatus& status, const BlockLines& block) {
  std::optional<int> value = NumberAfter(block.Last(), kNetworkServicePrefix);
  if (!value) return;
  status.networkService = *value;
  status.Post(StatusKind::NetworkType, ShownNetworkType(*value));
}

void OnRoamingStatus(CDeviceStatus& status, const BlockLines& block) {
  std::optional<int> value = NumberAfter(block.Last(), kRoamingStatusPrefix);
  if (!value) return;
  status.roaming = *value;
  status.Post(StatusKind::Roaming, *value);
}

void OnSimReady(CDeviceStatus& status, const BlockLines& block) {
  if (StartsWith(block.Last(), kSimReadyPrefix)) status.SignalReply(status.simReady);
}

void OnCurrentPlmn(CDeviceStatus& status, const BlockLines& block) {
  if (!StartsWith(block.Last(), kCurrentPlmnPrefix)) return;
  status.SetOperatorText(PlmnName(block.Last()));
  status.Post(StatusKind::OperatorShown, 1);
}

void OnSrvStatus(CDeviceStatus& status, const BlockLines& block) {
  std::optional<int> value = NumberAfter(block.Last(), kSrvStatusPrefix);
  if (!value) return;
  status.serviceStatus = *value;
  status.Post(StatusKind::ServiceStatus, *value);
}

}  // namespace evdo
