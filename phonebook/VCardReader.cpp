#include "phonebook/VCardReader.h"

#include "core/text/TextRules.h"

#include <array>
#include <cstring>
#include <string>

#include "core/text/FixedText.h"
#include "phonebook/PhonebookMessages.h"
#include "phonebook/QuickSearch.h"
#include "phonebook/VCardProperties.h"

namespace evdo {
namespace {

constexpr std::string_view kBegin = "BEGIN:VCARD";
constexpr std::string_view kEnd = "END:VCARD";

struct Property {
  std::string_view name;
  std::size_t offset;
  std::size_t width;
};

constexpr std::array<Property, 6> kProperties = {{
    {"FN:", offsetof(VCardEntry, Name), sizeof(VCardEntry::Name)},
    {"TEL;TYPE=CELL,VOICE,PREF:", offsetof(VCardEntry, Mobile), sizeof(VCardEntry::Mobile)},
    {"TEL;TYPE=WORK,VOICE:", offsetof(VCardEntry, Company), sizeof(VCardEntry::Company)},
    {"TEL;TYPE=HOME,VOICE:", offsetof(VCardEntry, Home), sizeof(VCardEntry::Home)},
    {"EMAIL;TYPE=INTERNET,PREF:", offsetof(VCardEntry, Email), sizeof(VCardEntry::Email)},
    {"NOTE:", offsetof(VCardEntry, Remark), sizeof(VCardEntry::Remark)},
}};

std::string_view StripEnds(std::string_view text) {
  constexpr std::string_view kLeading = "\n \t\r";
  std::size_t first = text.find_first_not_of(kLeading);
  if (first == std::string_view::npos) return {};
  return text.substr(first, text.find_last_not_of(kLeading) - first + 1);
}

// The value of the first line of card that starts with name; false when no
// line does, or that line does not end with LF.
bool FindProperty(std::string_view card, std::string_view name, std::string_view& value) {
  for (std::size_t line = 0; line < card.size();) {
    std::size_t lf = card.find('\n', line);
    if (card.substr(line).starts_with(name)) {
      if (lf == std::string_view::npos) return false;
      value = card.substr(line + name.size(), lf - line - name.size());
      return true;
    }
    if (lf == std::string_view::npos) break;
    line = lf + 1;
  }
  return false;
}

int CheckEntry(const ContactRecord& record) {
  if (int m = ContactImport::CheckName(FieldValue(record, ContactField::Name))) return m;
  for (ContactField f : kNumberFields)
    if (int m = ContactImport::CheckNumber(FieldValue(record, f))) return m;
  return pbmsg::kNone;
}

}  // namespace

bool VCardReader::SplitCards(std::string_view text, std::vector<std::string_view>& cards, bool& more) {
  static const QuickSearch begin(kBegin), end(kEnd);
  more = false;
  cards.clear();
  for (std::size_t pos = 0;;) {
    // BEGIN and END count only at the start of a line.
    auto atLineStart = [&](const QuickSearch& search, std::size_t from) {
      std::size_t at = search.Find(text, from);
      while (at != std::string_view::npos && at > 0 && text[at - 1] != '\n') at = search.Find(text, at + 1);
      return at;
    };
    const std::size_t b = atLineStart(begin, pos), e = atLineStart(end, pos);
    if (b == std::string_view::npos || e == std::string_view::npos || e < b) return false;
    // A card whose END is missing runs into the next card: malformed.
    if (const std::size_t next = atLineStart(begin, b + kBegin.size()); next < e) return false;
    const std::size_t after = e + kEnd.size();
    cards.push_back(text.substr(b, after - b));
    if (after >= text.size()) return true;
    if (cards.size() == kMaxCards) {
      more = true;
      return true;
    }
    pos = after + 1;
  }
}

bool VCardReader::ParseCard(std::string_view card, VCardEntry& entry) {
  std::memset(&entry, 0, sizeof entry);
  // A card as this phonebook exports it: the six properties, each read as
  // written.
  bool exported = true;
  for (const Property& p : kProperties) {
    std::string_view value;
    if (!FindProperty(card, p.name, value)) {
      exported = false;
      break;
    }
    // The value is the whole rest of the line, colons included.
    SetFieldText(reinterpret_cast<char*>(&entry) + p.offset, p.width, TrimAsciiSpace(value));
  }
  if (exported) return true;
  // A card from a phone or an address book.
  std::memset(&entry, 0, sizeof entry);
  const VCardContact c = VCardProperties::Read(card);
  SetFieldText(entry.Name, TrimAsciiSpace(c.name));
  SetFieldText(entry.Mobile, TrimAsciiSpace(c.mobile));
  SetFieldText(entry.Home, TrimAsciiSpace(c.home));
  SetFieldText(entry.Company, TrimAsciiSpace(c.company));
  SetFieldText(entry.Email, TrimAsciiSpace(c.email));
  SetFieldText(entry.Remark, TrimAsciiSpace(c.remark));
  return true;
}

ContactRecord VCardReader::ToRecord(const VCardEntry& entry) {
  ContactRecord r = EmptyContact();
  SetFieldValue(r, ContactField::Name, FieldText(entry.Name));
  SetFieldValue(r, ContactField::Mobile, FieldText(entry.Mobile));
  SetFieldValue(r, ContactField::Home, FieldText(entry.Home));
  SetFieldValue(r, ContactField::Company, FieldText(entry.Company));
  SetFieldValue(r, ContactField::Email, FieldText(entry.Email));
  SetFieldValue(r, ContactField::Remark, FieldText(entry.Remark));
  return r;
}

ImportOutcome VCardReader::Import(CPbData& store, std::string_view text) {
  ImportOutcome outcome;
  const std::string lines = ContactImport::TextModeLines(text);
  std::vector<std::string_view> cards;
  bool more = false;
  std::vector<VCardEntry> entries;
  bool parsed = SplitCards(StripEnds(lines), cards, more);
  entries.resize(parsed ? cards.size() : 0);
  for (std::size_t i = 0; parsed && i < cards.size(); ++i) parsed = ParseCard(cards[i], entries[i]);
  if (!parsed) {
    outcome.Fail(pbmsg::kMalformedFile, "not a vCard file this phonebook reads");
    outcome.Fail(pbmsg::kNothingToExport);
    return outcome;
  }
  bool skipped = false;
  for (const VCardEntry& entry : entries) {
    ContactRecord record = ToRecord(entry);
    if (int m = CheckEntry(record)) {
      outcome.Fail(m, "card \"" + std::string(FieldText(entry.Name)) + "\" is refused");
      return outcome;
    }
    if (!ContactImport::AddOrSkip(store, record, outcome, skipped)) return outcome;
  }
  outcome.completed = true;
  if (skipped) outcome.Fail(pbmsg::kSkippedLines);
  // The phonebook holds 200 contacts; cards after the 200th are not read.
  if (more) outcome.Fail(pbmsg::kStoreFull, "the file holds more than " + std::to_string(kMaxCards) + " cards");
  return outcome;
}

}  // namespace evdo
