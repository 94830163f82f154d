#include "ui/event/QtWindowPort.h"

#include <QCoreApplication>
#include <QEvent>
#include <QTimerEvent>

#include <algorithm>

namespace evdo {
namespace {

const QEvent::Type kPortMessageEvent = static_cast<QEvent::Type>(QEvent::registerEventType());

class PortMessageEvent : public QEvent {
public:
  PortMessageEvent(MessageId message, WParam wParam, LParam lParam)
      : QEvent(kPortMessageEvent), message(message), wParam(wParam), lParam(lParam) {}
  MessageId message;
  WParam wParam;
  LParam lParam;
};

}  // namespace

// Lives on the window's thread and turns events back into handler calls.
class QtWindowPort::Receiver : public QObject {
public:
  explicit Receiver(WindowHandler& handler) : handler_(handler) {}

  void Arm(TimerId id, std::uint32_t elapseMs) {
    Kill(id);
    int ms = static_cast<int>(std::clamp<std::uint32_t>(elapseMs, kMinimumTimerMs, INT32_MAX));
    int qtId = startTimer(ms, Qt::PreciseTimer);
    if (qtId == 0) return;
    byId_[id] = qtId;
    byQtId_[qtId] = id;
  }
  void Kill(TimerId id) {
    auto it = byId_.find(id);
    if (it == byId_.end()) return;
    killTimer(it->second);
    byQtId_.erase(it->second);
    byId_.erase(it);
  }
  bool Armed(TimerId id) const { return byId_.count(id) != 0; }

protected:
  bool event(QEvent* e) override {
    if (e->type() != kPortMessageEvent) return QObject::event(e);
    auto* m = static_cast<PortMessageEvent*>(e);
    handler_.OnMessage(m->message, m->wParam, m->lParam);
    return true;
  }
  void timerEvent(QTimerEvent* e) override {
    auto it = byQtId_.find(e->timerId());
    if (it != byQtId_.end()) handler_.OnTimer(it->second);
  }

private:
  WindowHandler& handler_;
  std::map<TimerId, int> byId_;
  std::map<int, TimerId> byQtId_;
};

QtWindowPort::QtWindowPort(WindowHandler& handler) : receiver_(new Receiver(handler)) {}

QtWindowPort::~QtWindowPort() {
  Receiver* receiver = nullptr;
  {
    std::lock_guard lock(mutex_);
    std::swap(receiver, receiver_);
  }
  delete receiver;  // drops its pending messages and stops its timers
}

void QtWindowPort::PostMessage(MessageId message, WParam wParam, LParam lParam) {
  std::lock_guard lock(mutex_);
  if (receiver_) QCoreApplication::postEvent(receiver_, new PortMessageEvent(message, wParam, lParam));
}

void QtWindowPort::SetTimer(TimerId timerId, std::uint32_t elapseMs) {
  receiver_->Arm(timerId, elapseMs);
}

void QtWindowPort::KillTimer(TimerId timerId) { receiver_->Kill(timerId); }

bool QtWindowPort::IsTimerArmed(TimerId timerId) const { return receiver_->Armed(timerId); }

}  // namespace evdo
