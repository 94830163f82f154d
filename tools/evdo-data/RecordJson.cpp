#include "tools/evdo-data/RecordJson.h"

#include "core/text/TextRules.h"

#include <cmath>
#include <cstring>

#include "core/text/CodePage.h"
#include "core/time/DateTime.h"
#include "core/text/FixedText.h"

namespace evdo::datatool {
namespace {

std::string ToHex(const std::uint8_t* p, std::size_t n) { return LowerHex(p, n); }

void FromHex(const std::string& hex, std::uint8_t* out, std::size_t n, const char* name) {
  if (hex.size() != 2 * n)
    throw std::runtime_error(std::string("field \"") + name + "\" needs " + std::to_string(2 * n) + " hex digits");
  for (std::size_t i = 0; i < n; ++i) {
    int hi = HexDigitValue(hex[2 * i]), lo = HexDigitValue(hex[2 * i + 1]);
    if (hi < 0 || lo < 0) throw std::runtime_error(std::string("field \"") + name + "\" has a bad hex digit");
    out[i] = static_cast<std::uint8_t>(hi * 16 + lo);
  }
}

}  // namespace

Json TextFieldJson(const char* field, std::size_t width) {
  const std::string_view text = FieldText(field, width);
  bool tailZero = true;
  for (std::size_t i = text.size(); i < width; ++i) tailZero = tailZero && field[i] == 0;
  const std::string utf8 = ToUtf8(text);
  if (tailZero && FromUtf8(utf8) == text) return utf8;
  return Json{{"hex", ToHex(reinterpret_cast<const std::uint8_t*>(field), width)}};
}

void TextFieldFromJson(const Json& value, char* field, std::size_t width, const char* name) {
  std::memset(field, 0, width);
  if (value.is_object()) {
    FromHex(Get<std::string>(value, "hex"), reinterpret_cast<std::uint8_t*>(field), width, name);
    return;
  }
  if (!value.is_string()) throw std::runtime_error(std::string("field \"") + name + "\" is not text");
  const std::string text = FromUtf8(value.get<std::string>());
  if (text.size() > width)
    throw std::runtime_error(std::string("field \"") + name + "\" is longer than " + std::to_string(width) + " bytes");
  if (text.find('\0') != std::string::npos)
    throw std::runtime_error(std::string("field \"") + name + "\" holds a NUL character");
  std::memcpy(field, text.data(), text.size());
}

Json DateTimeJson(double days, std::int32_t status) {
  Json j;
  j["status"] = status;
  if (!std::isfinite(days)) {
    std::uint8_t b[8];
    std::memcpy(b, &days, 8);
    j["bits"] = ToHex(b, 8);
    return j;
  }
  j["days"] = days;
  j["local"] = DateTime(days, status).Format("%Y-%m-%d %H:%M:%S");
  return j;
}

void DateTimeFromJson(const Json& value, double& days, std::int32_t& status, const char* name) {
  if (!value.is_object()) throw std::runtime_error(std::string("field \"") + name + "\" is not a date-time object");
  status = GetInt<std::int32_t>(value, "status");
  if (value.contains("bits")) {
    std::uint8_t b[8];
    FromHex(Get<std::string>(value, "bits"), b, 8, name);
    std::memcpy(&days, b, 8);
    return;
  }
  const Json& d = Field(value, "days");
  if (!d.is_number()) throw std::runtime_error(std::string("field \"") + name + "\" has no number of days");
  days = d.get<double>();
}

const Json& GetArray(const Json& obj, const char* name, std::size_t max) {
  const Json& a = Field(obj, name);
  if (!a.is_array()) throw std::runtime_error(std::string("field \"") + name + "\" is not a list");
  if (a.size() > max)
    throw std::runtime_error(std::string("field \"") + name + "\" holds " + std::to_string(a.size()) +
                             " entries; at most " + std::to_string(max) + " are allowed");
  return a;
}

}  // namespace evdo::datatool
