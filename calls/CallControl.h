#pragma once
// The call page's logic: the number field with its keypad rules, the
// exchanges of a voice call with the modem (dial "AT+CDV ", end "AT+CHV",
// key tones "AT+VTS=", volume "AT+CLVL="), incoming calls ("RING",
// "+CLIP: ", answer "ATA", reject "AT+CHUP"), the far end hanging up
// ("NO CARRIER"), the display texts and the recording of every call in the
// call history.
//
// Everything runs on the window's thread through its WindowPort: the answer
// handlers and the notification handlers (dispatcher threads) only store what
// they got and post a message. No call waits for the modem.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <string_view>

#include "calls/DialNumber.h"
#include "calls/HistData.h"
#include "core/event/WindowPort.h"
#include "core/time/DateTime.h"
#include "device/CommandExchange.h"

namespace evdo {

// Messages of the call page.
// Dial a number handed in by another window (call back from the history, a
// contact, a message, the command line). Sent, never posted: lParam points
// at a std::string that lives for the call.
constexpr MessageId kMsgDialNumber = WM_USER + 5;
// To the main window from the incoming-call pop-up: wParam 1 dismissed;
// wParam 0 with lParam 1 answered, 0 rejected.
constexpr MessageId kMsgPopupResult = WM_USER + 6;
// To the call history window: a call was recorded (wParam = call kind).
constexpr MessageId kMsgCallRecorded = WM_USER + 14;
// The page to itself: wParam 1 call connected, 0 call ended.
constexpr MessageId kMsgCallState = WM_USER + 31;
// The page to itself: the answer to the outstanding command arrived
// (wParam = the exchange's sequence number).
constexpr MessageId kMsgCallAnswer = WM_USER + 33;
// Notifications, from the dispatcher's threads to the page.
constexpr MessageId kMsgRing = WM_USER + 34;
constexpr MessageId kMsgCallerNumber = WM_USER + 35;
constexpr MessageId kMsgNoCarrier = WM_USER + 36;

// Timers of the call page.
constexpr TimerId kEndGuardTimer = 2;
constexpr TimerId kClockTimer = 23;
constexpr TimerId kDialGuardTimer = 53;
constexpr TimerId kRingWatchTimer = 57;
constexpr TimerId kPickUpGuardTimer = 58;
constexpr TimerId kToneGuardTimer = 59;
constexpr TimerId kDurationTimer = 1056;
constexpr std::uint32_t kEndGuardMs = 30000;
constexpr std::uint32_t kClockMs = 1000;
constexpr std::uint32_t kDialGuardMs = 5000;
// A ringing call whose "RING" has not come again for this long has been
// given up by the caller.
constexpr std::uint32_t kRingSilenceMs = 8000;
constexpr std::uint32_t kPickUpGuardMs = 5000;
constexpr std::uint32_t kToneGuardMs = 2000;
constexpr std::uint32_t kDurationMs = 1000;
// A key held longer than this: "0" gives "+" on an empty field, the erase
// key empties the field.
constexpr std::uint32_t kLongPressMs = 500;

// Commands.
constexpr std::string_view kCmdDial = "AT+CDV ";
constexpr std::string_view kCmdEnd = "AT+CHV\r";
constexpr std::string_view kCmdTone = "AT+VTS=";
constexpr std::string_view kCmdVolume = "AT+CLVL=";
constexpr std::string_view kCmdAnswer = "ATA\r";
constexpr std::string_view kCmdReject = "AT+CHUP\r";

// Dial codes and the information dialog's modes.
constexpr std::string_view kDialCodeIdentity = "*#06#";
constexpr std::string_view kDialCodeVersion = "*5291#";
constexpr int kInfoIdentity = 0;
constexpr int kInfoVersion = 1;

constexpr int kVolumeMin = 0;
constexpr int kVolumeMax = 4;
constexpr int kVolumeDefault = 2;

// The duration as "%H:%M:%S" (hours of the day: 25 hours show as 01:00:00).
std::string DurationText(std::int64_t seconds);

struct CallHooks {
  std::function<DateTime()> now = [] { return DateTime::Now(); };
  // A refused key or edit: 600 Hz for 50 ms.
  std::function<void()> beep;
  // A language string in a message box.
  std::function<void(int stringId)> showMessage;
  // The information dialog of a dial code (mode 0 identity, 1 version);
  // returns when it has been closed.
  std::function<void(int mode)> openInfoDialog;
  // The field, the state or the display changed.
  std::function<void()> changed;
  // The Name of the contact that has number (possibly empty), if any.
  std::function<std::optional<std::string>(std::string_view number)> contactName;
  // Whether the card is ready (the page may then be left, the idle buttons
  // that need the card are enabled).
  std::function<bool()> cardReady = [] { return true; };
  // Setup_nPowerManagement: 1 lets calls be dialled.
  std::function<int()> powerManagement = [] { return 1; };
  // A call was recorded in list kind.
  std::function<void(int kind)> callRecorded;
  // The history could not be saved.
  std::function<void(const std::string& problem)> historyProblem;
  // An incoming call rings (number empty while unknown; called again when it
  // becomes known): show the pop-up and ring.
  std::function<void(const std::string& number)> ringing;
  // The pop-up goes and the ringing stops.
  std::function<void()> ringingEnded;
  // An incoming call was not answered (and not rejected): tell the user.
  std::function<void(const std::string& number)> missed;
  // The main window's incoming-call flag: cleared when the call has been
  // answered, rejected or missed.
  std::function<void()> clearIncomingFlag;
};

class CCallControl : public WindowHandler {
public:
  enum class Incoming { None, Ringing, Answering, Rejecting };

  // self is the page's own window; history may be null (no recording).
  CCallControl(CCommandExchange& exchange, WindowPort& self, CHistData* history, CallHooks hooks);
  ~CCallControl() override;
  CCallControl(const CCallControl&) = delete;
  CCallControl& operator=(const CCallControl&) = delete;

  // Registers the incoming-call, caller-number and "NO CARRIER" handlers.
  void RegisterNotifications(CAtDispatcher& dispatcher);
  void UnregisterNotifications();
  // Starts the clock (the page is shown).
  void Start();

  // Keypad: a key released after heldMs.
  void PressKey(char key, std::uint32_t heldMs);
  void Erase(std::uint32_t heldMs);
  // The user changed the field's text (typing, pasting); false: refused with
  // a beep, the old text stays.
  bool EditField(std::string_view text);
  // The dial button.
  void Dial();
  // Dials a number handed in by another window: it must pass the dial
  // check (else a message, nothing sent).
  bool DialNumber(std::string_view number);
  // The end button.
  void End();
  // The volume slider released at level.
  void SetVolume(int level);
  // The incoming-call pop-up's buttons.
  void Answer();
  void Reject();
  void Dismiss();
  // Asked before another page is shown: 0 to let it, else the message
  // shown (280 card not ready, 109 in call).
  int AskLeave();

  const std::string& Field() const { return field_; }
  bool InCall() const { return inCall_; }
  bool Busy() const { return pending_ != Pending::None; }
  Incoming IncomingState() const { return incoming_; }
  const std::string& IncomingNumber() const { return incomingNumber_; }
  int CallKind() const { return callKind_; }
  const std::string& CallNumber() const { return callNumber_; }
  DateTime StartTime() const { return start_; }
  std::int64_t Duration() const { return duration_; }
  int Volume() const { return volume_; }

  // What the display shows: in call the start time, the duration text and
  // the other party; idle the current time (the view adds the title).
  struct Display {
    bool inCall = false;
    DateTime time;
    std::string duration;
    std::string party;
  };
  Display CurrentDisplay() const;

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  enum class Pending { None, Dial, End, Answer, Reject, Tone };

  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnIgnoredAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnRing(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnCallerNumber(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnNoCarrier(void* context, const LineCell* lines, std::uint16_t lineCount);

  bool Send(std::string_view command, Pending what, TimerId guard, std::uint32_t guardMs, bool showError);
  void OnAnswered(WParam sequence);
  void GiveUp(TimerId guard);
  void SendNextTone();
  void CheckDialCodes();
  void Connected();
  void Ended();
  void Record(int kind, std::string_view number, DateTime start, std::int64_t duration);
  void ResetCallInformation();
  void RingArrived();
  void CallerNumberArrived(std::string number);
  void NoCarrier(bool busy);
  void Missed(bool tell);
  void Changed() {
    if (hooks_.changed) hooks_.changed();
  }
  void Beep() {
    if (hooks_.beep) hooks_.beep();
  }
  void Message(int id) {
    if (hooks_.showMessage) hooks_.showMessage(id);
  }

  CCommandExchange& exchange_;
  WindowPort& self_;
  CHistData* history_;
  CallHooks hooks_;
  CAtDispatcher* dispatcher_ = nullptr;

  std::string field_;
  bool inCall_ = false;
  int callKind_ = kMissedCalls;
  std::string callNumber_;
  DateTime start_;
  std::int64_t duration_ = 0;
  int volume_ = kVolumeDefault;

  Pending pending_ = Pending::None;
  TimerId pendingGuard_ = 0;
  std::uint64_t sequence_ = 0;
  std::string dialling_;
  std::string tones_;  // key tones waiting for the port

  Incoming incoming_ = Incoming::None;
  std::string incomingNumber_;
  DateTime ringStart_;
  std::string earlyCaller_;  // a caller number that came without a call
  DateTime earlyCallerAt_;

  // Filled on the dispatcher's threads.
  std::mutex answerLock_;
  std::uint64_t expected_ = 0;
  std::uint64_t answerSequence_ = 0;
  bool answerOk_ = false;
  std::string callerNumber_;
  bool noCarrierBusy_ = false;
};

}  // namespace evdo
