#pragma once
// The main window's status indicators: what the status message WM_USER+25
// (indicator number, value) changes on screen. Images are picture ids of the
// skin's indicator set, texts are a language string and/or a formatted value.
#include <cstdint>
#include <string>
#include <string_view>

#include "core/event/WindowPort.h"
#include "ui/StringIds.h"

namespace evdo {

constexpr MessageId kMsgStatus = WM_USER + 25;        // wParam indicator, lParam value
constexpr MessageId kMsgInternetStatus = WM_USER + 34;  // to the Internet page
constexpr WParam kInternetNetworkType = 15;            // carries indicator 8
constexpr WParam kInternetSignal = 16;                 // carries indicator 0

// Indicator numbers of the status message.
enum StatusIndicator : int {
  kIndicatorSignal = 0,
  kIndicatorNetworkStatus = 1,
  kIndicatorRoaming = 2,
  kIndicatorUnread = 3,
  kIndicatorInboxFull = 4,
  kIndicatorOperator = 5,
  kIndicatorService = 6,
  kIndicatorCall = 7,
  kIndicatorNetworkType = 8,
  kIndicatorSendRate = 9,
  kIndicatorReceiveRate = 10,
  kIndicatorSentKb = 11,
  kIndicatorReceivedKb = 12,
  kIndicatorConnected = 13,
};
constexpr int kIndicatorCount = 14;

// Picture ids shown by the image indicators.
constexpr int kPicBlank = 242;
constexpr int kPicRoaming = 254;
constexpr int kPicUnread = 235;
constexpr int kPicConnected = 4064;
constexpr int kPicNotConnected = 4065;

// The highest signal level; it means "no signal".
constexpr int kSignalNone = 6;

struct IndicatorContext {
  bool callPage = true;           // Main_nCall non-zero
  std::string_view operatorText;  // the device status record's operator text
};

struct IndicatorChange {
  enum class Show { Nothing, Picture, Text };
  Show show = Show::Nothing;
  int indicator = 0;
  int pictureId = 0;    // Show::Picture
  StringId stringId = 0;  // Show::Text: a language string shown first (0: none)
  std::string text;     // Show::Text: shown after the string (or alone)
  // Set for the indicators the Internet page also shows (0 and 8).
  bool forward = false;
  WParam forwardKind = 0;

  bool IsValid() const { return show != Show::Nothing || forward; }
};

// What the status message (indicator, value) changes. The signal level (0)
// shows as bars here and is also handed to the Internet page. A value outside an
// indicator's table changes nothing and forwards nothing.
IndicatorChange ResolveIndicator(int indicator, LParam value, const IndicatorContext& context);

}  // namespace evdo
