#pragma once
// The status message: posted to the main window with the kind of indicator in
// wParam and its value in lParam.
#include "core/event/WindowPort.h"

namespace evdo {

inline constexpr MessageId kStatusMessage = WM_USER + 25;

// Private messages and timers of the device status sequences. The main
// window routes them to its status command exchange and its initialisation
// sequence.
// A reply event of the device status record was set.
inline constexpr MessageId kStatusReplyWake = WM_USER + 120;
// The time-out of the status command outstanding.
inline constexpr TimerId kStatusCommandTimer = 120;
// The initialisation sequence's waits, and its watch of the SIM state while
// the PIN entry runs.
inline constexpr TimerId kInitWaitTimer = 121;
inline constexpr TimerId kSimWatchTimer = 122;

// Kinds posted by the device status handlers. The other kinds of the same
// message belong to messaging, calls, traffic and the connection.
enum class StatusKind : WParam {
  SignalLevel = 0,    // 0..6, 6 = no signal
  NetworkStatus = 1,  // last "Network status: " value
  Roaming = 2,        // roaming value
  OperatorShown = 5,  // 1 = show the operator text, 0 = no service
  ServiceStatus = 6,  // "Srv status: " value
  NetworkType = 8,    // network type 0..2 (low byte)
};

inline void PostStatus(WindowPort& window, StatusKind kind, int value) {
  window.PostMessage(kStatusMessage, static_cast<WParam>(kind), static_cast<LParam>(value));
}

}  // namespace evdo
