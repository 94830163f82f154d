// "ConnProfile.dat" and "ConnSetting.dat": files from the input (or none),
// then profiles added, changed, deleted and selected as the input says.
// Every saved change leaves on disk what the store holds, a refused one
// leaves the files untouched, a fresh store loads the profiles and the
// selection that were saved, and a refused file is kept aside unchanged.
#include <fuzzer/FuzzedDataProvider.h>

#include <cstring>

#include "core/text/FixedText.h"
#include "fuzz/support/FuzzSupport.h"
#include "internet/ConnProfile.h"

namespace {

using namespace evdo;
using fuzz::Require;

ConnProfileRecord MakeRecord(FuzzedDataProvider& in) {
  ConnProfileRecord r{};
  r.isDefault = in.ConsumeBool() ? 1 : 0;
  r.authType = in.ConsumeIntegralInRange(-1, 2);
  SetFieldText(r.name, sizeof r.name, in.ConsumeRandomLengthString(24));
  SetFieldText(r.phoneNumber, sizeof r.phoneNumber, in.ConsumeRandomLengthString(12));
  SetFieldText(r.userName, sizeof r.userName, in.ConsumeRandomLengthString(12));
  SetFieldText(r.password, sizeof r.password, in.ConsumeRandomLengthString(12));
  SetFieldText(r.apn, kProfileApnMax + 1, in.ConsumeRandomLengthString(12));
  return r;
}

bool SameRecord(const ConnProfileRecord& a, const ConnProfileRecord& b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider in(data, size);
  const std::string profiles = fuzz::FreshPath(kConnProfileFile);
  const std::string setting = fuzz::FreshPath(kConnSettingFile);
  Bytes initial, initialSetting;
  const int files = in.ConsumeIntegralInRange(0, 3);
  if (files & 1) {
    initial = in.ConsumeBytes<std::uint8_t>(in.ConsumeIntegralInRange<std::size_t>(0, 2 + 960 * 3));
    fuzz::WriteAll(profiles, initial);
  }
  if (files & 2) {
    initialSetting = in.ConsumeBytes<std::uint8_t>(in.ConsumeBool() ? kConnSettingBytes : in.ConsumeIntegral<std::uint8_t>());
    fuzz::WriteAll(setting, initialSetting);
  }
  CConnProfile store(profiles, setting);
  const LoadResult loaded = store.LoadOrReset();
  if (loaded.status == LoadStatus::Loaded) Require(store.Encode() == initial, "a sound file loads as it is");
  if (loaded.status == LoadStatus::Damaged)
    Require(fuzz::ReadAll(profiles + ".damaged") == initial, "a refused file is kept aside unchanged");
  if ((files & 3) == 3 && initialSetting.size() != kConnSettingBytes)
    Require(fuzz::ReadAll(setting + ".damaged") == initialSetting, "a refused selection is kept aside unchanged");
  Require(fuzz::ReadAll(profiles) == store.Encode(), "the file holds what the store holds after a load");

  while (in.remaining_bytes() > 0) {
    const int op = in.ConsumeIntegralInRange(0, 5);
    const Bytes before = fuzz::ReadAll(profiles);
    const Bytes beforeSetting = fuzz::ReadAll(setting);
    const int count = store.Count();
    ChangeResult result;
    bool touchesSetting = false;
    if (op <= 1) {
      const ConnProfileRecord r = MakeRecord(in);
      result = store.Add(r);
      if (result) {
        ConnProfileRecord got{};
        Require(store.Get(count, got) && SameRecord(got, r), "an added profile is stored as given");
      } else {
        Require(store.Count() == count, "a refused profile is not added");
      }
    } else if (op == 2) {
      const int index = in.ConsumeIntegralInRange(-1, count);
      const ConnProfileRecord r = MakeRecord(in);
      result = store.Set(index, r);
      ConnProfileRecord got{};
      if (result) Require(store.Get(index, got) && SameRecord(got, r), "a changed profile is stored as given");
    } else if (op == 3) {
      const int index = in.ConsumeIntegralInRange(-1, count);
      result = store.Delete(index);
      if (result) Require(store.Count() == count - 1, "a deleted profile is gone");
    } else {
      const int index = in.ConsumeIntegralInRange(-1, count);
      result = store.SaveSelection(index);
      touchesSetting = true;
    }
    if (result) {
      Require(fuzz::ReadAll(profiles) == store.Encode() || touchesSetting, "a saved change is on disk");
    } else {
      Require(fuzz::ReadAll(profiles) == before, "a refused change leaves the profiles untouched");
      Require(fuzz::ReadAll(setting) == beforeSetting, "a refused change leaves the selection untouched");
    }
  }

  CConnProfile again(profiles, setting);
  Require(again.Load().status == LoadStatus::Loaded, "what was saved loads");
  Require(again.Encode() == store.Encode(), "what was saved loads equal");
  Require(again.SelectedName() == store.SelectedName(), "the saved selection loads equal");
  for (int i = 0; i < again.Count(); ++i) {
    ConnProfileRecord r{};
    again.Get(i, r);
    const int found = again.IndexByName(FieldText(r.name, sizeof r.name));
    Require(found >= 0 && found <= i, "every profile is found by its name");
  }
  return 0;
}
