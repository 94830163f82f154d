#pragma once
// The one serial connection to the modem's command port. It opens and
// configures the port, writes command text, and runs two threads for the
// life of a connection: the port reader thread, which moves received bytes
// into a 16384-byte receive ring and wakes the dispatcher, and the removal
// watch thread, which learns that the device was pulled out and ends the
// application. Its state makes sure that only one command is outstanding:
// a successful Write leaves it Busy until the dispatcher sees the command's
// final result and sets it Ready.
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <shared_mutex>
#include <thread>

#include "core/event/Event.h"
#include "core/event/WindowPort.h"
#include "device/SerialDevice.h"

namespace evdo {

// Language strings of the refusals of Write and CheckReady.
constexpr int kMsgCommandOutstanding = 168;
constexpr int kMsgPortClosed = 169;
constexpr int kMsgPortOpenFailed = 170;

// Purge flags.
constexpr std::uint32_t PURGE_TXABORT = 0x0001;
constexpr std::uint32_t PURGE_RXABORT = 0x0002;
constexpr std::uint32_t PURGE_TXCLEAR = 0x0004;
constexpr std::uint32_t PURGE_RXCLEAR = 0x0008;

// Serial event bits reported by WaitEvent.
constexpr std::uint32_t EV_RXCHAR = 0x0001;
constexpr std::uint32_t EV_ERR = 0x0080;
// The device reported a hang-up: it has been pulled out.
constexpr std::uint32_t EV_REMOVED = 0x10000;

// What the port asks of the application around it. Set before Open; the
// threads read them while the port is open.
struct SerialPortHooks {
  // Shows a refusal message (a language string id). Runs on the thread that
  // called Write or CheckReady.
  std::function<void(int stringId)> showMessage;
  // True while the device initialisation sequence runs (the main window's
  // initialising flag, read under its status lock): refusals are not shown.
  std::function<bool()> isInitialising;
  // True while the start-up picture window is still shown.
  std::function<bool()> isStartingUp;
  // Ends the process at once; when empty, _exit.
  std::function<void(int exitCode)> endProcess;
  // Show and take down the exit picture (Main_szExitSplashBmp).
  std::function<void()> showExitPicture;
  std::function<void()> hideExitPicture;
  // Quits the application normally, for instance PostQuitTo(mainWindow).
  std::function<void()> quit;
  // How long the exit picture stays before the quit.
  int exitPictureMs = 2000;
};

// A quit hook that posts WM_QUIT to window.
std::function<void()> PostQuitTo(WindowPort& window);

class CSerialPort {
public:
  enum State : int { Closed = 0, OpenFailed = 1, Ready = 2, Busy = 3 };
  static constexpr std::size_t kRingSize = 16384;
  static constexpr std::uint32_t kBaudRate = 460800;

  // The device is the system side of the connection (a Linux tty in the
  // program, a test double in tests).
  explicit CSerialPort(std::unique_ptr<SerialDevice> device);
  virtual ~CSerialPort();
  CSerialPort(const CSerialPort&) = delete;
  CSerialPort& operator=(const CSerialPort&) = delete;

  void SetHooks(SerialPortHooks hooks) { hooks_ = std::move(hooks); }

  // Opens path exclusively and configures it; with startThreads, starts the
  // reader and removal watch threads. False leaves the state OpenFailed.
  bool Open(const char* path, bool startThreads);
  // Stops the threads (waits for them), clears DTR, purges and closes.
  // Afterwards the state is Closed. Must not be called from a hook.
  bool Close();
  // From Ready: writes length bytes and leaves the port Busy; a short write
  // returns false and the port is Ready again. In any other state nothing is
  // written and, when showError is set and the device initialisation is not
  // running, the refusal message of the state is shown.
  bool Write(const void* bytes, std::uint16_t length, bool showError);
  // Reads what is waiting, up to count; with nothing waiting, waits up to
  // timeoutMs (-1: no limit) for bytes. 0 on time-out or error (LastError).
  std::size_t Read(void* buffer, std::size_t count, int timeoutMs);
  // Waits up to timeoutMs for a serial event (EV_RXCHAR for bytes that
  // arrive after a read has taken all there was, EV_REMOVED when the device
  // has gone); true with its bits in EventMask().
  bool WaitEvent(int timeoutMs);
  bool Purge(std::uint32_t flags);
  bool Configure();

  bool IsOpen() const;
  bool IsRunning() const { return running_.load(); }
  int GetState() const { return state_.load(); }
  // Sets the state; returns the previous one. A port that is not open
  // (Closed, OpenFailed) stays so: a feature that gives up on its command
  // after the port was closed (for suspend) must not make it look Ready.
  int SetState(int value);
  // True when Ready; otherwise shows the refusal message of the state.
  bool CheckReady();

  std::uint32_t EventMask() const { return eventMask_.load(); }
  int LastError() const { return lastError_.load(); }
  // True while the port reader thread runs.
  bool IsReaderRunning() const { return readerActive_.load(); }

  // The receive ring, emptied by the dispatcher. The data-arrived event is
  // set after each read that stored bytes. While the ring is full the
  // reader takes nothing more from the device: bytes wait there (and the
  // device's flow control holds back the modem) until the dispatcher has
  // taken some, so that none are lost.
  void SetDataArrivedEvent(Event* event) { dataArrived_.store(event); }
  // Moves up to max bytes out of the ring, oldest first.
  std::size_t TakeReceived(std::uint8_t* out, std::size_t max);
  std::size_t ReceivedCount() const;

private:
  void ResetRing();
  void StoreReceived(const std::uint8_t* bytes, std::size_t count);
  std::size_t RingRoom() const;
  void ReaderThread();
  bool ReadAvailable();
  void RemovalThread();
  void OnDeviceRemoved();
  bool IsInitialising() const;
  void ShowRefusal(int state);
  void StopThreads();

  std::thread readerThread_;
  std::thread removalThread_;

  std::uint8_t ring_[kRingSize];
  std::size_t ringRead_ = 0;
  std::size_t ringWrite_ = 0;
  std::uint16_t ringCount_ = 0;
  mutable std::mutex ringLock_;
  // Set when the dispatcher makes room in a full ring.
  Event ringRoom_{Event::Mode::Auto};

  std::atomic<bool> running_{false};
  std::atomic<bool> readerActive_{false};
  std::unique_ptr<SerialDevice> device_;
  // Shared by writers, held exclusively while the device is closed.
  mutable std::shared_mutex ioLock_;
  std::atomic<std::uint32_t> eventMask_{0};
  std::atomic<int> lastError_{0};
  std::atomic<int> state_{Closed};

  std::atomic<Event*> dataArrived_{nullptr};
  Event closing_{Event::Mode::Manual};
  SerialPortHooks hooks_;
};

}  // namespace evdo
