// "HistData.dat": a file from the input (or none), then calls added,
// removed and cleared as the input says. Every change that is saved leaves
// on disk what the store holds, a failed one leaves the file as it was, and a
// fresh store loads what was saved. A refused file is kept aside unchanged.
// The lists stay newest first, at most 50 long, and sort by every column.
#include <fuzzer/FuzzedDataProvider.h>

#include <filesystem>

#include "calls/HistData.h"
#include "calls/HistListOrder.h"
#include "fuzz/support/FuzzSupport.h"

namespace {

using namespace evdo;
using fuzz::Require;

void ExpectNewestFirst(const CHistData& store, int list) {
  HistRecord a{}, b{};
  for (int s = 1; s < store.Count(list); ++s) {
    store.Get(list, s - 1, a);
    store.Get(list, s, b);
    Require(!(b.Start() > a.Start()), "a list stays newest first");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string path = fuzz::FreshPath(kHistDataFile);
  Bytes initial;
  const bool hadFile = in.ConsumeBool();
  if (hadFile) {
    initial = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 6 + 64 * 12));
    fuzz::WriteAll(path, initial);
  }
  CHistData store(path);
  const LoadResult loaded = store.Load();
  if (loaded.status == LoadStatus::Loaded) {
    Require(store.Encode() == initial, "a sound file loads as it is");
  } else if (loaded.status == LoadStatus::Damaged) {
    Require(fuzz::ReadAll(path + ".damaged") == initial, "a refused file is kept aside unchanged");
    Require(store.IsEmpty(kAllHistLists), "a refused file leaves the lists empty");
  }
  Require(fuzz::ReadAll(path) == store.Encode(), "the file holds what the store holds after a load");
  for (int list = 0; list < kHistListCount; ++list) Require(store.Count(list) <= kHistListCapacity, "50 calls at most");

  while (in.remaining_bytes() > 0) {
    const int op = in.ConsumeIntegralInRange(0, 9);
    const int list = in.ConsumeIntegralInRange(0, kHistListCount);  // 3: no such list
    const Bytes before = fuzz::ReadAll(path);
    ChangeResult result;
    if (op < 7) {
      HistRecord r{};
      r.SetNumber(in.ConsumeRandomLengthString(48));
      r.SetStart(DateTime(in.ConsumeIntegralInRange(0, 60000) + in.ConsumeIntegralInRange(0, 1439) / 1440.0, 0));
      r.duration = in.ConsumeIntegral<std::int64_t>();
      const int prevCount = list < kHistListCount ? store.Count(list) : 0;
      const bool known = list < kHistListCount && store.FindSlot(list, r.Number()) >= 0;
      result = store.Add(list, r);
      if (list < kHistListCount) {
        const int expected = known ? prevCount : std::min<int>(prevCount + 1, kHistListCapacity);
        Require(store.Count(list) == expected, "a call adds one entry, or moves its number's entry");
        Require(store.FindSlot(list, r.Number()) >= 0, "an added call is in its list");
        ExpectNewestFirst(store, list);
      } else {
        Require(!result, "a call for no list is refused");
      }
    } else if (op == 7) {
      const int prevCount = list < kHistListCount ? store.Count(list) : 0;
      const int slot = in.ConsumeIntegralInRange(-1, 50);
      result = store.Remove(list, slot);
      if (list < kHistListCount && slot >= 0 && slot < prevCount)
        Require(store.Count(list) == prevCount - 1, "a removed call is gone");
    } else {
      result = store.Clear(list == kHistListCount ? kAllHistLists : list);
      Require(!result || store.IsEmpty(list == kHistListCount ? kAllHistLists : list), "a cleared list is empty");
    }
    const Bytes after = fuzz::ReadAll(path);
    if (result) Require(after == store.Encode(), "a saved change is on disk");
    else Require(after == before, "a refused change leaves the file untouched");
  }

  CHistData again(path);
  Require(again.Load().status == LoadStatus::Loaded, "what was saved loads");
  Require(again.Encode() == store.Encode(), "what was saved loads equal");
  // Sorting the lists by every column ends and keeps every call.
  for (int list = 0; list < kHistListCount; ++list) {
    CHistListOrder order;
    auto names = [](const HistRecord& r) { return HistDisplayName(r, "?", nullptr); };
    order.Rebuild(store, list, names);
    for (int column = 0; column < kHistColumnCount; ++column) order.ClickColumn(column, store, list, names);
    Require(order.Rows() == store.Count(list), "sorting keeps every call");
  }
  return 0;
}
