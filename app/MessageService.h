#pragma once
// The main window's message side for its whole life: new messages, parts
// and delivery reports from the modem (CSmsReceiver on the notification
// slots), the send splitter every write window shares, the application's
// message centre, the write windows, sends asked for from the command line,
// and what the user sees of all this (message boxes, desktop notices, the
// unread and inbox-full indicators).
#include <QObject>
#include <QPointer>
#include <QString>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "sms/MessageSplitter.h"
#include "sms/SmsChannel.h"
#include "sms/SmsReceiver.h"
#include "sms/SmsSender.h"
#include "ui/event/QtWindowPort.h"

class QWidget;

namespace evdo {

class CAtDispatcher;
class CCommandExchange;
class CPbData;
class CSmsWriteDlg;
class DesktopNotifier;
class Event;

// What the service works with; the pointers outlive it.
struct MessageServiceContext {
  CCommandExchange* exchange = nullptr;
  CAtDispatcher* dispatcher = nullptr;
  CSmsData* store = nullptr;
  Event* notificationGate = nullptr;
  // The one lock of every message exchange on the link (sending, reading new
  // messages, the transfer window, the message settings); null: the
  // service's own.
  sms::CSmsLinkLock* link = nullptr;
  // Names for numbers in the desktop notices (may be null).
  const CPbData* phonebook = nullptr;
  std::shared_ptr<DesktopNotifier> notifier;
  // The conditions of a send: card state 22, the incoming-call flag, the port.
  std::function<bool()> cardReady = [] { return true; };
  std::function<bool()> incomingCall = [] { return false; };
  std::function<bool()> portOpen = [] { return true; };
  // The application's message centre (read from the modem at start-up).
  std::function<std::string()> serviceCentre;
  // Messages_DeliReport and the validity octet of Messages_ValPeriod.
  std::function<bool()> deliveryReport;
  std::function<std::uint8_t()> validity;
  // The main window's status message (indicator, value).
  std::function<void(int indicator, int value)> setIndicator;
  // A language string for the user (storage full); empty: a message box
  // with caption 272 over window.
  std::function<void(int stringId)> showMessage;
  // The main window: parent of the boxes and of write windows opened
  // without a parent.
  QWidget* window = nullptr;
};

class MessageService : public QObject {
  Q_OBJECT

public:
  explicit MessageService(MessageServiceContext context, QObject* parent = nullptr);
  ~MessageService() override;
  MessageService(const MessageService&) = delete;
  MessageService& operator=(const MessageService&) = delete;

  // Notification slots 1, 2 and 16 for the main window's life.
  void RegisterNotifications();
  void UnregisterNotifications();

  // Opens a write window filled in (numbers separated by ';'); it deletes
  // itself when closed.
  CSmsWriteDlg* OpenWriteWindow(const QString& recipients, const QString& text, QWidget* parent);
  // The write windows open now.
  std::vector<CSmsWriteDlg*> WriteWindows() const;

  // A send without a window (the command line's): the same rules, the same
  // storing. message gets each language string the window would show (with
  // its number for a refused number); finished the outcome per recipient.
  // Anything but Started: nothing was sent and finished is not called.
  sms::SendStart SendWithoutWindow(const std::string& recipients, const std::string& text,
                                   std::function<void(int stringId, const std::string& detail)> message,
                                   std::function<void(const sms::SendReport&)> finished);
  bool IsSendingWithoutWindow() const;

  // The application's message centre.
  std::string ServiceCentre() const;
  // Sets the unread and inbox-full indicators from the store.
  void RefreshIndicators();

  sms::CSmsReceiver& Receiver() { return receiver_; }
  sms::MessageSplitter& Splitter() { return splitter_; }
  sms::CSmsLinkLock& Link() { return link_; }

  // Wired by the messages page: a box of the store changed; the user asked
  // to see the new message (a click on its notice).
  std::function<void(int box)> boxChanged;
  std::function<void()> showNewMessage;
  // Picks numbers from the phonebook for a write window.
  std::function<std::vector<std::string>(QWidget* parent)> pickContacts;

private:
  struct ReceiveRoute : WindowHandler {
    sms::CSmsReceiver* to = nullptr;
    void OnMessage(MessageId m, WParam w, LParam l) override;
    void OnTimer(TimerId id) override;
  };
  struct QuietSend;

  sms::ReceiveHooks ReceiverHooks();
  sms::SendHooks SendConditions();
  void BoxChanged(int box);
  void OnNewMessage(const SmsRecord& record);
  void OnDeliveryReport(const sms::DeliveryReport& report);
  void ShowMessage(int stringId);
  QString NameFor(std::string_view number) const;

  MessageServiceContext context_;
  sms::MessageSplitter splitter_{};
  sms::CSmsLinkLock ownLink_;
  sms::CSmsLinkLock& link_;
  ReceiveRoute receiveRoute_;
  QtWindowPort receiveWindow_;
  sms::CSmsReceiver receiver_;
  std::unique_ptr<QuietSend> quiet_;
  std::vector<QPointer<CSmsWriteDlg>> windows_;
};

}  // namespace evdo
