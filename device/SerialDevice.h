#pragma once
// The system calls of a serial connection, behind a small interface so that
// the port logic can run against a test double. One implementation talks to
// a Linux tty (PosixSerialDevice).
//
// Threads: Open, Configure, Close are called by one owner thread while no
// other thread uses the device. While it is open, Read/WaitReadable may run
// on one thread, WaitHangUp on another and Write/Flush/SetDtr on a third at
// the same time; Wake may be called from any thread.
#include <cstddef>
#include <cstdint>

namespace evdo {

// The line settings applied by Configure.
struct SerialLineSettings {
  std::uint32_t baudRate = 460800;
  std::uint8_t dataBits = 8;  // 5..8
  bool parity = false;        // false: no parity
  bool twoStopBits = false;   // false: one stop bit
};

class SerialDevice {
public:
  enum class WaitResult {
    Readable,  // bytes can be read
    HangUp,    // the device reported a hang-up or an error: it has gone
    Woken,     // Wake was called
    TimedOut,
    Failed,    // the wait itself failed (LastError)
  };
  enum class ReadStatus {
    Ok,      // count bytes were read
    NoData,  // nothing is waiting
    Gone,    // the device has gone (hang-up, EIO, ENODEV)
    Failed,  // another error (LastError)
  };
  struct ReadResult {
    std::size_t count;
    ReadStatus status;
  };

  virtual ~SerialDevice() = default;

  // Opens path for exclusive use. False (LastError set) when the device is
  // absent, not a terminal, or held by another program.
  virtual bool Open(const char* path) = 0;
  virtual bool IsOpen() const = 0;
  // Gives up exclusive use and closes. Safe when not open.
  virtual void Close() = 0;

  // Raw mode with the given line settings; every other setting keeps the
  // driver's value.
  virtual bool Configure(const SerialLineSettings& settings) = 0;

  // Takes whatever is waiting, up to size bytes, without blocking.
  virtual ReadResult Read(void* buffer, std::size_t size) = 0;
  // Writes all bytes, waiting for the device to take them without a time
  // limit. Returns the count written: less than size on failure or when
  // Wake was called.
  virtual std::size_t Write(const void* bytes, std::size_t size) = 0;

  // Waits until new bytes arrive, the device has gone or Wake was called.
  // timeoutMs -1: no limit. Bytes that were already waiting need not be
  // reported: call it after a read has taken less than it asked for.
  virtual WaitResult WaitReadable(int timeoutMs) = 0;
  // Waits until the device has gone or Wake was called (Readable is never
  // returned).
  virtual WaitResult WaitHangUp() = 0;
  // Releases every present and future wait until the device is closed.
  virtual void Wake() = 0;

  // Discards bytes received but not read (input) and bytes written but not
  // sent (output).
  virtual bool Flush(bool input, bool output) = 0;
  // Sets or clears the data-terminal-ready line.
  virtual bool SetDtr(bool on) = 0;

  // The system error number of the last failure.
  virtual int LastError() const = 0;
};

}  // namespace evdo
