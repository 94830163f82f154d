// "LogData.dat" and "MonthLogData.dat": files from the input (or none), then
// connections logged and deleted as the input says. Every saved change
// leaves on disk what the stores hold, a refused one leaves both files
// untouched (a month that would pass 32-bit seconds refuses alone: the
// connection stays logged), fresh stores load what was saved, a refused file is kept aside
// unchanged, and the months count every second of the connections logged.
#include <fuzzer/FuzzedDataProvider.h>

#include <algorithm>

#include "fuzz/support/FuzzSupport.h"
#include "internet/LogData.h"

namespace {

using namespace evdo;
using fuzz::Require;

template <class Store>
Bytes Content(const Store& store) {
  Bytes out;
  store.Serialize(out);
  return out;
}

template <class Store>
void LoadFrom(FuzzedDataProvider& in, Store& store, std::size_t recordBytes) {
  Bytes initial;
  const bool hadFile = in.ConsumeBool();
  if (hadFile) {
    initial = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 4 + recordBytes * 6));
    fuzz::WriteAll(store.Path(), initial);
  }
  const LoadResult r = store.LoadOrCreate();
  if (r.status == LoadStatus::Loaded) Require(Content(store) == initial, "a sound log loads as it is");
  if (r.status == LoadStatus::Damaged && hadFile)
    Require(fuzz::ReadAll(store.Path() + ".damaged") == initial, "a refused log is kept aside unchanged");
  Require(fuzz::ReadAll(store.Path()) == Content(store), "the file holds what the store holds after a load");
}

std::int64_t MonthSeconds(const CMonthLogData& months) {
  std::int64_t sum = 0;
  for (int i = 0; i < months.Count(); ++i) sum += months.At(i).duration;
  return sum;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  CLogData log(fuzz::FreshPath(kLogDataFile));
  CMonthLogData months(fuzz::FreshPath(kMonthLogDataFile));
  LoadFrom(in, log, kLogRecordBytes);
  LoadFrom(in, months, kMonthRecordBytes);

  while (in.remaining_bytes() > 0) {
    const Bytes logBefore = fuzz::ReadAll(log.Path());
    const Bytes monthsBefore = fuzz::ReadAll(months.Path());
    const std::int64_t secondsBefore = MonthSeconds(months);
    ChangeResult result;
    if (in.ConsumeIntegralInRange(0, 3) != 0) {
      LogRecord r;
      r.start = DateTime(in.ConsumeIntegralInRange(0, 80000) + in.ConsumeIntegralInRange(0, 86399) / 86400.0, 0);
      r.duration = in.ConsumeBool() ? in.ConsumeIntegral<std::int64_t>() : in.ConsumeIntegral<std::uint32_t>();
      r.received = in.ConsumeIntegral<std::uint32_t>();
      r.sent = in.ConsumeIntegral<std::uint32_t>();
      const int logCount = log.Count();
      result = log.AddConnection(r, months);
      if (result) Require(MonthSeconds(months) == secondsBefore + r.duration, "the months count every second");
      if (!result && FitsArchiveSeconds(r.duration)) {
        // Only the month refused (its seconds would pass 32 bits): the
        // connection stays logged and the months are untouched.
        Require(log.Count() == std::min(logCount + 1, kMaxLogRecords), "the connection stays logged");
        Require(fuzz::ReadAll(log.Path()) == Content(log), "the log with the connection is on disk");
        Require(fuzz::ReadAll(months.Path()) == monthsBefore, "a refused month leaves the months untouched");
        continue;
      }
    } else {
      result = log.DeleteConnection(in.ConsumeIntegralInRange(-1, log.Count()));
      Require(fuzz::ReadAll(months.Path()) == monthsBefore, "deleting a connection leaves the months");
    }
    if (result) {
      Require(fuzz::ReadAll(log.Path()) == Content(log), "a saved log is on disk");
      Require(fuzz::ReadAll(months.Path()) == Content(months), "saved months are on disk");
    } else {
      Require(fuzz::ReadAll(log.Path()) == logBefore, "a refused connection leaves the log untouched");
      Require(fuzz::ReadAll(months.Path()) == monthsBefore, "a refused connection leaves the months untouched");
    }
  }

  CLogData logAgain(log.Path());
  CMonthLogData monthsAgain(months.Path());
  Require(logAgain.Load().status == LoadStatus::Loaded && Content(logAgain) == Content(log), "the log loads equal");
  Require(monthsAgain.Load().status == LoadStatus::Loaded && Content(monthsAgain) == Content(months),
          "the months load equal");
  return 0;
}
