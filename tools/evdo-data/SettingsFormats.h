#pragma once
#include <memory>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

std::unique_ptr<DataFileFormat> MakeEvdoIniFormat();
std::unique_ptr<DataFileFormat> MakeSettingDataFormat();

}  // namespace evdo::datatool
