#pragma once
// The call history, connection profile and traffic log files.
#include <memory>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

std::unique_ptr<DataFileFormat> MakeHistDataFormat();
std::unique_ptr<DataFileFormat> MakeConnProfileFormat();
std::unique_ptr<DataFileFormat> MakeConnSettingFormat();
std::unique_ptr<DataFileFormat> MakeConnSetDataFormat();
std::unique_ptr<DataFileFormat> MakeLogDataFormat();
std::unique_ptr<DataFileFormat> MakeMonthLogDataFormat();
std::unique_ptr<DataFileFormat> MakeStreamDataFormat();
std::unique_ptr<DataFileFormat> MakeUsageLimitDataFormat();

}  // namespace evdo::datatool
