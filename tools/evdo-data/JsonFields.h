#pragma once
// Helpers for reading JSON made by dump back into records, with clear errors.
#include <stdexcept>
#include <string>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

inline const Json& Field(const Json& obj, const char* name) {
  if (!obj.is_object() || !obj.contains(name))
    throw std::runtime_error(std::string("missing field \"") + name + "\"");
  return obj.at(name);
}

template <class T>
T Get(const Json& obj, const char* name) {
  try {
    return Field(obj, name).get<T>();
  } catch (const nlohmann::json::exception&) {
    throw std::runtime_error(std::string("field \"") + name + "\" has the wrong type");
  }
}

}  // namespace evdo::datatool
