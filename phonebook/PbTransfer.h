#pragma once
// The exchanges of the transfer window with the modem's phonebooks, as
// state machines on the event layer: the read of a whole memory location by
// location ("AT+CPBS=", "AT+CPBS?", "AT+CPBR=") and the write or erase of
// one location ("AT+CPBS=", then "AT+CPBW="). The answer handler runs on the
// dispatcher's parser thread and only copies the answer and posts a message;
// every step, pause and time-out runs on the window's thread, which never
// waits.
//
// CPbTransfer builds the window's operations on them: opening (read the
// card, then the device memory, with the notification gate closed) and
// copying or moving a selection between the PC store and the two memories,
// stopping at the first failure.
#include <atomic>
#include <cstdint>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "core/event/Event.h"
#include "core/event/WindowPort.h"
#include "device/CommandExchange.h"
#include "phonebook/ContactRecord.h"
#include "phonebook/DevicePhonebook.h"
#include "phonebook/PbData.h"

namespace evdo {

// Timers of the transfer window.
inline constexpr TimerId kTimerSelectForRead = 14;
inline constexpr TimerId kTimerMemoryQuery = 15;
inline constexpr TimerId kTimerReadEntry = 16;
inline constexpr TimerId kTimerSelectForWrite = 26;
inline constexpr TimerId kTimerWriteEntry = 27;
inline constexpr TimerId kTimerPbPause = 28;  // the pauses between steps
inline constexpr std::uint32_t kReadStepWaitMs = 10000;
inline constexpr std::uint32_t kWriteStepWaitMs = 5000;
inline constexpr std::uint32_t kPbPauseMs = 100;
inline constexpr std::uint32_t kPbAfterWriteMs = 110;
// The handler's answer, posted to the transfer window (wParam: sequence).
inline constexpr MessageId kMsgPbAnswer = WM_USER + 60;

// Messages of the transfer.
namespace pbsync {
inline constexpr int kModemTimeout = 171;
inline constexpr int kUnnamed = 179;
inline constexpr int kDeviceFailed = 196;
inline constexpr int kMeFull = 204;
inline constexpr int kSmFull = 205;
inline constexpr int kPortBusy = 168;
inline constexpr int kCardUnavailable = 1640;   // the card went away during the read
inline constexpr int kNumberNotWritable = 1641; // a number with other than dial characters, or too long
inline constexpr int kNothingToWrite = 1642;    // a PC contact without a number
}  // namespace pbsync

enum class PbStep { Idle, Pause, SelectForRead, MemoryQuery, ReadEntry, SelectForWrite, WriteEntry };

struct PbResult {
  bool ok = false;
  bool empty = false;   // a read whose memory reports no locations
  int message = 0;      // the message to show, 0 for none
  std::string detail;   // what the modem said, for the message
};

class CPbDeviceIo : public WindowHandler {
public:
  using Done = std::function<void(const PbResult&)>;
  using Progress = std::function<void(int done, int total)>;

  // self: the window whose messages and timers reach OnMessage/OnTimer.
  // portOpen tells whether the serial port is open.
  CPbDeviceIo(CCommandExchange& exchange, WindowPort& self, std::function<bool()> portOpen);
  ~CPbDeviceIo() override;
  CPbDeviceIo(const CPbDeviceIo&) = delete;
  CPbDeviceIo& operator=(const CPbDeviceIo&) = delete;

  // Reads memory completely into its book. done is called once.
  void Read(PbMemory memory, Progress progress, Done done);
  // Writes (or with an empty number erases) location with the checked
  // command of BuildWriteCommand. done is called once.
  void Write(PbMemory memory, std::string command, Done done);
  // Gives up what runs (the window closes): no callback follows.
  void Cancel();

  bool Running() const { return step_ != PbStep::Idle; }
  PbStep Step() const { return step_; }
  DeviceBook& Book(PbMemory memory) { return books_[static_cast<int>(memory)]; }
  const DeviceBook& Book(PbMemory memory) const { return books_[static_cast<int>(memory)]; }
  void SetUnnamedText(std::string text) { unnamed_ = std::move(text); }
  const std::string& UnnamedText() const { return unnamed_; }
  // The longest stretch one step kept the window's thread busy, in
  // microseconds (measured around each answer's handling).
  std::int64_t LongestStepMicros() const { return longestStepUs_; }
  // All the answers' handling together, in microseconds.
  std::int64_t TotalStepMicros() const { return totalStepUs_; }

  void OnMessage(MessageId message, WParam wParam, LParam lParam) override;
  void OnTimer(TimerId timerId) override;

private:
  static void OnAnswer(void* context, const LineCell* lines, std::uint16_t lineCount);
  void Pause(std::uint32_t ms, void (CPbDeviceIo::*next)());
  bool Send(const std::string& command, PbStep step, TimerId timer, std::uint32_t waitMs);
  void HandleAnswer(const std::vector<std::string>& lines);
  void Finish(const PbResult& result);
  void Fail(int message, std::string detail = {});

  void StartRead();
  void OnSelectForRead(const std::vector<std::string>& lines);
  void OnMemoryQuery(const std::vector<std::string>& lines);
  void OnReadEntry(const std::vector<std::string>& lines);
  void StartWrite();
  void SendPendingWrite();
  void OnSelectForWrite(const std::vector<std::string>& lines);
  void OnWriteEntry(const std::vector<std::string>& lines);
  void WriteCompleted();

  CCommandExchange& exchange_;
  WindowPort& self_;
  std::function<bool()> portOpen_;
  DeviceBook books_[2];
  std::string unnamed_ = "No Name";

  PbStep step_ = PbStep::Idle;
  void (CPbDeviceIo::*next_)() = nullptr;
  TimerId timer_ = 0;
  PbMemory memory_ = PbMemory::SM;
  int total_ = 0;
  int nextIndex_ = 0;
  std::string pending_;
  Progress progress_;
  Done done_;
  std::int64_t longestStepUs_ = 0;
  std::int64_t totalStepUs_ = 0;

  // Filled by the handler on the parser thread.
  std::mutex mutex_;
  std::vector<std::string> answer_;
  std::atomic<bool> answered_{false};
  std::atomic<std::uint32_t> sequence_{0};
};

enum class PbPlace { PC, ME, SM };

// What the transfer asks of its window. Empty hooks are skipped.
struct PbTransferHooks {
  std::function<void(int message, const std::string& detail)> showMessage;
  // A device entry got filled (its row is added) or emptied (removed).
  std::function<void(PbMemory memory, int entry)> entryAdded;
  std::function<void(PbMemory memory, int entry)> entryRemoved;
  // The PC store changed (rows and the owner's list follow).
  std::function<void()> pcChanged;
  // Which number field a device entry goes into (Mobile, Home, Company);
  // answer with nullopt to stop, keep to use the field for the rest.
  std::function<void(const DeviceEntry& entry,
                     std::function<void(std::optional<ContactField> field, bool keep)> answer)>
      askField;
  std::function<void(int done, int total)> progress;
  // The copy or move is over; completed is false when a failure stopped it.
  std::function<void(bool completed)> finished;
  // True while another exchange holds the port: nothing is written then.
  std::function<bool()> busy;
};

class CPbTransfer {
public:
  CPbTransfer(CPbData& store, CPbDeviceIo& io, Event& notificationGate, PbTransferHooks hooks);
  ~CPbTransfer();
  CPbTransfer(const CPbTransfer&) = delete;
  CPbTransfer& operator=(const CPbTransfer&) = delete;

  // Closes the notification gate, reads the card, then the device memory.
  // done(ok) once; the gate is open again by then. A memory of no
  // locations leaves both empty and gives false.
  void Open(const CPbDeviceIo::Progress& progress, const std::function<void(PbMemory reading)>& readingStarts,
            const std::function<void(const PbResult&)>& done);

  // Copies or moves the items (PC: list positions; device: entry
  // positions) from one place to another. False when it cannot start.
  bool CopyOrMove(PbPlace from, PbPlace to, std::vector<int> items, bool move);
  bool Running() const { return running_; }

  // Refused (never sent) writes, for tests.
  int RefusedWrites() const { return refused_; }

private:
  void NextItem();
  void ItemDone();
  void Stop(int message, const std::string& detail = {});
  void PcToDevice(int position);
  void WriteNextNumber();
  void DeviceToPc(int entry);
  void StoreDeviceEntry(int entry, ContactField field);
  void DeviceToDevice(int entry);
  void EraseSource(int entry);
  bool CheckedWrite(PbMemory memory, int entryPos, const std::string& name, const std::string& number,
                    const std::function<void()>& written);
  static PbMemory MemoryOf(PbPlace place) { return place == PbPlace::SM ? PbMemory::SM : PbMemory::ME; }
  static int FullMessage(PbMemory memory) { return memory == PbMemory::SM ? pbsync::kSmFull : pbsync::kMeFull; }

  CPbData& store_;
  CPbDeviceIo& io_;
  Event& gate_;
  PbTransferHooks hooks_;

  bool running_ = false;
  PbPlace from_ = PbPlace::PC, to_ = PbPlace::SM;
  bool move_ = false;
  std::vector<int> items_;
  std::size_t itemAt_ = 0;
  int pcDeleted_ = 0;
  int done_ = 0;
  std::optional<ContactField> keptField_;
  // The numbers of the PC contact being written.
  std::vector<std::string> numbers_;
  std::string deviceName_;
  int pcPosition_ = -1;
  int refused_ = 0;
};

}  // namespace evdo
