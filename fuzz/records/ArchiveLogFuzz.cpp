// The connection log and the monthly totals: the first byte picks the store.
#include <memory>

#include "fuzz/records/FuzzRoundTrip.h"
#include "internet/LogData.h"

template <class Store>
void RoundTrip(const std::uint8_t* data, std::size_t size) {
  static auto store = std::make_unique<Store>("");
  std::string error;
  if (!store->LoadFromBytes(evdo::Bytes(data, data + size), error)) return;
  evdo::Bytes out;
  if (!store->Serialize(out)) std::abort();
  evdo::fuzz::ExpectSame(out, data, size);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  if (data[0] & 1) RoundTrip<evdo::CMonthLogData>(data + 1, size - 1);
  else RoundTrip<evdo::CLogData>(data + 1, size - 1);
  return 0;
}
