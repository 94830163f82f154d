#pragma once
// Helpers for reading JSON made by dump back into records, with clear errors.
#include <stdexcept>
#include <string>
#include <type_traits>
#include <utility>

#include "tools/evdo-data/DataFileFormat.h"

namespace evdo::datatool {

inline const Json& Field(const Json& obj, const char* name) {
  if (!obj.is_object() || !obj.contains(name))
    throw std::runtime_error(std::string("missing field \"") + name + "\"");
  return obj.at(name);
}

// A whole-number field must be a whole number that T holds: a fraction or a
// value out of range is refused instead of being cut.
template <class T>
T Get(const Json& obj, const char* name) {
  if constexpr (std::is_integral_v<T> && !std::is_same_v<T, bool>) {
    const Json& v = Field(obj, name);
    if (!v.is_number_integer())
      throw std::runtime_error(std::string("field \"") + name + "\" is not a whole number");
    const bool fits = v.is_number_unsigned() ? std::in_range<T>(v.get<std::uint64_t>())
                                             : std::in_range<T>(v.get<std::int64_t>());
    if (!fits) throw std::runtime_error(std::string("field \"") + name + "\" is out of range");
  }
  try {
    return Field(obj, name).get<T>();
  } catch (const nlohmann::json::exception&) {
    throw std::runtime_error(std::string("field \"") + name + "\" has the wrong type");
  }
}

}  // namespace evdo::datatool
