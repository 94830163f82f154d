#pragma once
#include <memory>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

// "SmsData.dat": the three message boxes.
std::unique_ptr<DataFileFormat> MakeSmsDataFormat();

}  // namespace evdo::datatool
