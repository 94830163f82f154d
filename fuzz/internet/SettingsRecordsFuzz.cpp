// The one-record files "ConnSetData.dat", "StreamData.dat",
// "UsageLimitData.dat" and "SettingData.dat", each from the input (or
// none). A sound file loads as it is, a refused one is kept aside unchanged
// and the defaults are used. The traffic counters then count one connection
// of the input (growing by its kilobytes on the same day, stopping at the
// largest 32-bit value) and every record is saved: a fresh load gives the
// same record back.
#include <fuzzer/FuzzedDataProvider.h>

#include <climits>
#include <cstring>

#include "core/files/RawRecord.h"
#include "core/settings/SettingData.h"
#include "core/text/FixedText.h"
#include "fuzz/support/FuzzSupport.h"
#include "internet/ConnSetData.h"
#include "internet/TrafficCounters.h"
#include "internet/UsageLimit.h"

namespace {

using namespace evdo;
using fuzz::Require;

template <class Record>
bool Same(const Record& a, const Record& b) {
  return std::memcmp(&a, &b, sizeof a) == 0;
}

// Writes the input's file (or none); returns what was written.
Bytes PutFile(FuzzedDataProvider& in, const std::string& path, std::size_t recordSize, bool& present) {
  present = in.ConsumeBool();
  if (!present) return {};
  const std::size_t n = in.ConsumeBool() ? recordSize : in.ConsumeIntegralInRange<std::size_t>(0, recordSize + 8);
  Bytes content = in.ConsumeBytes<std::uint8_t>(n);
  fuzz::WriteAll(path, content);
  return content;
}

template <class Record, class LoadFn>
Record LoadChecked(FuzzedDataProvider& in, const std::string& path, const Record& defaults, LoadFn load) {
  bool present = false;
  const Bytes content = PutFile(in, path, sizeof(Record), present);
  Record r{};
  const LoadResult result = load(r);
  if (present && content.size() == sizeof(Record)) {
    Require(result.status == LoadStatus::Loaded, "a file of the record's size loads");
    Require(std::memcmp(&r, content.data(), sizeof r) == 0, "a sound file loads as it is");
  } else {
    Require(Same(r, defaults), "a missing or refused file gives the defaults");
    if (present) Require(fuzz::ReadAll(path + ".damaged") == content, "a refused file is kept aside unchanged");
  }
  return r;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  LocalTime now;
  now.year = in.ConsumeIntegralInRange(1990, 2100);
  now.month = in.ConsumeIntegralInRange(1, 12);
  now.day = in.ConsumeIntegralInRange(1, 28);

  ConnSetDataFile connFile(fuzz::FreshPath(kConnSetDataFile));
  const ConnSetData conn = LoadChecked(in, connFile.Path(), DefaultConnSetData(),
                                       [&](ConnSetData& r) { return connFile.Load(r, DefaultConnSetData()); });
  UsageLimitFile limitFile(fuzz::FreshPath(kUsageLimitDataFile));
  const UsageLimit limit =
      LoadChecked(in, limitFile.Path(), UsageLimit{}, [&](UsageLimit& r) { return limitFile.Load(r, UsageLimit{}); });
  const std::string streamPath = fuzz::FreshPath(kStreamDataFile);
  CounterFile counterFile(streamPath);
  TrafficCounters counters = LoadChecked(in, streamPath, FreshCounters(now),
                                         [&](TrafficCounters& r) { return counterFile.LoadCounters(r, now); });

  // One connection.
  const TrafficCounters old = counters;
  const std::int32_t sent = in.ConsumeIntegralInRange<std::int32_t>(0, INT32_MAX);
  const std::int32_t received = in.ConsumeIntegralInRange<std::int32_t>(0, INT32_MAX);
  const std::int32_t minutes = in.ConsumeIntegralInRange<std::int32_t>(0, INT32_MAX);
  UpdateCounters(counters, sent, received, minutes, now);
  const auto grows = [](std::int32_t before, std::int32_t added) {
    return static_cast<std::int32_t>(std::min<std::int64_t>(std::int64_t{before} + added, INT32_MAX));
  };
  if (FieldText(old.dayKey) == CounterDayKey(now) && old.daySent >= 0 && old.dayReceived >= 0) {
    Require(counters.daySent == grows(old.daySent, sent), "the day's sent kilobytes grow");
    Require(counters.dayReceived == grows(old.dayReceived, received), "the day's received kilobytes grow");
  }
  if (old.totalMinutes >= 0) Require(counters.totalMinutes == grows(old.totalMinutes, minutes), "minutes add up");
  (void)ShowCounters(counters);
  UsageLimitWatch().Check(limit, counters, minutes, static_cast<std::uint32_t>(sent), static_cast<std::uint32_t>(received));

  // Saved records load equal.
  Require(static_cast<bool>(connFile.Save(conn)), "the page settings are saved");
  Require(static_cast<bool>(limitFile.Save(limit)), "the usage limit is saved");
  Require(static_cast<bool>(counterFile.SaveCounters(counters)), "the counters are saved");
  ConnSetData connBack{};
  UsageLimit limitBack{};
  TrafficCounters countersBack{};
  Require(connFile.Load(connBack, DefaultConnSetData()).status == LoadStatus::Loaded && Same(connBack, conn),
          "the page settings load as saved");
  Require(limitFile.Load(limitBack, UsageLimit{}).status == LoadStatus::Loaded && Same(limitBack, limit),
          "the usage limit loads as saved");
  Require(counterFile.LoadCounters(countersBack, now).status == LoadStatus::Loaded && Same(countersBack, counters),
          "the counters load as saved");

  // "SettingData.dat": the option of the traffic settings page.
  const std::string settingPath = fuzz::FreshPath(kSettingDataFile);
  bool present = false;
  const Bytes content = PutFile(in, settingPath, kSettingDataSize, present);
  std::string error;
  const std::int32_t option = SettingData::Load(settingPath, &error);
  if (present && content.size() == kSettingDataSize) {
    Require(error.empty() && option == ReadI32(content.data()), "a sound option file loads as it is");
  } else {
    Require(option == 0, "a missing or refused option file reads as 0");
    Require(present == !error.empty(), "a refused option file is reported");
    if (present) Require(fuzz::ReadAll(settingPath) == content, "a refused option file is left untouched");
  }
  const std::int32_t chosen = in.ConsumeIntegral<std::int32_t>();
  if (!present || content.size() == kSettingDataSize) {
    Require(static_cast<bool>(SettingData::Save(chosen, settingPath)), "the option is saved");
    Require(SettingData::Load(settingPath, &error) == chosen, "the option loads as saved");
  }
  return 0;
}
