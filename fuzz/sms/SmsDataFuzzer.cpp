// Loads bytes as "SmsData.dat". Accepted content must come back byte for
// byte from the store and from the evdo-data dump and build. An input
// starting with '#' is shaped into sound content first (its bytes become
// records of the box its second byte picks) so that records of every kind
// reach the round trips.
#include <cstdint>
#include <cstdlib>

#include "core/files/RawRecord.h"
#include "sms/SmsData.h"
#include "tools/evdo-data/DataTool.h"

namespace {

evdo::Bytes Shape(const std::uint8_t* data, std::size_t size) {
  using namespace evdo;
  const int box = size > 1 ? data[1] % kSmsBoxCount : 0;
  const std::size_t records = size / 100 + 1;  // short inputs make whole records too
  Bytes content;
  for (int b = 0; b < kSmsBoxCount; ++b) AppendU16(content, static_cast<std::uint16_t>(b == box ? records : 0));
  for (std::size_t i = 0; i < records * kSmsRecordSize; ++i) content.push_back(size ? data[i % size] : 0);
  return content;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace evdo;
  static CSmsData store("fuzz-unused.dat");
  const Bytes content = size > 0 && data[0] == '#' ? Shape(data, size) : Bytes(data, data + size);
  const std::string problems = store.LoadFromBytes(content);
  const auto* format = datatool::FindFormat(kSmsDataFile);
  if (format->Check(content).empty() != problems.empty()) std::abort();
  if (!problems.empty()) {
    if (!store.IsEmpty(AllBoxes)) std::abort();
    return 0;
  }
  Bytes saved;
  store.Encode(saved);
  if (saved != content) std::abort();
  const datatool::Json json = datatool::Json::parse(format->Dump(content).dump());
  if (format->Build(json) != content) std::abort();
  return 0;
}
