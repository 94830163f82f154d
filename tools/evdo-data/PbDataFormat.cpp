#include "tools/evdo-data/PbDataFormat.h"

#include "core/text/TextRules.h"

#include <algorithm>
#include <cctype>
#include <stdexcept>

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "phonebook/PbDataFile.h"
#include "tools/evdo-data/JsonFields.h"

namespace evdo::datatool {
namespace {

std::string ToHex(const std::uint8_t* p, std::size_t n) { return LowerHex(p, n); }

int HexValue(char c) {
  const int value = HexDigitValue(c);
  if (value < 0) throw std::runtime_error(std::string("'") + c + "' is not a hex digit");
  return value;
}

Json FieldJson(const std::uint8_t* p, std::size_t width) {
  const std::string_view text = FieldText(reinterpret_cast<const char*>(p), width);
  const bool zeroPadded = std::all_of(p + text.size(), p + width, [](std::uint8_t b) { return b == 0; });
  const std::string utf8 = ToUtf8(text);
  if (zeroPadded && FromUtf8(utf8) == text) return utf8;
  return Json{{"hex", ToHex(p, width)}};
}

void FieldBytes(const Json& value, const char* name, std::size_t width, Bytes& out) {
  if (value.is_string()) {
    const std::string utf8 = value.get<std::string>();
    const std::string bytes = FromUtf8(utf8);
    if (ToUtf8(bytes) != utf8)
      throw std::runtime_error(std::string("field \"") + name + "\" has characters the code page cannot hold");
    if (bytes.size() > width)
      throw std::runtime_error(std::string("field \"") + name + "\" holds " + std::to_string(bytes.size()) +
                               " bytes; it is " + std::to_string(width) + " wide");
    out.insert(out.end(), bytes.begin(), bytes.end());
    out.insert(out.end(), width - bytes.size(), 0);
    return;
  }
  const std::string hex = Get<std::string>(value, "hex");
  if (hex.size() != 2 * width)
    throw std::runtime_error(std::string("field \"") + name + "\" needs " + std::to_string(2 * width) + " hex digits");
  for (std::size_t i = 0; i < hex.size(); i += 2)
    out.push_back(static_cast<std::uint8_t>(HexValue(hex[i]) * 16 + HexValue(hex[i + 1])));
}

class PbDataFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kPbDataFile; }

  std::vector<std::string> Check(const Bytes& content) const override { return PbDataFile::Check(content); }

  Json Dump(const Bytes& content) const override {
    Json records = Json::array();
    for (std::size_t pos = 0; pos + kContactFileRecordSize <= content.size(); pos += kContactFileRecordSize) {
      Json record = Json::object();
      for (int f = 0; f < kContactFieldCount; ++f) {
        auto field = static_cast<ContactField>(f);
        record[std::string(FieldName(field))] =
            FieldJson(content.data() + pos + FieldOffset(field), FileFieldWidth(field));
      }
      records.push_back(std::move(record));
    }
    return Json{{"records", std::move(records)}};
  }

  Bytes Build(const Json& json) const override {
    const Json& records = Field(json, "records");
    if (!records.is_array()) throw std::runtime_error("field \"records\" must be a list");
    Bytes out;
    for (const Json& record : records) {
      for (int f = 0; f < kContactFieldCount; ++f) {
        auto field = static_cast<ContactField>(f);
        const std::string name(FieldName(field));
        FieldBytes(Field(record, name.c_str()), name.c_str(), FileFieldWidth(field), out);
      }
    }
    if (auto problems = PbDataFile::Check(out); !problems.empty())
      throw std::runtime_error("the phonebook would not load soundly: " + problems.front());
    return out;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakePbDataFormat() { return std::make_unique<PbDataFormat>(); }

}  // namespace evdo::datatool
