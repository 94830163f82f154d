// evdo-data on the bytes of every data file it knows ("EVDO.ini",
// "SettingData.dat", "PbData.dat", the message, call and Internet files).
// The first byte picks the file (low bits) and the code page (high bit); the
// rest is shaped into a file of that kind (counts from the next bytes, the
// size to match) so that most inputs pass the check. What check accepts,
// dump and build give back byte for byte; for "EVDO.ini", whose build writes
// the settings afresh, the built file dumps to the same settings.
#include <algorithm>
#include <stdexcept>
#include <vector>

#include "core/settings/SettingData.h"
#include "core/settings/SetupData.h"
#include "core/text/CodePage.h"
#include "fuzz/support/FuzzSupport.h"
#include "phonebook/PbDataFile.h"
#include "sms/SmsData.h"
#include "tools/evdo-data/DataTool.h"

namespace {

struct Shape {
  const char* file;
  std::size_t header;  // bytes of counts; 0 for a one-record file or records without a header
  std::size_t record;  // bytes of a record, or of the whole file; 0: as given
  int counts;          // counts in the header
  unsigned maxCount;   // kept small so inputs stay small
};

constexpr Shape kShapes[] = {
    {"EVDO.ini", 0, 0, 0, 0},           {"SettingData.dat", 0, 4, 0, 0},   {"PbData.dat", 0, 820, 0, 3},
    {"SmsData.dat", 6, 0, 3, 3},        {"HistData.dat", 6, 64, 3, 4},     {"ConnProfile.dat", 2, 960, 1, 3},
    {"ConnSetting.dat", 0, 257, 0, 0},  {"ConnSetData.dat", 0, 572, 0, 0}, {"LogData.dat", 4, 24, 1, 8},
    {"MonthLogData.dat", 4, 28, 1, 8},  {"StreamData.dat", 0, 156, 0, 0},  {"UsageLimitData.dat", 0, 20, 0, 0}};
constexpr std::size_t kShapeCount = std::size(kShapes);

evdo::Bytes ShapeInput(const Shape& s, const std::uint8_t* data, std::size_t size) {
  evdo::Bytes b(data, data + size);
  if (s.record == 0 && s.header == 0) return b;
  if (s.header == 0) {
    // Whole records: a one-record file, or records without a count.
    const std::size_t records = s.maxCount == 0 ? 1 : std::min<std::size_t>(size / s.record + 1, s.maxCount);
    b.resize(records * s.record);
    return b;
  }
  const std::size_t record = s.record ? s.record : evdo::kSmsRecordSize;
  b.resize(std::max(b.size(), s.header));
  std::size_t records = 0;
  const std::size_t width = s.header / s.counts;
  for (int i = 0; i < s.counts; ++i) {
    const unsigned n = b[i * width] % (s.maxCount + 1);
    for (std::size_t k = 0; k < width; ++k) b[i * width + k] = k == 0 ? static_cast<std::uint8_t>(n) : 0;
    records += n;
  }
  b.resize(s.header + records * record);
  return b;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace evdo;
  using fuzz::Require;
  if (size == 0) return 0;
  SelectSystemCodePage(data[0] & 0x80 ? CodePage::Utf8 : CodePage::Cp936);
  const Shape& shape = kShapes[(data[0] & 0x7F) % kShapeCount];
  const auto* format = datatool::FindFormat(shape.file);
  Require(format != nullptr, "every file has a format");
  const Bytes content = ShapeInput(shape, data + 1, size - 1);
  const bool sound = format->Check(content).empty();
  if (shape.file == std::string_view(kSettingDataFile)) {
    // The program reads what the tool accepts, as the tool shows it.
    const std::string path = fuzz::FreshPath(kSettingDataFile);
    fuzz::WriteAll(path, content);
    std::string error;
    const std::int32_t option = SettingData::Load(path, &error);
    Require(error.empty() || !sound, "a file the tool accepts loads without an error");
    if (sound) Require(datatool::Json{{"option", option}} == format->Dump(content), "the dump is what loads");
  }
  if (!sound) return 0;
  const datatool::Json dumped = datatool::Json::parse(format->Dump(content).dump());
  Bytes built;
  try {
    built = format->Build(dumped);
  } catch (const std::runtime_error&) {
    // A settings value the file holds but no profile line can be written
    // with (a line break, a NUL): the tool refuses to build rather than
    // write a broken file, and says why.
    Require(shape.file == std::string_view(kSettingsFile), "only a settings value can be refused on the way back");
    return 0;
  }
  if (shape.file == std::string_view(kSettingsFile)) {
    Require(format->Check(built).empty(), "a built settings file is sound");
    Require(format->Dump(built) == dumped, "every setting survives dump and build");
    return 0;
  }
  Require(built == content, "dump and build give the file back byte for byte");
  return 0;
}
