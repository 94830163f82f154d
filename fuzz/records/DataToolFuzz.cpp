// evdo-data on the call and Internet files: what check accepts, dump and
// build give back byte for byte. The first byte picks the format; the rest
// is shaped into a file of that format (counts from the next bytes, the
// size to match) so that most inputs reach dump and build.
#include <vector>

#include "core/files/RawRecord.h"
#include "fuzz/records/FuzzRoundTrip.h"
#include "tools/evdo-data/DataTool.h"

namespace {

struct Shape {
  const char* file;
  std::size_t header;  // bytes of counts; 0 for a one-record file
  std::size_t record;  // bytes of a record, or of the whole file
  int counts;          // counts in the header
  unsigned maxCount;   // kept small so inputs stay small
};

constexpr Shape kShapes[] = {
    {"HistData.dat", 6, 64, 3, 4},     {"ConnProfile.dat", 2, 960, 1, 3}, {"ConnSetting.dat", 0, 257, 0, 0},
    {"ConnSetData.dat", 0, 572, 0, 0}, {"LogData.dat", 4, 24, 1, 8},      {"MonthLogData.dat", 4, 28, 1, 8},
    {"StreamData.dat", 0, 156, 0, 0},  {"UsageLimitData.dat", 0, 20, 0, 0}};

evdo::Bytes ShapeInput(const Shape& s, const std::uint8_t* data, std::size_t size) {
  evdo::Bytes b(data, data + size);
  if (s.header == 0) {
    b.resize(s.record);
    return b;
  }
  b.resize(std::max(b.size(), s.header));
  std::size_t records = 0;
  const std::size_t width = s.header / s.counts;
  for (int i = 0; i < s.counts; ++i) {
    const unsigned n = b[i * width] % (s.maxCount + 1);
    for (std::size_t k = 0; k < width; ++k) b[i * width + k] = k == 0 ? static_cast<std::uint8_t>(n) : 0;
    records += n;
  }
  b.resize(s.header + records * s.record);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  if (size == 0) return 0;
  const Shape& shape = kShapes[data[0] % 8];
  const auto* format = evdo::datatool::FindFormat(shape.file);
  if (!format) std::abort();
  const evdo::Bytes content = ShapeInput(shape, data + 1, size - 1);
  if (!format->Check(content).empty()) std::abort();
  auto json = evdo::datatool::Json::parse(format->Dump(content).dump());
  const evdo::Bytes built = format->Build(json);
  evdo::fuzz::ExpectSame(built, content.data(), content.size());
  return 0;
}
