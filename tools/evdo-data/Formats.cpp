#include "tools/evdo-data/DataFileFormat.h"
#include "tools/evdo-data/PbDataFormat.h"
#include "tools/evdo-data/SettingsFormats.h"
#include "tools/evdo-data/SmsDataFormat.h"

namespace evdo::datatool {

std::vector<std::unique_ptr<DataFileFormat>> AllFormats() {
  std::vector<std::unique_ptr<DataFileFormat>> all;
  all.push_back(MakeEvdoIniFormat());
  all.push_back(MakeSettingDataFormat());
  all.push_back(MakeSmsDataFormat());
  all.push_back(MakePbDataFormat());
  return all;
}

}  // namespace evdo::datatool
