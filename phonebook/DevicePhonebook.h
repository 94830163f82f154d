#pragma once
// The phonebooks of the modem: the card ("SM") and the device memory ("ME").
// Their entries live only while the transfer window is open. This file holds
// the command texts, the reading of the modem's answers and the checks a
// name and a number pass before they may reach a write command.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace evdo {

enum class PbMemory : int { ME = 0, SM = 1 };

inline constexpr std::size_t kDeviceNameWidth = 33;    // 32 bytes kept
inline constexpr std::size_t kDeviceNumberWidth = 41;  // 40 bytes kept
// A memory reporting more locations than this is read up to this many: the
// entry arrays and the progress are sized by it, and a total of four or more
// digits never reaches past them.
inline constexpr int kMaxDeviceLocations = 1000;
// The longest name written: 14 bytes, and 6 characters when one of them is
// a double-byte (multi-byte) character.
inline constexpr std::size_t kDeviceNameBytes = 14;
inline constexpr std::size_t kDeviceDoubleByteNameChars = 6;
// The number type written with every number.
inline constexpr int kDeviceNumberType = 129;

// Command texts (each line ends with CR).
inline constexpr const char* kCmdSelectMe = "AT+CPBS=\"ME\"\r";
inline constexpr const char* kCmdSelectSm = "AT+CPBS=\"SM\"\r";
inline constexpr const char* kCmdQueryMemory = "AT+CPBS?\r";
inline constexpr const char* kCmdReadPrefix = "AT+CPBR=";
inline constexpr const char* kCmdWritePrefix = "AT+CPBW=";

// One location of a device phonebook.
struct DeviceEntry {
  std::int32_t index = -1;  // the 1-based location; -1 when empty
  char name[kDeviceNameWidth] = {};
  char number[kDeviceNumberWidth] = {};

  bool Empty() const { return index < 0; }
  std::string_view Name() const;
  std::string_view Number() const;
  void Set(std::int32_t location, std::string_view name, std::string_view number);
  void Clear() { *this = DeviceEntry{}; }
};

// The entries of one memory: entry k describes location k + 1.
class DeviceBook {
public:
  void Reset(int total);
  void Free() { entries_.clear(); entries_.shrink_to_fit(); }
  int Total() const { return static_cast<int>(entries_.size()); }
  bool Exists() const { return !entries_.empty(); }
  // The position of the first empty entry, or -1.
  int FirstEmpty() const;
  int Used() const;
  DeviceEntry& At(int k) { return entries_[static_cast<std::size_t>(k)]; }
  const DeviceEntry& At(int k) const { return entries_[static_cast<std::size_t>(k)]; }

private:
  std::vector<DeviceEntry> entries_;
};

const char* SelectCommand(PbMemory memory);
std::string ReadCommand(int location);

// The memory's name on the line: "ME" or "SM".
const char* MemoryName(PbMemory memory);

// Reading of answers. Lines are the answer's lines, the final result last.
class PbAnswer {
public:
  // An answer that has no line, or a line "ERROR" (any letter case).
  static bool Failed(const std::vector<std::string>& lines);
  // The last line is "OK" (any letter case).
  static bool EndsOk(const std::vector<std::string>& lines);
  // The total of "AT+CPBS?": the decimal number after the last ',' of the
  // first line (no digits: 0). Bounded by kMaxDeviceLocations; clipped says
  // whether it was.
  static int Capacity(std::string_view firstLine, bool* clipped = nullptr);
  // One "+CPBR:" line. False when the location is not a number within
  // 1..total. The name is decoded from UCS-2 hex; an empty name becomes
  // unnamed. Name and number are cut to what an entry keeps.
  static bool Entry(std::string_view line, int total, std::string_view unnamed, DeviceEntry& out);
};

// The name as it goes to a device: at most 14 bytes, and at most 6
// characters when it holds a double-byte character.
std::string ShortenForDevice(std::string_view name);

// What may be written: numbers only in dial characters ('0'..'9', '*',
// '#', '+' first only) and within the entry's width; names shortened as
// above and encoded.
enum class WriteRefusal { None, EmptyNumber, NumberCharacters, NumberTooLong, NameNotEncoded };
WriteRefusal CheckDeviceNumber(std::string_view number);

// "AT+CPBW=<location>,"<number>",129,"<hex name>"" with CR, or the erase
// "AT+CPBW=<location>" when number is empty. The hex name must come from
// EncodeUcs2Hex. Returns "" when the number is refused (refusal set).
std::string BuildWriteCommand(int location, std::string_view number, std::string_view hexName,
                              WriteRefusal* refusal = nullptr);

}  // namespace evdo
