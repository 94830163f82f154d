#include "tools/evdo-data/DataFileFormat.h"
#include "tools/evdo-data/PbDataFormat.h"
#include "tools/evdo-data/RecordsFormats.h"
#include "tools/evdo-data/SettingsFormats.h"
#include "tools/evdo-data/SmsDataFormat.h"

namespace evdo::datatool {

std::vector<std::unique_ptr<DataFileFormat>> AllFormats() {
  std::vector<std::unique_ptr<DataFileFormat>> all;
  all.push_back(MakeEvdoIniFormat());
  all.push_back(MakeSettingDataFormat());
  all.push_back(MakeSmsDataFormat());
  all.push_back(MakePbDataFormat());
  all.push_back(MakeHistDataFormat());
  all.push_back(MakeConnProfileFormat());
  all.push_back(MakeConnSettingFormat());
  all.push_back(MakeConnSetDataFormat());
  all.push_back(MakeLogDataFormat());
  all.push_back(MakeMonthLogDataFormat());
  all.push_back(MakeStreamDataFormat());
  all.push_back(MakeUsageLimitDataFormat());
  return all;
}

}  // namespace evdo::datatool
