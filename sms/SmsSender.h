#pragma once
// The send exchange of the write window: the parameters line, the service
// centre, then for every recipient and every part "AT$QCMGS=" with its
// prompt and data block. Each sent part is stored in the Outbox as sent; a
// failure stores the unsent remainder of the recipient being served. The
// notification gate stays closed for the whole exchange. It runs on the
// window's thread as a state machine: nothing waits for the modem.
#include <cstdint>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "core/event/Event.h"
#include "core/event/WindowPort.h"
#include "core/time/DateTime.h"
#include "device/CommandExchange.h"
#include "sms/MessageSplitter.h"
#include "sms/SmsChannel.h"
#include "sms/SmsData.h"

namespace evdo::sms {

enum class RecipientOutcome { Sent, Failed, NotServed };

// How a send ended, recipient by recipient.
struct SendReport {
  std::vector<std::string> numbers;
  std::vector<RecipientOutcome> outcomes;
  int messageId = 0;  // the message shown at the end (180, 181, 171), 0 none
  bool AllSent() const;
};

// Why a send did not start.
enum class SendStart {
  Started,
  NoRecipient,   // message 144
  NoText,        // message 145
  NotReady,      // card not ready, incoming call or port closed: nothing shown
  BadNumber,     // a number with other than dial characters (shown with the number)
  BadServiceCentre,
  TooLong,       // the text cannot be split
  Busy,          // a send is running
};

struct SendHooks {
  std::function<DateTime()> now = [] { return DateTime::Now(); };
  std::function<bool()> cardReady = [] { return true; };
  std::function<bool()> incomingCall = [] { return false; };
  std::function<bool()> portOpen = [] { return true; };
  // Messages_DeliReport and the validity octet of Messages_ValPeriod.
  std::function<bool()> deliveryReport = [] { return false; };
  std::function<std::uint8_t()> validity = [] { return std::uint8_t{167}; };
  std::function<void(int box)> boxChanged;
  // The progress window: opened with the number of recipients, its text and
  // bar stepped per recipient, closed at the end.
  std::function<void(int range)> openProgress;
  std::function<void(const std::string& number, int position, int count)> progress;
  std::function<void()> closeProgress;
  // A language string in a message box with caption 272; detail is the
  // number for a refused number, else empty.
  std::function<void(int stringId, const std::string& detail)> showMessage;
  std::function<void(const SendReport&)> finished;
};

class CSmsSender : public WindowHandler {
public:
  // splitter: the send splitter shared by every write window (its reference
  // goes on from message to message).
  CSmsSender(CCommandExchange& exchange, CSmsData& store, Event& notificationGate, CSmsLinkLock& link,
             MessageSplitter& splitter, WindowPort& self, SendHooks hooks);
  ~CSmsSender() override;
  CSmsSender(const CSmsSender&) = delete;
  CSmsSender& operator=(const CSmsSender&) = delete;

  // The send button: recipients field, text, the window's service centre.
  SendStart Send(std::string_view recipients, std::string_view text, std::string_view serviceCentre);
  // The save button: one Saved record per recipient (or one without a
  // number); shows 145, 146 or 147. True when all were stored.
  bool Save(std::string_view recipients, std::string_view text, std::string_view serviceCentre);

  bool IsSending() const { return state_ != State::Idle; }
  // The window goes: the exchange stops where it stands (gate opened).
  void Abort();

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  enum class State { Idle, WaitingForLink, Parameters, Centre, Command, Data };

  void Begin();
  void SendCommand();
  void OnAnswer(const CSmsChannel::Answer& answer);
  void OnSent();
  void StoreSent();
  void StoreUnsent();
  void Fail(int messageId);
  void TimedOut(int step);
  void Finish(int messageId);
  void Show(int id, const std::string& detail = {});

  CSmsData& store_;
  Event& gate_;
  CSmsLinkLock& link_;
  MessageSplitter& splitter_;
  SendHooks hooks_;
  CSmsChannel channel_;

  State state_ = State::Idle;
  std::vector<std::string> recipients_;
  std::vector<RecipientOutcome> outcomes_;
  std::string text_;
  std::string serviceCentre_;
  int current_ = 0;
  bool progressShown_ = false;
};

}  // namespace evdo::sms
