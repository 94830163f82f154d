#include "device/status/DeviceStatus.h"

#include "core/text/FixedText.h"

namespace evdo {

static_assert(kOperatorTextSize == 128);

CDeviceStatus::CDeviceStatus() { Reset(); }

void CDeviceStatus::Reset() {
  networkStatus = 0;
  networkService = 0;
  roaming = 0;
  serviceStatus = kServiceStatusReset;
  csmssValue = 0;
  SetOperatorText({});
}

void CDeviceStatus::Post(StatusKind kind, int value) {
  if (window_ != nullptr) PostStatus(*window_, kind, value);
}

void CDeviceStatus::SignalReply(Event& event) {
  event.Set();
  if (waiter_ != nullptr) waiter_->PostMessage(kStatusReplyWake);
}

bool CDeviceStatus::IsInitialising() const {
  std::lock_guard lock(statusLock_);
  return initialising_;
}

void CDeviceStatus::SetInitialising(bool initialising) {
  std::lock_guard lock(statusLock_);
  initialising_ = initialising;
}

std::string CDeviceStatus::OperatorText() const {
  std::lock_guard lock(operatorLock_);
  return std::string(FieldText(operatorText_));
}

void CDeviceStatus::SetOperatorText(std::string_view text) {
  std::lock_guard lock(operatorLock_);
  SetFieldText(operatorText_, text);
}

bool CDeviceStatus::HasOperatorText() const {
  std::lock_guard lock(operatorLock_);
  return operatorText_[0] != '\0';
}

namespace {

std::mutex serviceCentreLock;
char serviceCentreText[kServiceCentreTextSize] = {};
static_assert(sizeof serviceCentreText == 42);

}  // namespace

std::string ServiceCentreText() {
  std::lock_guard lock(serviceCentreLock);
  return std::string(FieldText(serviceCentreText));
}

void SetServiceCentreText(std::string_view text) {
  std::lock_guard lock(serviceCentreLock);
  SetFieldText(serviceCentreText, kServiceCentreMaxChars + 1, text);
}

}  // namespace evdo
