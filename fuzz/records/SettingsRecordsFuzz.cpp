// The one-record files: "ConnSetData.dat", "StreamData.dat" and
// "UsageLimitData.dat". The first byte picks the file.
#include "fuzz/records/FuzzRoundTrip.h"
#include "internet/ConnSetData.h"
#include "internet/TrafficCounters.h"
#include "internet/UsageLimit.h"

template <class Record>
void RoundTrip(const std::uint8_t* data, std::size_t size, void (*use)(Record&)) {
  Record r{};
  std::string error;
  if (!evdo::RawRecordFile<Record>::Decode(evdo::Bytes(data, data + size), r, error)) return;
  evdo::Bytes out;
  evdo::AppendRecord(out, r);
  evdo::fuzz::ExpectSame(out, data, size);
  use(r);
}

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const std::uint8_t* rest = data + 1;
  const std::size_t n = size - 1;
  switch (data[0] % 3) {
    case 0: RoundTrip<evdo::ConnSetData>(rest, n, [](evdo::ConnSetData&) {}); break;
    case 1:
      RoundTrip<evdo::TrafficCounters>(rest, n, [](evdo::TrafficCounters& c) {
        evdo::LocalTime t;
        t.year = 2024;
        evdo::UpdateCounters(c, 1 << 30, -(1 << 30), 1 << 30, t);
        evdo::ShowCounters(c);
      });
      break;
    default:
      RoundTrip<evdo::UsageLimit>(rest, n, [](evdo::UsageLimit& l) {
        evdo::TrafficCounters c{};
        evdo::UsageLimitWatch().Check(l, c, 1 << 30, 0xFFFFFFFF, 0xFFFFFFFF);
      });
      break;
  }
  return 0;
}
