#include <memory>

#include "fuzz/records/FuzzRoundTrip.h"
#include "internet/ConnProfile.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static auto store = std::make_unique<evdo::CConnProfile>("", "");
  std::string error, name;
  const evdo::Bytes content(data, data + size);
  if (evdo::CConnProfile::SelectionFromBytes(content, name, error) && name.size() > 257) std::abort();
  if (!store->LoadFromBytes(content, error)) return 0;
  evdo::fuzz::ExpectSame(store->Encode(), data, size);
  for (int i = 0; i < store->Count(); ++i) {
    evdo::ConnProfileRecord r;
    store->Get(i, r);
    if (store->IndexByName(std::string_view(r.name, strnlen(r.name, sizeof r.name))) > i) std::abort();
  }
  return 0;
}
