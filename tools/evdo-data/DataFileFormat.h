#pragma once
// One kind of data file the evdo-data tool knows: how to check it, show it as
// JSON and write it back from JSON.
#include <nlohmann/json.hpp>

#include <memory>
#include <string>
#include <vector>

#include "core/files/DataFile.h"

namespace evdo::datatool {

using Json = nlohmann::ordered_json;

class DataFileFormat {
public:
  virtual ~DataFileFormat() = default;
  // The file name the system gives this file ("SmsData.dat").
  virtual std::string FileName() const = 0;
  // Every problem found in content; empty when the file is sound.
  virtual std::vector<std::string> Check(const Bytes& content) const = 0;
  // True when the program reads any content of this file (Check then gives
  // remarks, not refusals), so that a dump shows what it reads regardless.
  virtual bool ReadsAnyContent() const { return false; }
  // The content as JSON. Called only on content that Check accepts, or any
  // content when ReadsAnyContent.
  virtual Json Dump(const Bytes& content) const = 0;
  // The file content for JSON made by Dump (possibly edited). Throws
  // std::runtime_error with a clear message on bad JSON.
  virtual Bytes Build(const Json& json) const = 0;
  // The same, written over the existing content of the file it replaces.
  // Formats whose files carry lines the JSON does not describe (EVDO.ini:
  // comments, unknown keys and sections) keep them; the others build anew.
  virtual Bytes BuildOver(const Json& json, const Bytes& existing) const {
    (void)existing;
    return Build(json);
  }
};

// Every format the tool knows, in a fixed order.
std::vector<std::unique_ptr<DataFileFormat>> AllFormats();

}  // namespace evdo::datatool
