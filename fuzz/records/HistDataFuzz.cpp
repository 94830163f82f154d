#include "calls/HistData.h"
#include "calls/HistListOrder.h"
#include "fuzz/records/FuzzRoundTrip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  evdo::CHistData store("");
  std::string error;
  const evdo::Bytes content(data, data + size);
  if (!store.LoadFromBytes(content, error)) return 0;
  evdo::fuzz::ExpectSame(store.Encode(), data, size);
  // Sorting the loaded records by every column ends and keeps every slot.
  for (int list = 0; list < evdo::kHistListCount; ++list) {
    evdo::CHistListOrder order;
    auto names = [](const evdo::HistRecord& r) { return evdo::HistDisplayName(r, "?", nullptr); };
    order.Rebuild(store, list, names);
    for (int column = 0; column < evdo::kHistColumnCount; ++column) order.ClickColumn(column, store, list, names);
    if (order.Rows() != store.Count(list)) std::abort();
  }
  return 0;
}
