// Feeds arbitrary bytes to the vCard property reader (unfolding, parameters,
// quoted-printable, charsets, escapes) as one card. Checks that the numbers
// it gives hold no separators, and that the import of the same bytes leaves
// a store of at most 200 sound contacts.
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "phonebook/ContactImport.h"
#include "phonebook/VCardProperties.h"

namespace {

using namespace evdo;

void Require(bool condition) {
  if (!condition) std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const std::string card = "BEGIN:VCARD\r\n" + std::string(bytes) + "\r\nEND:VCARD\r\n";
  const VCardContact c = VCardProperties::Read(card);
  for (const std::string* n : {&c.mobile, &c.home, &c.company})
    Require(n->find_first_of(" -().\t") == std::string::npos);
  CPbData store;
  store.SetSaveFunction([](const std::string&, const Bytes&) { return FileResult::Ok(); });
  ContactImport::FromText(store, card + card, ImportFormat::VCard);
  Require(store.Count() >= 0 && store.Count() <= kMaxContacts);
  for (int i = 0; i < store.Count(); ++i) {
    ContactRecord r;
    Require(store.Get(i, r));
    Require(!HasNoNameOrNumber(r));
    Require(FieldValue(r, ContactField::Name).size() <= ContactImport::kNameBytes);
  }
  return 0;
}
