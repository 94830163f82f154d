// The Internet page's files: connection profiles and their settings, the
// connection logs, the traffic counters and the usage limit.
#include "core/files/ArchiveStream.h"
#include "core/files/RawRecord.h"
#include "internet/ConnProfile.h"
#include "internet/ConnSetData.h"
#include "internet/LogData.h"
#include "internet/TrafficCounters.h"
#include "internet/UsageLimit.h"
#include "tools/evdo-data/RecordJson.h"
#include "tools/evdo-data/RecordsFormats.h"

namespace evdo::datatool {
namespace {

// A file that is one raw record; ToJson and FromJson give its fields.
template <class Record>
class RawRecordFormat : public DataFileFormat {
public:
  using ToJson = Json (*)(const Record&);
  using FromJson = Record (*)(const Json&);
  RawRecordFormat(const char* name, ToJson to, FromJson from) : name_(name), to_(to), from_(from) {}

  std::string FileName() const override { return name_; }
  std::vector<std::string> Check(const Bytes& content) const override {
    Record r;
    std::string error;
    if (!RawRecordFile<Record>::Decode(content, r, error)) return {error};
    return {};
  }
  Json Dump(const Bytes& content) const override { return to_(ReadRecord<Record>(content.data())); }
  Bytes Build(const Json& json) const override {
    Bytes out;
    AppendRecord(out, from_(json));
    return out;
  }

private:
  const char* name_;
  ToJson to_;
  FromJson from_;
};

// The selected profile name is a raw record of one text field.
struct ConnSetting {
  char name[kConnSettingBytes];
};

Json ConnSettingJson(const ConnSetting& s) { return {{"name", TextFieldJson(s.name)}}; }
ConnSetting ConnSettingFrom(const Json& j) {
  ConnSetting s;
  TextFieldFromJson(j, "name", s.name);
  return s;
}

Json ConnSetDataJson(const ConnSetData& d) {
  return {{"connectAtStart", d.connectAtStart},
          {"closeAction", d.closeAction},
          {"rememberClose", d.rememberClose},
          {"keepWlanText2", d.keepWlanText2},
          {"autoLink", {d.autoLink[0], d.autoLink[1], d.autoLink[2]}},
          {"wlanText1", TextFieldJson(d.wlanText1)},
          {"wlanText2", TextFieldJson(d.wlanText2)},
          {"province", TextFieldJson(d.province)}};
}
ConnSetData ConnSetDataFrom(const Json& j) {
  ConnSetData d{};
  d.connectAtStart = GetInt<std::int32_t>(j, "connectAtStart");
  d.closeAction = GetInt<std::int32_t>(j, "closeAction");
  d.rememberClose = GetInt<std::int32_t>(j, "rememberClose");
  d.keepWlanText2 = GetInt<std::int32_t>(j, "keepWlanText2");
  const Json& order = GetArray(j, "autoLink", 3);
  if (order.size() != 3) throw std::runtime_error("field \"autoLink\" needs 3 connection types");
  for (int i = 0; i < 3; ++i) d.autoLink[i] = GetInt<std::int32_t>(Json{{"type", order[i]}}, "type");
  TextFieldFromJson(j, "wlanText1", d.wlanText1);
  TextFieldFromJson(j, "wlanText2", d.wlanText2);
  TextFieldFromJson(j, "province", d.province);
  return d;
}

// Kilobyte counters in file order.
constexpr std::pair<const char*, std::int32_t TrafficCounters::*> kCounterFields[] = {
    {"daySent", &TrafficCounters::daySent},       {"dayReceived", &TrafficCounters::dayReceived},
    {"monthSent", &TrafficCounters::monthSent},   {"monthReceived", &TrafficCounters::monthReceived},
    {"yearSent", &TrafficCounters::yearSent},     {"yearReceived", &TrafficCounters::yearReceived},
    {"totalMinutes", &TrafficCounters::totalMinutes}};

Json CountersJson(const TrafficCounters& c) {
  Json j = {{"updated", TextFieldJson(c.updated)},
            {"dayKey", TextFieldJson(c.dayKey)},
            {"monthKey", TextFieldJson(c.monthKey)},
            {"yearKey", TextFieldJson(c.yearKey)}};
  for (const auto& [name, field] : kCounterFields) j[name] = c.*field;
  return j;
}
TrafficCounters CountersFrom(const Json& j) {
  TrafficCounters c{};
  TextFieldFromJson(j, "updated", c.updated);
  TextFieldFromJson(j, "dayKey", c.dayKey);
  TextFieldFromJson(j, "monthKey", c.monthKey);
  TextFieldFromJson(j, "yearKey", c.yearKey);
  for (const auto& [name, field] : kCounterFields) c.*field = GetInt<std::int32_t>(j, name);
  return c;
}

constexpr std::pair<const char*, std::int32_t UsageLimit::*> kLimitFields[] = {
    {"limitOn", &UsageLimit::limitOn},     {"option", &UsageLimit::option},
    {"limitType", &UsageLimit::limitType}, {"dataLimit", &UsageLimit::dataLimit},
    {"timeLimit", &UsageLimit::timeLimit}};

Json LimitJson(const UsageLimit& l) {
  Json j = Json::object();
  for (const auto& [name, field] : kLimitFields) j[name] = l.*field;
  return j;
}
UsageLimit LimitFrom(const Json& j) {
  UsageLimit l;
  for (const auto& [name, field] : kLimitFields) l.*field = GetInt<std::int32_t>(j, name);
  return l;
}

Json ProfileJson(const ConnProfileRecord& r) {
  return {{"isDefault", r.isDefault},
          {"authType", r.authType},
          {"name", TextFieldJson(r.name)},
          {"phoneNumber", TextFieldJson(r.phoneNumber)},
          {"userName", TextFieldJson(r.userName)},
          {"password", TextFieldJson(r.password)},
          {"apn", TextFieldJson(r.apn)}};
}
ConnProfileRecord ProfileFrom(const Json& j) {
  ConnProfileRecord r{};
  r.isDefault = GetInt<std::int32_t>(j, "isDefault");
  r.authType = GetInt<std::int32_t>(j, "authType");
  TextFieldFromJson(j, "name", r.name);
  TextFieldFromJson(j, "phoneNumber", r.phoneNumber);
  TextFieldFromJson(j, "userName", r.userName);
  TextFieldFromJson(j, "password", r.password);
  TextFieldFromJson(j, "apn", r.apn);
  return r;
}

class ConnProfileFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kConnProfileFile; }
  std::vector<std::string> Check(const Bytes& content) const override {
    auto store = std::make_unique<CConnProfile>("", "");
    std::string error;
    if (!store->LoadFromBytes(content, error)) return {error};
    return {};
  }
  Json Dump(const Bytes& content) const override {
    auto store = std::make_unique<CConnProfile>("", "");
    std::string error;
    store->LoadFromBytes(content, error);
    Json profiles = Json::array();
    ConnProfileRecord r;
    for (int i = 0; store->Get(i, r); ++i) profiles.push_back(ProfileJson(r));
    return {{"profiles", profiles}};
  }
  Bytes Build(const Json& json) const override {
    const Json& profiles = GetArray(json, "profiles", kMaxConnProfiles);
    Bytes out;
    AppendU16(out, static_cast<std::uint16_t>(profiles.size()));
    for (const Json& p : profiles) AppendRecord(out, ProfileFrom(p));
    return out;
  }
};

DateTime DateTimeFrom(const Json& obj, const char* name) {
  double days;
  std::int32_t status;
  DateTimeFromJson(Field(obj, name), days, status, name);
  return DateTime(days, status);
}

std::int64_t SecondsFrom(const Json& obj, const char* name) { return GetInt<std::int32_t>(obj, name); }

Json LogJson(const LogRecord& r) {
  return {{"start", DateTimeJson(r.start.Value(), r.start.GetStatus())},
          {"duration", r.duration},
          {"received", r.received},
          {"sent", r.sent}};
}
LogRecord LogFrom(const Json& j) {
  LogRecord r;
  r.start = DateTimeFrom(j, "start");
  r.duration = SecondsFrom(j, "duration");
  r.received = GetInt<std::uint32_t>(j, "received");
  r.sent = GetInt<std::uint32_t>(j, "sent");
  return r;
}

Json MonthJson(const MonthRecord& r) {
  return {{"month", DateTimeJson(r.month.Value(), r.month.GetStatus())},
          {"received", r.received},
          {"sent", r.sent},
          {"duration", r.duration},
          {"total", r.total}};
}
MonthRecord MonthFrom(const Json& j) {
  MonthRecord r;
  r.month = DateTimeFrom(j, "month");
  r.received = GetInt<std::uint32_t>(j, "received");
  r.sent = GetInt<std::uint32_t>(j, "sent");
  r.duration = SecondsFrom(j, "duration");
  r.total = GetInt<std::uint32_t>(j, "total");
  return r;
}

// A log file: the store decodes it, the records go to a list named key.
template <class Store, class Record>
class ArchiveLogFormat : public DataFileFormat {
public:
  ArchiveLogFormat(const char* name, const char* key, Json (*to)(const Record&), Record (*from)(const Json&))
      : name_(name), key_(key), to_(to), from_(from) {}

  std::string FileName() const override { return name_; }
  std::vector<std::string> Check(const Bytes& content) const override {
    auto store = std::make_unique<Store>("");
    std::string error;
    if (!store->LoadFromBytes(content, error)) return {error};
    return {};
  }
  Json Dump(const Bytes& content) const override {
    auto store = std::make_unique<Store>("");
    std::string error;
    store->LoadFromBytes(content, error);
    Json records = Json::array();
    for (int i = 0; i < store->Count(); ++i) records.push_back(to_(store->At(i)));
    return {{key_, records}};
  }
  Bytes Build(const Json& json) const override {
    const Json& records = GetArray(json, key_, kMaxLogRecords);
    ArchiveWriter w;
    w.WriteInt32(static_cast<std::int32_t>(records.size()));
    for (const Json& r : records) WriteArchiveRecord(w, from_(r));
    return w.Content();
  }

private:
  const char* name_;
  const char* key_;
  Json (*to_)(const Record&);
  Record (*from_)(const Json&);
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeConnProfileFormat() { return std::make_unique<ConnProfileFormat>(); }
std::unique_ptr<DataFileFormat> MakeConnSettingFormat() {
  return std::make_unique<RawRecordFormat<ConnSetting>>(kConnSettingFile, ConnSettingJson, ConnSettingFrom);
}
std::unique_ptr<DataFileFormat> MakeConnSetDataFormat() {
  return std::make_unique<RawRecordFormat<ConnSetData>>(kConnSetDataFile, ConnSetDataJson, ConnSetDataFrom);
}
std::unique_ptr<DataFileFormat> MakeLogDataFormat() {
  return std::make_unique<ArchiveLogFormat<CLogData, LogRecord>>(kLogDataFile, "connections", LogJson, LogFrom);
}
std::unique_ptr<DataFileFormat> MakeMonthLogDataFormat() {
  return std::make_unique<ArchiveLogFormat<CMonthLogData, MonthRecord>>(kMonthLogDataFile, "months", MonthJson,
                                                                        MonthFrom);
}
std::unique_ptr<DataFileFormat> MakeStreamDataFormat() {
  return std::make_unique<RawRecordFormat<TrafficCounters>>(kStreamDataFile, CountersJson, CountersFrom);
}
std::unique_ptr<DataFileFormat> MakeUsageLimitDataFormat() {
  return std::make_unique<RawRecordFormat<UsageLimit>>(kUsageLimitDataFile, LimitJson, LimitFrom);
}

}  // namespace evdo::datatool
