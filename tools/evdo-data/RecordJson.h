#pragma once
// JSON forms of the record fields shared by the call and Internet data files,
// made so that building from a dump gives back the same bytes:
// - a text field is a UTF-8 string when that is exact (the bytes after the
//   terminator are zero and the text converts back unchanged), otherwise
//   {"hex": "..."} with every byte of the field;
// - a date-time value is {"status", "days", "local"} ("local" is for reading
//   and ignored by build), or {"status", "bits"} when the double is not a
//   finite number;
// - integers are range-checked when read back.
#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <utility>

#include "tools/evdo-data/JsonFields.h"

namespace evdo::datatool {

Json TextFieldJson(const char* field, std::size_t width);
// Throws when the text does not fit width bytes or the hex is malformed.
void TextFieldFromJson(const Json& value, char* field, std::size_t width, const char* name);

template <std::size_t N>
Json TextFieldJson(const char (&field)[N]) {
  return TextFieldJson(field, N);
}
template <std::size_t N>
void TextFieldFromJson(const Json& obj, const char* name, char (&field)[N]) {
  TextFieldFromJson(Field(obj, name), field, N, name);
}

Json DateTimeJson(double days, std::int32_t status);
void DateTimeFromJson(const Json& value, double& days, std::int32_t& status, const char* name);

// An integer field of type T; throws when missing, not an integer or out of
// T's range.
template <class T>
T GetInt(const Json& obj, const char* name) {
  const Json& v = Field(obj, name);
  if (!v.is_number_integer())
    throw std::runtime_error(std::string("field \"") + name + "\" is not a whole number");
  const bool fits = v.is_number_unsigned() ? std::in_range<T>(v.get<std::uint64_t>())
                                           : std::in_range<T>(v.get<std::int64_t>());
  if (!fits) throw std::runtime_error(std::string("field \"") + name + "\" is out of range");
  return v.is_number_unsigned() ? static_cast<T>(v.get<std::uint64_t>()) : static_cast<T>(v.get<std::int64_t>());
}

// The array field name, with at most max elements.
const Json& GetArray(const Json& obj, const char* name, std::size_t max);

}  // namespace evdo::datatool
