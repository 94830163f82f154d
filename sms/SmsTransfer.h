#pragma once
// The transfer window's exchanges with the modem: reading the device
// storages "ME" and "SM" location by location, copying and moving messages
// between the computer's boxes and the two device storages in every
// direction (long texts written part by part with their headers), and
// deleting messages from a storage. Each runs on the window's thread as a
// state machine over CSmsChannel: nothing waits for the modem. The
// notification gate stays closed while one runs, and the link lock keeps a
// new-message read from slipping in between its steps.
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
#include "sms/SmsCommands.h"
#include "sms/SmsData.h"

namespace evdo::sms {

// One message of a device storage: its location and its content.
struct DeviceEntry {
  std::uint16_t index = 0;
  SmsRecord record = ZeroSmsRecord();
};

// A device storage as the modem last reported it and as it was read. The
// list never holds more than its bound (1024 "ME", 256 "SM"), whatever
// counts the modem reports.
struct DeviceStorage {
  int used = 0;
  int total = 0;
  std::vector<DeviceEntry> entries;
  bool Full(int bound) const;
};

// The storage codes of kStorageNames: kStoragePc, kStorageMe, kStorageSm.
int DeviceListBound(int storage);
// "AT+CMGW=" for a record: the quoted number, its type, the quoted status
// text and the quoted time ("yy/mm/dd,hh:mm:ss+00"; now when the record's
// time is not valid). Empty when the number holds other than dial
// characters or the status has no name.
std::string WriteCommandLine(const SmsRecord& record, const DateTime& now);

// "$QCPMS: used1,total1,used2,total2": how many of the four counts the line
// holds (0 when it is not such a line); counts are bounded to 1000000.
int ParseSelectionCounts(std::string_view line, int (&counts)[4]);
// "+CMGW: index": the new location, or -1 when the line is not one (or the
// index does not fit 16 bits).
int ParseWrittenIndex(std::string_view line);

enum class TransferMode : int { Idle = 0, Reading = 1, Copying = 2, Moving = 3, Deleting = 4 };

// Why an operation did not start.
enum class TransferStart {
  Started,
  NotReady,     // card not ready, incoming call or port closed: nothing shown
  Busy,         // another operation runs
  Empty,        // the source list is empty: nothing shown
  NoSelection,  // message 151
  PcFull,       // message 177
  MeFull,       // message 219
  SmFull,       // message 220
  BadRequest,   // same storage on both sides, or an unknown storage
};

// How an operation ended.
enum class TransferEnd { Done, Stopped, Failed, TimedOut };

struct TransferHooks {
  std::function<DateTime()> now = [] { return DateTime::Now(); };
  std::function<bool()> cardReady = [] { return true; };
  std::function<bool()> incomingCall = [] { return false; };
  std::function<bool()> portOpen = [] { return true; };
  // A box of the computer changed (the messages page refreshes it).
  std::function<void(int box)> boxChanged;
  // The inbox took part: the main window's unread and full indicators.
  std::function<void()> indicatorsChanged;
  // The progress window.
  std::function<void(int range)> openProgress;
  std::function<void(int position)> stepProgress;
  std::function<void()> closeProgress;
  // The lists or counts changed: both panes are shown again.
  std::function<void()> panesChanged;
  // A language string in a message box; detail fills its %s (a refused
  // number), else empty.
  std::function<void(int stringId, const std::string& detail)> showMessage;
  std::function<void(TransferMode mode, TransferEnd end)> finished;
};

class CSmsTransfer : public WindowHandler {
public:
  CSmsTransfer(CCommandExchange& exchange, CSmsData& store, Event& notificationGate, CSmsLinkLock& link,
               WindowPort& self, TransferHooks hooks);
  ~CSmsTransfer() override;
  CSmsTransfer(const CSmsTransfer&) = delete;
  CSmsTransfer& operator=(const CSmsTransfer&) = delete;

  // Reads "ME", then "SM" (the window does this when it is shown).
  TransferStart ReadDevices();
  // Copies (move false) or moves the selected messages from source to
  // destination (storage codes; a PC side is the box given by SetPcBox).
  // selection: positions in the source's list (PC: indexes in the box).
  TransferStart Start(int source, int destination, std::vector<int> selection, bool move);
  // Deletes the selected messages of a storage (PC: of the shown box).
  TransferStart Delete(int storage, std::vector<int> selection);

  void SetPcBox(int box) { pcBox_ = box >= 0 && box < kSmsBoxCount ? box : 0; }
  int PcBox() const { return pcBox_; }
  const DeviceStorage& Storage(int storage) const { return storage == kStorageSm ? sm_ : me_; }
  TransferMode Mode() const { return mode_; }
  bool IsRunning() const { return mode_ != TransferMode::Idle; }
  // The window goes: the operation stops where it stands (gate opened).
  void Abort();

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  // One message to copy, move or delete, taken when the operation starts.
  struct Item {
    DeviceEntry entry;  // for a PC source, index is unused
  };
  enum class Phase { None, ReadMe, ReadSm, Select, Parameters, Centre, Command, Data, DeleteDevice };

  TransferStart CheckReady() const;
  bool Acquire(TransferMode mode);
  void BeginReading();
  void SelectForReading(int storage);
  void ReadNext();
  void BeginTransfer();
  void NextItem();
  void WritePart();
  void SendWriteCommand();
  bool BuildBlock();
  void SendData();
  void OnWritten(const std::vector<std::string>& lines);
  void ItemDone();
  void DeleteSource();
  bool DeletePcRecord(const SmsRecord& record);
  void OnAnswer(const CSmsChannel::Answer& answer);
  void OnSelected(const std::vector<std::string>& lines, int mem1, int mem2);
  void TimedOut(int step);
  void Finish(TransferEnd end, int messageId, const std::string& detail = {});
  void Show(int id, const std::string& detail = {});
  bool Send(const std::string& line, int step, TimerId timer, std::uint32_t ms);
  DeviceStorage& StorageOf(int storage) { return storage == kStorageSm ? sm_ : me_; }
  int FullMessage(int storage) const;

  CSmsData& store_;
  Event& gate_;
  CSmsLinkLock& link_;
  TransferHooks hooks_;
  CSmsChannel channel_;
  MessageSplitter splitter_;  // the write splitter

  TransferMode mode_ = TransferMode::Idle;
  Phase phase_ = Phase::None;
  DeviceStorage me_;
  DeviceStorage sm_;
  int pcBox_ = Inbox;
  bool progressShown_ = false;
  bool gateClosed_ = false;

  // Reading.
  int runningIndex_ = -1;
  int readCount_ = 0;
  int selectAttempts_ = 0;
  bool rangeSet_ = false;
  int progress_ = 0;

  // Copy, move and delete.
  int source_ = kStoragePc;
  int destination_ = kStoragePc;
  int mem1_ = kNoStorage;
  int mem2_ = kNoStorage;
  // The storages the modem last confirmed for reading and for writing.
  int readStorage_ = kStorageMe;
  int writeStorage_ = kStorageMe;
  std::vector<Item> items_;
  std::size_t current_ = 0;
  SmsRecord writing_ = ZeroSmsRecord();  // the record being written
  std::string block_;                    // its current part's data block
  bool writingParts_ = false;            // the text was split into parts
  bool ownHeader_ = false;               // the record's own part information
  int partsWritten_ = 0;
  bool inboxInvolved_ = false;
};

}  // namespace evdo::sms
