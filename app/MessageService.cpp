#include "app/MessageService.h"

#include <QMessageBox>
#include <QWidget>

#include <algorithm>
#include <utility>

#include "app/StatusIndicators.h"
#include "core/event/Event.h"
#include "core/settings/SetupData.h"
#include "device/status/DeviceStatus.h"
#include "phonebook/PbData.h"
#include "sms/SmsData.h"
#include "sms/ui/SmsWriteDlg.h"
#include "ui/LanguageStrings.h"
#include "ui/notify/DesktopNotifier.h"
#include "ui/text/QtText.h"

namespace evdo {

using namespace sms;

// A send without a window: its own window port for the answers and timers.
struct MessageService::QuietSend : WindowHandler {
  QuietSend(MessageService& service, SendHooks hooks)
      : port(*this),
        sender(*service.context_.exchange, *service.context_.store, *service.context_.notificationGate,
               service.link_, service.splitter_, port, std::move(hooks)) {}
  void OnMessage(MessageId m, WParam w, LParam l) override { sender.OnMessage(m, w, l); }
  void OnTimer(TimerId id) override { sender.OnTimer(id); }

  QtWindowPort port;
  CSmsSender sender;
};

void MessageService::ReceiveRoute::OnMessage(MessageId m, WParam w, LParam l) {
  if (to != nullptr) to->OnMessage(m, w, l);
}
void MessageService::ReceiveRoute::OnTimer(TimerId id) {
  if (to != nullptr) to->OnTimer(id);
}

MessageService::MessageService(MessageServiceContext context, QObject* parent)
    : QObject(parent),
      context_(std::move(context)),
      link_(context_.link != nullptr ? *context_.link : ownLink_),
      receiveWindow_(receiveRoute_),
      receiver_(*context_.exchange, *context_.store, link_, receiveWindow_, ReceiverHooks()) {
  receiveRoute_.to = &receiver_;
}

MessageService::~MessageService() {
  UnregisterNotifications();
  // Open write windows go first: their senders use the splitter and the lock.
  for (const QPointer<CSmsWriteDlg>& window : windows_) delete window.data();
  quiet_.reset();
  receiveRoute_.to = nullptr;
}

void MessageService::RegisterNotifications() {
  if (context_.dispatcher != nullptr) receiver_.Register(*context_.dispatcher);
}

void MessageService::UnregisterNotifications() { receiver_.Unregister(); }

ReceiveHooks MessageService::ReceiverHooks() {
  ReceiveHooks hooks;
  hooks.boxChanged = [this](int box) { BoxChanged(box); };
  hooks.newMessage = [this](const SmsRecord& record) { OnNewMessage(record); };
  hooks.deliveryReport = [this](const DeliveryReport& report) { OnDeliveryReport(report); };
  hooks.storageFull = [this](int id) { ShowMessage(id); };
  return hooks;
}

SendHooks MessageService::SendConditions() {
  SendHooks hooks;
  hooks.cardReady = context_.cardReady;
  hooks.incomingCall = context_.incomingCall;
  hooks.portOpen = context_.portOpen;
  if (context_.deliveryReport)
    hooks.deliveryReport = context_.deliveryReport;
  else
    hooks.deliveryReport = [] { return CSetupData::Instance().Messages_DeliReport == 1; };
  if (context_.validity)
    hooks.validity = context_.validity;
  else
    hooks.validity = [] { return ValidityPeriodOctet(CSetupData::Instance().Messages_ValPeriod); };
  hooks.boxChanged = [this](int box) { BoxChanged(box); };
  return hooks;
}

std::string MessageService::ServiceCentre() const {
  return context_.serviceCentre ? context_.serviceCentre() : ServiceCentreText();
}

CSmsWriteDlg* MessageService::OpenWriteWindow(const QString& recipients, const QString& text, QWidget* parent) {
  SmsWriteServices services;
  services.exchange = context_.exchange;
  services.store = context_.store;
  services.notificationGate = context_.notificationGate;
  services.link = &link_;
  services.splitter = &splitter_;
  services.hooks = SendConditions();
  if (pickContacts) services.pickContacts = [this](QWidget* owner) { return pickContacts(owner); };
  auto* window = new CSmsWriteDlg(std::move(services), parent != nullptr ? parent : context_.window);
  window->SetServiceCentre(FromAnsi(ServiceCentre()));
  window->SetRecipients(recipients);
  window->SetText(text);
  windows_.erase(std::remove_if(windows_.begin(), windows_.end(), [](const auto& w) { return w.isNull(); }),
                 windows_.end());
  windows_.emplace_back(window);
  window->show();
  window->raise();
  window->activateWindow();
  return window;
}

std::vector<CSmsWriteDlg*> MessageService::WriteWindows() const {
  std::vector<CSmsWriteDlg*> open;
  for (const QPointer<CSmsWriteDlg>& window : windows_)
    if (window) open.push_back(window.data());
  return open;
}

SendStart MessageService::SendWithoutWindow(const std::string& recipients, const std::string& text,
                                            std::function<void(int, const std::string&)> message,
                                            std::function<void(const SendReport&)> finished) {
  if (IsSendingWithoutWindow()) {
    if (message) message(kStrSendBusy, {});
    return SendStart::Busy;
  }
  SendHooks hooks = SendConditions();
  hooks.showMessage = message;
  hooks.finished = finished;
  quiet_ = std::make_unique<QuietSend>(*this, std::move(hooks));
  return quiet_->sender.Send(recipients, text, ServiceCentre());
}

bool MessageService::IsSendingWithoutWindow() const { return quiet_ != nullptr && quiet_->sender.IsSending(); }

void MessageService::BoxChanged(int box) {
  if (box == Inbox) RefreshIndicators();
  if (boxChanged) boxChanged(box);
}

void MessageService::RefreshIndicators() {
  if (!context_.setIndicator || context_.store == nullptr) return;
  context_.setIndicator(kIndicatorUnread, context_.store->CountUnread() != 0 ? 1 : 0);
  context_.setIndicator(kIndicatorInboxFull, context_.store->IsFull(Inbox) ? 1 : 0);
}

QString MessageService::NameFor(std::string_view number) const {
  std::string name;
  if (context_.phonebook != nullptr && !number.empty() && context_.phonebook->FindNameByNumber(number, name) &&
      !name.empty())
    return FromAnsi(name);
  return FromAnsi(number);
}

void MessageService::OnNewMessage(const SmsRecord& record) {
  RefreshIndicators();
  if (!context_.notifier) return;
  Notice notice;
  notice.kind = NoticeKind::NewMessage;
  notice.title = Str(kStrNewMessageFrom).replace(QStringLiteral("%s"), NameFor(record.Number()));
  notice.body = FromAnsi(record.Text());
  QPointer<MessageService> self(this);
  notice.onActivated = [self] {
    if (self && self->showNewMessage) self->showNewMessage();
  };
  context_.notifier->Notify(notice);
}

// A report is news, not a question: it goes to the desktop's notices,
// where it waits for the user without stopping the dashboard.
void MessageService::OnDeliveryReport(const DeliveryReport& report) {
  const QString text = Str(report.Delivered() ? kStrDeliverySuccess : kStrDeliveryFailed)
                           .replace(QStringLiteral("%s"), NameFor(report.number));
  Notice notice;
  notice.kind = NoticeKind::DeliveryReport;
  notice.title = Str(kStrDeliveryReportTitle);
  notice.body = text;
  if (context_.notifier && context_.notifier->Notify(notice)) return;
  // Without a notification service the report still reaches the user.
  if (context_.showMessage) return context_.showMessage(report.Delivered() ? kStrDeliverySuccess : kStrDeliveryFailed);
  auto* box = new QMessageBox(QMessageBox::Information, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))), text,
                              QMessageBox::Ok, context_.window);
  box->setObjectName("deliveryReport");
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

void MessageService::ShowMessage(int stringId) {
  if (context_.showMessage) return context_.showMessage(stringId);
  auto* box = new QMessageBox(QMessageBox::Warning, FromAnsi(PrefixedTitle(LoadString(kStrAppTitle))),
                              Str(stringId), QMessageBox::Ok, context_.window);
  box->setObjectName(QString("message%1").arg(stringId));
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  box->open();
}

}  // namespace evdo
