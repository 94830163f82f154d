// Feeds arbitrary bytes to the reading of the modem's phonebook answers
// ("+CPBR:" location lines and the "AT+CPBS?" total) and to the building of
// write commands from what was read. Checks that an entry never holds more
// than its widths, that a location is within the total, and that a write
// command holds only its own line.
#include <cstdint>
#include <algorithm>
#include <cstdlib>
#include <string>
#include <string_view>

#include "phonebook/DevicePhonebook.h"
#include "sms/SmsCodec.h"

namespace {

using namespace evdo;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::string_view line(reinterpret_cast<const char*>(data) + 1, size - 1);
  const int total = data[0] % 8 == 0 ? kMaxDeviceLocations : data[0];
  DeviceEntry entry;
  if (PbAnswer::Entry(line, total, "unnamed", entry)) {
    Require(entry.index >= 1 && entry.index <= total);
    Require(entry.Name().size() < kDeviceNameWidth && entry.Number().size() < kDeviceNumberWidth);
    Require(!entry.Name().empty());
    // What was read goes back only through the checked command.
    WriteRefusal why = WriteRefusal::None;
    const std::string command =
        BuildWriteCommand(entry.index, entry.Number(), sms::EncodeUcs2Hex(ShortenForDevice(entry.Name())), &why);
    if (!command.empty()) {
      Require(why == WriteRefusal::None);
      Require(command.find('\r') == command.size() - 1);
      Require(command.find('\n') == std::string::npos);
      // A number goes with its quoted name; without one the location is erased.
      Require(std::count(command.begin(), command.end(), '"') == (entry.Number().empty() ? 0 : 4));
    }
  }
  bool clipped = false;
  const int capacity = PbAnswer::Capacity(line, &clipped);
  Require(capacity >= 0 && capacity <= kMaxDeviceLocations);
  DeviceBook book;
  book.Reset(capacity);
  Require(book.Total() == capacity);
  return 0;
}
