// evdo-data: checks, dumps and builds the dashboard's data files.
//   evdo-data check DIR          check every known data file in DIR
//   evdo-data dump FILE          print FILE as JSON
//   evdo-data build JSON OUT     write the file described by JSON (made by dump)
//   evdo-data --help             all commands and options
#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>

#include "tools/evdo-data/DataTool.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  return evdo::datatool::RunDataTool(args, std::cout, std::cerr);
}
