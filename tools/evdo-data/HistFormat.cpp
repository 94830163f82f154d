// "HistData.dat": the call history.
#include "core/files/RawRecord.h"
#include "calls/HistData.h"
#include "tools/evdo-data/RecordJson.h"
#include "tools/evdo-data/RecordsFormats.h"

namespace evdo::datatool {
namespace {

constexpr const char* kListNames[kHistListCount] = {"missed", "received", "dialled"};

class HistDataFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kHistDataFile; }

  std::vector<std::string> Check(const Bytes& content) const override {
    CHistData store("");
    std::string error;
    if (!store.LoadFromBytes(content, error)) return {error};
    return {};
  }

  Json Dump(const Bytes& content) const override {
    CHistData store("");
    std::string error;
    store.LoadFromBytes(content, error);
    Json out = Json::object();
    for (int list = 0; list < kHistListCount; ++list) {
      Json calls = Json::array();
      for (int slot = 0; slot < store.Count(list); ++slot) {
        HistRecord r;
        store.Get(list, slot, r);
        calls.push_back({{"repeatCount", r.repeatCount},
                         {"number", TextFieldJson(r.number)},
                         {"start", DateTimeJson(r.startTime, r.startStatus)},
                         {"duration", std::int64_t{r.duration}}});
      }
      out[kListNames[list]] = calls;
    }
    return out;
  }

  Bytes Build(const Json& json) const override {
    Bytes counts, records;
    for (const char* name : kListNames) {
      const Json& calls = GetArray(json, name, kHistListCapacity);
      AppendU16(counts, static_cast<std::uint16_t>(calls.size()));
      for (const Json& c : calls) {
        HistRecord r{};
        r.repeatCount = GetInt<std::uint8_t>(c, "repeatCount");
        TextFieldFromJson(c, "number", r.number);
        double days;
        std::int32_t status;
        DateTimeFromJson(Field(c, "start"), days, status, "start");
        r.startTime = days;
        r.startStatus = status;
        r.duration = GetInt<std::int64_t>(c, "duration");
        AppendRecord(records, r);
      }
    }
    counts.insert(counts.end(), records.begin(), records.end());
    return counts;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeHistDataFormat() { return std::make_unique<HistDataFormat>(); }

}  // namespace evdo::datatool
