#pragma once
// What the answers of the status commands and the modem's status
// notifications do to the device status record. Each function takes one
// dispatched block, updates the record and posts the status messages; the
// reply events are set by whoever called them (the command exchange, the
// notification slot).
#include <cstdint>
#include <string_view>

#include "device/LineAssembler.h"
#include "device/status/DeviceStatus.h"

namespace evdo {

// A dispatched block as a handler receives it: count cells, each a
// zero-terminated line. A cell without a terminator ends at the cell's end.
class BlockLines {
public:
  BlockLines(const LineCell* cells, std::uint16_t count) : cells_(cells), count_(count) {}
  std::uint16_t Count() const { return count_; }
  // Line index, or an empty line when the block has fewer lines.
  std::string_view Line(std::size_t index) const;
  // The last line (the final result of a command, the line of a
  // notification); empty when the block is empty.
  std::string_view Last() const;

private:
  const LineCell* cells_;
  std::uint16_t count_;
};

// Answers of the status commands (line 0 is the first information line).
void ApplyServiceAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplyCsmssAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplyOperatorAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplyNetworkTypeAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplyRoamingAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplySignalAnswer(CDeviceStatus& status, const BlockLines& block);
void ApplyServiceCentreAnswer(CDeviceStatus& status, const BlockLines& block);

// Notifications. Each looks at the notification's own line, the last of the
// block, and ignores a block whose line does not begin with its text.
void OnRssi(CDeviceStatus& status, const BlockLines& block);
void OnCsmss(CDeviceStatus& status, const BlockLines& block);
void OnNetworkStatus(CDeviceStatus& status, const BlockLines& block);
void OnNetworkService(CDeviceStatus& status, const BlockLines& block);
void OnRoamingStatus(CDeviceStatus& status, const BlockLines& block);
void OnSimReady(CDeviceStatus& status, const BlockLines& block);
void OnCurrentPlmn(CDeviceStatus& status, const BlockLines& block);
void OnSrvStatus(CDeviceStatus& status, const BlockLines& block);

}  // namespace evdo
