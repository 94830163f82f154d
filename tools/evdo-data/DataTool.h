#pragma once
#include <ostream>
#include <string>
#include <vector>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

// The format for a file name (case-insensitive, folder ignored), or null.
const DataFileFormat* FindFormat(const std::string& path);

// Runs one command line of the tool; returns the exit code (0 fine, 1 a data
// file is damaged or a command failed, 2 wrong usage).
int RunDataTool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace evdo::datatool
