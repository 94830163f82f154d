// Feeds arbitrary bytes to the PbData.dat loader and to the two contact
// importers. The first byte chooses: 0 loader, 1 comma-separated, 2 vCard,
// 3 vCard cards built around the bytes (split at 0x01 into the values), so
// that the card parser is reached quickly. Checks that whatever is read
// leaves the store consistent.
#include <cstdint>
#include <cstdlib>
#include <iterator>
#include <string>
#include <string_view>

#include "phonebook/ContactImport.h"
#include "phonebook/PbData.h"

namespace {

using namespace evdo;

void Require(bool condition) {
  if (!condition) std::abort();
}

void CheckStore(const CPbData& store) {
  Require(store.Count() >= 0 && store.Count() <= kMaxContacts);
  for (int i = 0; i < store.Count(); ++i) {
    ContactRecord r;
    Require(store.Get(i, r));
    Require(!IsBlankContact(r));
    Require(store.RecordAt(i) == i);
  }
  // What the store saves loads back to the same contacts, soundly.
  CPbData again;
  Require(again.LoadFromBytes(store.FileContent()).empty());
  Require(again.Count() == store.Count());
  for (int i = 0; i < store.Count(); ++i) {
    ContactRecord a, b;
    store.Get(i, a);
    again.Get(i, b);
    Require(SameContact(a, b));
  }
}

// The bytes cut at 0x01 and placed between the lines of cards as the
// export writes them.
std::string CardsAround(std::string_view bytes) {
  static constexpr std::string_view kLines[] = {"BEGIN:VCARD\nVERSION:3.0\nFN:", "\nTEL;TYPE=CELL,VOICE,PREF:",
                                                "\nTEL;TYPE=HOME,VOICE:",         "\nTEL;TYPE=WORK,VOICE:",
                                                "\nEMAIL;TYPE=INTERNET,PREF:",    "\nNOTE:",
                                                "\nEND:VCARD\r\n"};
  std::string text;
  std::size_t line = 0;
  for (std::size_t start = 0; start <= bytes.size();) {
    std::size_t cut = bytes.find('\x01', start);
    if (cut == std::string_view::npos) cut = bytes.size();
    text.append(kLines[line++ % std::size(kLines)]);
    text.append(bytes.substr(start, cut - start));
    start = cut + 1;
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  CPbData store;
  store.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult::Ok(); });
  const std::string_view text(reinterpret_cast<const char*>(data + 1), size - 1);
  switch (data[0] % 4) {
    case 0: {
      Bytes content(data + 1, data + size);
      store.LoadFromBytes(content);
      break;
    }
    case 1:
    case 2:
    case 3: {
      const ImportFormat format = data[0] % 4 == 1 ? ImportFormat::Csv : ImportFormat::VCard;
      const std::string cards = data[0] % 4 == 3 ? CardsAround(text) : std::string(text);
      ImportOutcome outcome = ContactImport::FromText(store, cards, format);
      Require(outcome.added == store.Count());
      Require(outcome.completed || !outcome.messages.empty());
      break;
    }
  }
  CheckStore(store);
  return 0;
}
