#pragma once
// The card lock record of the main window. The device initialisation writes
// the SIM state and the PIN lock from its service query; PIN management moves
// the SIM state on when a PIN or PUK is entered. Both fields are written on
// the dispatcher's parser thread and read on the user-interface thread, so
// they are atomic.
#include <atomic>
#include <cstdint>

namespace evdo {

// SIM state values.
inline constexpr std::int16_t kSimStateUnset = -1;
inline constexpr std::int16_t kSimStateUnusable = 13;     // service query answered "5"
inline constexpr std::int16_t kSimStateNoService = 14;    // service query answered "0"
inline constexpr std::int16_t kSimStatePinRequired = 20;  // "SIM PIN"
inline constexpr std::int16_t kSimStatePukRequired = 21;  // "SIM PUK": the card is blocked
inline constexpr std::int16_t kSimStateReady = 22;        // the device is usable
inline constexpr std::int16_t kSimStateDestroyed = 23;    // the last PUK attempt failed
inline constexpr std::int16_t kSimStateResumed = 24;      // set before re-initialising after resume

// PIN lock values.
inline constexpr std::int16_t kPinLockUnset = -1;
inline constexpr std::int16_t kPinLockOff = 0;
inline constexpr std::int16_t kPinLockOn = 1;

// Attempt counters before the first query.
inline constexpr std::uint16_t kAttemptsUnset = 0xFFFF;

struct CPinStatus {
  std::atomic<std::int16_t> simState{kSimStateUnset};
  std::atomic<std::int16_t> pinLock{kPinLockUnset};
  // Attempts before the card blocks (full count 3) and before it is
  // destroyed (full count 10); written by PIN management.
  std::atomic<std::uint16_t> pinAttempts{kAttemptsUnset};
  std::atomic<std::uint16_t> pukAttempts{kAttemptsUnset};

  bool IsReady() const { return simState.load() == kSimStateReady; }
};

}  // namespace evdo
