#pragma once
// What the Internet page needs of the dial-up service: dial an entry with
// the profile's values, report the dialling progress as numbered events
// through the page's window, the connection's status and statistics, hang
// up, and an error number with its text when dialling fails.
#include <cstdint>
#include <string>

#include "core/event/WindowPort.h"

namespace evdo {

// Dial events (wParam of kMsgDialEvent), in the order they arrive.
enum DialState : std::uint32_t {
  kDialOpenPort = 0,
  kDialPortOpened = 1,
  kDialConnectDevice = 2,
  kDialDeviceConnected = 3,
  kDialAuthenticate = 5,
  kDialAuthenticated = 14,
  kDialConnected = 0x2000,
  kDialDisconnected = 0x2001,
};

// The dial service's notification to the page: wParam a DialState, lParam
// the session (DialEventLParam) so that a late event of an ended dial is
// recognised and dropped.
constexpr MessageId kMsgDialEvent = WM_USER + 210;
constexpr LParam DialEventLParam(std::uint32_t session, int error) {
  return static_cast<LParam>(session) * 256 + (error & 0xFF);
}
constexpr std::uint32_t DialEventSession(LParam l) { return static_cast<std::uint32_t>(l / 256); }
constexpr int DialEventError(LParam l) { return static_cast<int>(l % 256); }

// Dial errors that are not the service's exit status.
constexpr int kDialErrorNone = 0;

// What the page gives the service for one dial.
struct DialRequest {
  std::string entryName;    // the profile's name
  std::string phoneNumber;  // the number to dial ("#777")
  std::string userName;
  std::string password;     // never written where others can read it
  std::int32_t authType = 0;  // 0 CHAP, 1 PAP, other: neither required
  std::string dataPort;     // the modem's data port ("/dev/ttyUSB0")
};

// One statistics sample.
struct LinkSample {
  std::uint32_t bytesSent = 0;
  std::uint32_t bytesReceived = 0;
  std::uint32_t lineSpeed = 0;        // bits per second
  std::uint32_t connectDurationMs = 0;
};

class DialService {
public:
  virtual ~DialService() = default;
  // Why dialling cannot work on this computer, in the words of a language
  // string (0 when it can).
  virtual int Preflight(const DialRequest& request) = 0;
  // Starts dialling; events go to window as kMsgDialEvent. Returns the
  // session (non-zero), or 0 with error set when nothing was started.
  virtual std::uint32_t Dial(const DialRequest& request, WindowPort& window, int& error) = 0;
  // The state of session: kDialConnected while it is up, the last progress
  // while dialling, 0 when the session is not known (ended).
  virtual std::uint32_t Status(std::uint32_t session) const = 0;
  // The sample of the connected session; false when there is none.
  virtual bool Statistics(std::uint32_t session, LinkSample& sample) = 0;
  // Ends the session cleanly; returns at once (the service finishes it).
  virtual void HangUp(std::uint32_t session) = 0;
  // The language string that explains an error number (0 when none does).
  virtual int ErrorString(int error) const = 0;
};

}  // namespace evdo
