#pragma once
// The vCard import: the cards are found with a quick search for
// "BEGIN:VCARD" and "END:VCARD". A card holding the six properties the export
// writes is read as written; any other card is read as phones and address
// books write them (VCardProperties).
#include <string_view>
#include <vector>

#include "phonebook/ContactImport.h"

namespace evdo {

// One card as read, before the import's checks: 274 bytes, zero-filled.
struct VCardEntry {
  char Name[13];
  char Mobile[33];
  char Home[33];
  char Company[33];
  char Email[33];
  char Remark[129];
};
static_assert(sizeof(VCardEntry) == 274);
static_assert(offsetof(VCardEntry, Mobile) == 13);
static_assert(offsetof(VCardEntry, Home) == 46);
static_assert(offsetof(VCardEntry, Company) == 79);
static_assert(offsetof(VCardEntry, Email) == 112);
static_assert(offsetof(VCardEntry, Remark) == 145);

class VCardReader {
public:
  static constexpr std::size_t kMaxCards = 200;

  static ImportOutcome Import(CPbData& store, std::string_view text);

  // Splits text (LF line ends, blanks at both ends removed) into at most
  // kMaxCards cards. False when a card is malformed; more is set when further
  // cards follow the last one read.
  static bool SplitCards(std::string_view text, std::vector<std::string_view>& cards, bool& more);
  // Reads the contact of card into entry, cut to the entry's widths.
  static bool ParseCard(std::string_view card, VCardEntry& entry);

  // The entry as a contact record.
  static ContactRecord ToRecord(const VCardEntry& entry);
};

}  // namespace evdo
