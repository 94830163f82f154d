#pragma once
#include <memory>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

// "PbData.dat": every 820-byte record with its seven fields. A field is shown
// as UTF-8 text when that gives its bytes back exactly (text, then zeros),
// and as {"hex": all its bytes} otherwise.
std::unique_ptr<DataFileFormat> MakePbDataFormat();

}  // namespace evdo::datatool
