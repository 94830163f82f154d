#pragma once
// The main window's side of incoming messages for its whole life: a new
// message stored by the modem ("+CMTI: ", read with "AT$QCPMS=" and
// "AT$QCMGR=" one at a time), a message delivered directly ("+CMT: "),
// parts of long messages joined (or stored one by one when the rest does not
// come within 90 s), and delivery reports ("+CDS: ").
//
// The dispatcher's threads only queue what arrived and post a wake; every
// read and every store change happens on the window's thread, so the
// consumer thread never waits and the window never does either. A
// notification for a location already waiting to be read is not read twice;
// a read the modem left unanswered (or that the busy port kept from being
// written) is tried again at the end of the queue, and after three such
// tries every 30 s.
#include <cstdint>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

#include "core/event/WindowPort.h"
#include "core/time/DateTime.h"
#include "device/AtDispatcher.h"
#include "device/CommandExchange.h"
#include "sms/PartAssembler.h"
#include "sms/SmsChannel.h"
#include "sms/SmsCommands.h"
#include "sms/SmsData.h"

namespace evdo::sms {

struct ReceiveHooks {
  std::function<DateTime()> now = [] { return DateTime::Now(); };
  std::function<void(int box)> boxChanged;
  // A record was stored in the inbox (indicators, the desktop notice).
  std::function<void(const SmsRecord& record)> newMessage;
  std::function<void(const DeliveryReport& report)> deliveryReport;
  // A storage is full ("+CMTI: " with index -1): message 219, 220 or 221.
  std::function<void(int stringId)> storageFull;
};

class CSmsReceiver : public WindowHandler {
public:
  CSmsReceiver(CCommandExchange& exchange, CSmsData& store, CSmsLinkLock& link, WindowPort& self,
               ReceiveHooks hooks);
  ~CSmsReceiver() override;
  CSmsReceiver(const CSmsReceiver&) = delete;
  CSmsReceiver& operator=(const CSmsReceiver&) = delete;

  // Notification slots 1 ("+CMTI: "), 2 ("+CMT: ") and 16 ("+CDS: ").
  void Register(CAtDispatcher& dispatcher);
  void Unregister();

  // What the handlers do, for any thread: queue the block and wake the window.
  void QueueNotice(int slot, const LineCell* lines, std::uint16_t lineCount);

  // Stores a received record as the main window does (parts joined).
  void Deliver(SmsRecord record);

  bool IsReading() const { return reading_; }
  std::size_t PendingReads() const { return pending_.size(); }
  // Messages whose reads all went unanswered so far, waiting for a later try.
  std::size_t LaterReads() const { return later_.size(); }
  const PartAssembler& Assembler() const { return assembler_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  struct Notice {
    int slot;
    std::vector<std::string> lines;
  };
  struct Location {
    std::string name;
    int index;
    int reads = 0;  // reads already tried that went unanswered
    bool operator==(const Location& other) const { return name == other.name && index == other.index; }
  };
  enum class Step { Select = 1, Read = 2 };

  static void OnStored(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnDirect(void* context, const LineCell* lines, std::uint16_t lineCount);
  static void OnReport(void* context, const LineCell* lines, std::uint16_t lineCount);

  void TakeNotices();
  void OnStoredNotice(const std::string& line);
  void Pump();
  void StartRead();
  void WriteCurrent();
  void OnAnswer(const CSmsChannel::Answer& answer);
  void EndRead();
  void ReadAgainLater();
  void Store(SmsRecord record);

  CSmsData& store_;
  CSmsLinkLock& link_;
  WindowPort& self_;
  ReceiveHooks hooks_;
  CSmsChannel channel_;
  CAtDispatcher* dispatcher_ = nullptr;
  PartAssembler assembler_;

  std::mutex noticeLock_;
  std::deque<Notice> notices_;

  std::deque<Location> pending_;
  std::deque<Location> later_;  // read again when kNewMessageLaterTimer expires
  Location current_;
  bool reading_ = false;
  bool waitingForLink_ = false;
  Step step_ = Step::Select;
  std::string command_;
  int attempts_ = 0;
};

}  // namespace evdo::sms
