// "evdo-data build" on arbitrary JSON, as a user would hand-edit a dump. The
// command either refuses, leaving the output file untouched, or writes a
// file that the format's own check accepts, that dump and build give back
// byte for byte, and whose dump holds every value the JSON gave.
#include <cstdint>
#include <sstream>
#include <string>
#include <string_view>

#include "core/text/CodePage.h"
#include "fuzz/support/FuzzSupport.h"
#include "tools/evdo-data/DataTool.h"

namespace {

using evdo::datatool::Json;
using evdo::fuzz::Require;

// Every text or number the input gave is in the dump at the same place.
// "local" is only for reading and rebuilt from "days"; "days" gives way to
// "bits".
void ExpectKept(const Json& given, const Json& dumped) {
  if (given.is_object() && dumped.is_object()) {
    for (const auto& [key, value] : given.items()) {
      if (key == "local" || (key == "days" && given.contains("bits"))) continue;
      if (dumped.contains(key)) ExpectKept(value, dumped.at(key));
    }
  } else if (given.is_array() && dumped.is_array()) {
    Require(given.size() == dumped.size(), "every list entry is kept");
    for (std::size_t i = 0; i < given.size(); ++i) ExpectKept(given[i], dumped[i]);
  } else if ((given.is_string() && dumped.is_string()) || (given.is_number() && dumped.is_number())) {
    Require(given == dumped, "every value given is in the dump of the built file");
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace evdo;
  const std::string_view text(reinterpret_cast<const char*>(data), size);
  const Json doc = Json::parse(text, nullptr, false);
  const std::string jsonPath = fuzz::FreshPath("edited.json");
  const std::string outPath = fuzz::FreshPath("built.dat");
  const Bytes marker = {'u', 'n', 't', 'o', 'u', 'c', 'h', 'e', 'd'};
  fuzz::WriteAll(jsonPath, Bytes(data, data + size));
  fuzz::WriteAll(outPath, marker);

  const char* codePage = size % 2 ? "utf-8" : "936";
  std::ostringstream out, err;
  const int rc = datatool::RunDataTool({"--codepage", codePage, "build", jsonPath, outPath}, out, err);
  const Bytes built = fuzz::ReadAll(outPath);
  if (rc != 0) {
    Require(built == marker, "a refused build leaves the output file untouched");
    Require(!err.str().empty(), "a refused build says why");
    return 0;
  }
  Require(doc.is_object() && doc.contains("file") && doc["file"].is_string(), "only a dump-shaped document builds");
  const auto* format = datatool::FindFormat(doc["file"].get<std::string>());
  Require(format != nullptr, "only a known file builds");
  Require(format->Check(built).empty(), "a built file loads soundly");
  const Json dumped = Json::parse(format->Dump(built).dump());
  if (format->FileName() == "EVDO.ini") {
    // Build writes only the settings given; the dump shows all of them.
    Require(format->Dump(format->Build(dumped)) == dumped, "dump and build keep every setting");
  } else {
    Require(format->Build(dumped) == built, "dump and build give the built file back");
  }
  ExpectKept(doc["content"], dumped);
  return 0;
}
