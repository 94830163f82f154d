#pragma once
// The simulated modem's phonebooks: the card "SM" (250 locations) and the
// device memory "ME" (500), names kept as UCS-2 hex as a device keeps them.
// Answers "AT+CPBS=", "AT+CPBS?", "AT+CPBS=?", "AT+CPBR=" (one location or a
// range, and "=?") and "AT+CPBW=" (write, write to the first free location,
// erase) with the "+CME ERROR: n" a device gives: 10 without a ready card
// (card commands only), 20 for a full book, 21 for a bad location, 24 for a
// name too long, 26 for a number too long, 3 for anything else refused. The
// control command "pb" lists, fills, empties and resizes them.
#include <map>
#include <string>
#include <string_view>

#include "tools/modemsim/CommandTable.h"
#include "tools/modemsim/ModemFeature.h"

namespace evdo::modemsim {

class PhonebookFeature final : public ModemFeature {
public:
  static constexpr int kSmLocations = 250;
  static constexpr int kMeLocations = 500;
  static constexpr std::size_t kNumberLength = 40;  // longest number
  static constexpr std::size_t kNameLength = 14;    // longest name, in UCS-2 characters
  static constexpr int kMaxCapacity = 10000;

  struct Entry {
    std::string number;
    int type = 129;
    std::string hexName;  // UCS-2, four hexadecimal digits a character
  };
  struct Book {
    int capacity = 0;
    std::map<int, Entry> entries;  // by location, 1-based
  };

  const char* Name() const override { return "phonebook"; }
  void Install(ModemEngine& engine) override;
  void Describe(std::string& out) const override;

  Book& BookOf(std::string_view name) { return name == "ME" ? me_ : sm_; }
  const std::string& Selected() const { return selected_; }

  // Text in UTF-8 as UCS-2 hex, and back (for "pb add" and "pb list").
  static std::string Utf8ToHex(std::string_view utf8);
  static std::string HexToUtf8(std::string_view hex);

private:
  bool CardReady(ModemEngine& engine) const;
  void Select(ModemEngine& engine, std::string_view args, ModemReply& reply);
  void ReadEntries(ModemEngine& engine, std::string_view args, ModemReply& reply);
  void WriteEntry(ModemEngine& engine, std::string_view args, ModemReply& reply);
  ControlResult Control(std::string_view args);

  Book sm_{kSmLocations, {}};
  Book me_{kMeLocations, {}};
  std::string selected_ = "SM";
};

}  // namespace evdo::modemsim
