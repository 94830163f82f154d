// Costs of the message store and codec:
//   one change to a full store (3 x 500 records, the whole file rewritten and
//   flushed to disk), median of several changes;
//   SplitMessage and EncodeUcs2Hex per message.
// Usage: sms_benchmark [FOLDER]   (the store file is made in FOLDER, default ".")
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "core/files/RawRecord.h"
#include "sms/MessageSplitter.h"
#include "sms/SmsCodec.h"
#include "sms/SmsData.h"

namespace {

using namespace evdo;
using Clock = std::chrono::steady_clock;

double Milliseconds(Clock::duration d) { return std::chrono::duration<double, std::milli>(d).count(); }

double Median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

Bytes FullStoreImage() {
  Bytes image;
  for (int box = 0; box < kSmsBoxCount; ++box) AppendU16(image, kSmsBoxCapacity);
  const DateTime base = DateTime::FromLocal(2012, 6, 1, 12, 0, 0);
  for (int box = 0; box < kSmsBoxCount; ++box) {
    for (int i = 0; i < kSmsBoxCapacity; ++i) {
      SmsRecord r = ZeroSmsRecord();
      r.status = box == Inbox ? RecRead : StoSent;
      SetFullFieldText(r.number, "+86138" + std::to_string(10000000 + i));
      r.time.Set(base.AddSeconds(-600 * i));
      SetFieldText(r.text, std::string(140, 'a' + i % 26));
      AppendRecord(image, r);
    }
  }
  return image;
}

// Median milliseconds of runs of change, each a change that saves the store.
double TimeChanges(int runs, const std::function<ChangeResult(int)>& change) {
  std::vector<double> times;
  for (int i = 0; i < runs; ++i) {
    const auto start = Clock::now();
    const ChangeResult c = change(i);
    times.push_back(Milliseconds(Clock::now() - start));
    if (!c.changed || !c.saved) {
      std::fprintf(stderr, "change %d failed: %s\n", i, c.saved.error.c_str());
      std::exit(1);
    }
  }
  return Median(times);
}

// Nanoseconds per call of f, over enough calls to take about 0.3 s.
double NanosPerCall(const std::function<void()>& f) {
  long calls = 0;
  const auto start = Clock::now();
  while (Clock::now() - start < std::chrono::milliseconds(300)) {
    for (int i = 0; i < 100; ++i) f();
    calls += 100;
  }
  return std::chrono::duration<double, std::nano>(Clock::now() - start).count() / calls;
}

std::string Repeat(const std::string& unit, int n) {
  std::string s;
  for (int i = 0; i < n; ++i) s += unit;
  return s;
}

}  // namespace

int main(int argc, char** argv) {
  const std::filesystem::path folder = argc > 1 ? argv[1] : ".";
  const std::string path = (folder / "sms-benchmark-SmsData.dat").string();
  CSmsData store(path);
  if (!store.LoadFromBytes(FullStoreImage()).empty() || !store.Save()) {
    std::fprintf(stderr, "cannot make the store at %s\n", path.c_str());
    return 1;
  }
  std::printf("store file: %s, %ju bytes\n", path.c_str(),
              static_cast<std::uintmax_t>(std::filesystem::file_size(path)));

  const int runs = 21;
  const double replace = TimeChanges(runs, [&](int i) {
    SmsRecord r = *store.GetRecord(Inbox, i);
    r.status = r.status == RecRead ? RecUnread : RecRead;
    return store.ReplaceRecord(Inbox, i, r);
  });
  const double insert = TimeChanges(runs, [&](int i) {
    return store.AddMessage(Inbox, RecUnread, "10086", DateTime::Now(), "new message " + std::to_string(i), "", 1,
                            0, 0, 0, true);
  });
  std::printf("full store, one change (median of %d):\n", runs);
  std::printf("  ReplaceRecord                     %8.2f ms\n", replace);
  std::printf("  AddMessage into the full inbox    %8.2f ms\n", insert);
  std::filesystem::remove(path);

  sms::MessageSplitter splitter;
  struct Text {
    const char* name;
    std::string text;
  } texts[] = {
      {"70 ASCII characters", std::string(70, 'a')},
      {"160 ASCII characters", std::string(160, 'a')},
      {"765 ASCII characters (5 parts)", std::string(765, 'a')},
      {"70 Chinese characters", Repeat("\xD6\xD0", 70)},
      {"335 Chinese characters (5 parts)", Repeat("\xD6\xD0", 335)},
  };
  std::printf("per message (code page 936):\n");
  for (const auto& t : texts) {
    const double split = NanosPerCall([&] { sms::SplitMessage(splitter, t.text); });
    const double encode = NanosPerCall([&] { sms::EncodeUcs2Hex(t.text); });
    std::printf("  %-34s SplitMessage %9.0f ns   EncodeUcs2Hex %9.0f ns\n", t.name, split, encode);
  }
  return 0;
}
