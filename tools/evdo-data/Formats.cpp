#include "tools/evdo-data/DataFileFormat.h"
#include "tools/evdo-data/SettingsFormats.h"
#include "tools/evdo-data/SmsDataFormat.h"

namespace evdo::datatool {

std::vector<std::unique_ptr<DataFileFormat>> AllFormats() {
  std::vector<std::unique_ptr<DataFileFormat>> all;
  all.push_back(MakeEvdoIniFormat());
  all.push_back(MakeSettingDataFormat());
  all.push_back(MakeSmsDataFormat());
  return all;
}

}  // namespace evdo::datatool
