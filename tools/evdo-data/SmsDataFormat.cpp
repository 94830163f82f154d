// SmsData.dat as JSON: {"Inbox": [...], "Outbox": [...], "Saved": [...]}, a
// record per message. Texts are UTF-8; a text field whose bytes the UTF-8
// form cannot reproduce (bytes after the terminator, bytes that do not
// convert, a full field) also carries its raw bytes as "<field>Hex", used by
// build while it still reads as the UTF-8 text. Times carry the local time
// ("local", ISO), their status and the raw day count ("value"; "valueHex"
// with the 8 raw bytes when it is not a finite number); build keeps the raw
// day count while it still matches "local". Reserved bytes appear only when
// they are not zero.
#include "tools/evdo-data/SmsDataFormat.h"

#include "core/text/TextRules.h"

#include <cmath>
#include <cstddef>
#include <cstdio>
#include <cstring>
#include <limits>
#include <stdexcept>
#include <vector>

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "sms/SmsDataImage.h"
#include "tools/evdo-data/JsonFields.h"

namespace evdo::datatool {
namespace {

constexpr const char* kLocalFormat = "%Y-%m-%dT%H:%M:%S";

std::string ToHex(const std::uint8_t* p, std::size_t n) { return LowerHex(p, n); }

std::vector<std::uint8_t> FromHex(const std::string& hex, const char* name) {
  auto nibble = [&](char c) {
    const int value = HexDigitValue(c);
    if (value < 0) throw std::runtime_error(std::string("field \"") + name + "\" is not hexadecimal");
    return value;
  };
  if (hex.size() % 2 != 0) throw std::runtime_error(std::string("field \"") + name + "\" has an odd length");
  std::vector<std::uint8_t> bytes;
  for (std::size_t i = 0; i < hex.size(); i += 2)
    bytes.push_back(static_cast<std::uint8_t>(nibble(hex[i]) * 16 + nibble(hex[i + 1])));
  return bytes;
}

template <class T>
T GetInteger(const Json& obj, const char* name) {
  const Json& v = Field(obj, name);
  if (!v.is_number_integer())
    throw std::runtime_error(std::string("field \"") + name + "\" is not a whole number");
  const auto n = v.get<std::int64_t>();
  if (n < std::numeric_limits<T>::min() || n > static_cast<std::int64_t>(std::numeric_limits<T>::max()))
    throw std::runtime_error(std::string("field \"") + name + "\" is out of range");
  return static_cast<T>(n);
}

// A text field: its UTF-8 form, and the raw bytes when that form loses some.
void DumpText(Json& out, const std::string& name, const char* field, std::size_t width) {
  const std::string_view text = FieldText(field, width);
  const std::string utf8 = ToUtf8(text);
  out[name] = utf8;
  std::size_t used = width;
  while (used > 0 && field[used - 1] == '\0') --used;
  const bool lossless = FromUtf8(utf8) == text && used == text.size();
  if (!lossless) out[name + "Hex"] = ToHex(reinterpret_cast<const std::uint8_t*>(field), used);
}

void BuildText(const Json& in, const std::string& name, char* field, std::size_t width) {
  const std::string utf8 = Get<std::string>(in, name.c_str());
  std::memset(field, 0, width);
  const std::string hexName = name + "Hex";
  if (in.contains(hexName)) {
    const auto raw = FromHex(Get<std::string>(in, hexName.c_str()), hexName.c_str());
    if (raw.size() > width)
      throw std::runtime_error("field \"" + hexName + "\" is longer than " + std::to_string(width) + " bytes");
    std::memcpy(field, raw.data(), raw.size());
    if (ToUtf8(FieldText(field, width)) == utf8) return;  // the raw bytes still agree with the text
    std::memset(field, 0, width);
  }
  const std::string text = FromUtf8(utf8);
  if (!SetFullFieldText(field, width, text))
    throw std::runtime_error("field \"" + name + "\" is longer than " + std::to_string(width) + " bytes");
}

void DumpReserved(Json& out, const char* name, const std::uint8_t* p, std::size_t n) {
  for (std::size_t i = 0; i < n; ++i) {
    if (p[i] != 0) {
      out[name] = ToHex(p, n);
      return;
    }
  }
}

void BuildReserved(const Json& in, const char* name, std::uint8_t* p, std::size_t n) {
  std::memset(p, 0, n);
  if (!in.contains(name)) return;
  const auto raw = FromHex(Get<std::string>(in, name), name);
  if (raw.size() != n)
    throw std::runtime_error(std::string("field \"") + name + "\" must hold " + std::to_string(n) + " bytes");
  std::memcpy(p, raw.data(), n);
}

// Fields of the packed records are copied before use: a reference to them
// may be misaligned.
Json DumpTime(const RecordTime& t) {
  Json out;
  const double value = t.value;
  const std::int32_t status = t.status;
  const std::string local = t.Get().Format(kLocalFormat);
  if (!local.empty()) out["local"] = local;
  out["status"] = status;
  if (std::isfinite(value)) {
    out["value"] = value;
  } else {
    out["value"] = nullptr;
    out["valueHex"] = ToHex(reinterpret_cast<const std::uint8_t*>(&value), sizeof value);
  }
  return out;
}

DateTime ParseLocal(const std::string& text) {
  int y, mo, d, h, mi, s, consumed = 0;
  if (std::sscanf(text.c_str(), "%4d-%2d-%2dT%2d:%2d:%2d%n", &y, &mo, &d, &h, &mi, &s, &consumed) != 6 ||
      static_cast<std::size_t>(consumed) != text.size())
    throw std::runtime_error("time \"" + text + "\" is not of the form YYYY-MM-DDTHH:MM:SS");
  DateTime t = DateTime::FromLocal(y, mo, d, h, mi, s);
  if (!t.IsValid()) throw std::runtime_error("time \"" + text + "\" is not a date");
  return t;
}

RecordTime BuildTime(const Json& in) {
  RecordTime t;
  t.status = GetInteger<std::int32_t>(in, "status");
  if (in.contains("valueHex")) {
    const auto raw = FromHex(Get<std::string>(in, "valueHex"), "valueHex");
    if (raw.size() != sizeof t.value) throw std::runtime_error("field \"valueHex\" must hold 8 bytes");
    double value;
    std::memcpy(&value, raw.data(), sizeof value);
    t.value = value;
    return t;
  }
  const Json& value = Field(in, "value");
  if (!value.is_number()) throw std::runtime_error("field \"value\" is not a number");
  t.value = value.get<double>();
  if (in.contains("local")) {
    const std::string local = Get<std::string>(in, "local");
    if (t.Get().Format(kLocalFormat) != local) t.value = ParseLocal(local).Value();
  }
  return t;
}

// The byte fields of a record: texts, and reserved bytes (only when set).
struct ByteField {
  const char* name;
  std::size_t offset, size;
};
constexpr ByteField kTextFields[] = {{"number", offsetof(SmsRecord, number), kSmsNumberSize},
                                     {"text", offsetof(SmsRecord, text), kSmsTextSize},
                                     {"serviceCentre", offsetof(SmsRecord, serviceCentre), kSmsServiceCentreSize}};
constexpr ByteField kReservedFields[] = {{"reserved1", offsetof(SmsRecord, reserved1), 3},
                                         {"reserved2", offsetof(SmsRecord, reserved2), 4},
                                         {"reserved3", offsetof(SmsRecord, reserved3), 4}};

Json DumpRecord(const SmsRecord& r) {
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(&r);
  Json out;
  out["flags"] = std::uint8_t{r.flags};
  out["status"] = std::int32_t{r.status};
  out["time"] = DumpTime(r.time);
  out["reference"] = std::uint16_t{r.reference};
  out["partIndex"] = std::uint8_t{r.partIndex};
  out["partCount"] = std::uint8_t{r.partCount};
  for (const auto& f : kTextFields) DumpText(out, f.name, reinterpret_cast<const char*>(bytes + f.offset), f.size);
  for (const auto& f : kReservedFields) DumpReserved(out, f.name, bytes + f.offset, f.size);
  return out;
}

SmsRecord BuildRecord(const Json& in) {
  if (!in.is_object()) throw std::runtime_error("a record is not an object");
  SmsRecord r = ZeroSmsRecord();
  auto* bytes = reinterpret_cast<std::uint8_t*>(&r);
  r.flags = GetInteger<std::uint8_t>(in, "flags");
  r.status = GetInteger<std::int32_t>(in, "status");
  r.time = BuildTime(Field(in, "time"));
  r.reference = GetInteger<std::uint16_t>(in, "reference");
  r.partIndex = GetInteger<std::uint8_t>(in, "partIndex");
  r.partCount = GetInteger<std::uint8_t>(in, "partCount");
  for (const auto& f : kTextFields) BuildText(in, f.name, reinterpret_cast<char*>(bytes + f.offset), f.size);
  for (const auto& f : kReservedFields) BuildReserved(in, f.name, bytes + f.offset, f.size);
  return r;
}

class SmsDataFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kSmsDataFile; }

  std::vector<std::string> Check(const Bytes& content) const override { return SmsDataImage::Check(content); }

  Json Dump(const Bytes& content) const override {
    const SmsCounts counts = SmsDataImage::Counts(content);
    Json out = Json::object();
    for (int box = 0; box < kSmsBoxCount; ++box) {
      Json records = Json::array();
      for (int i = 0; i < counts[box]; ++i)
        records.push_back(DumpRecord(SmsDataImage::RecordAt(content, counts, box, i)));
      out[SmsDataImage::BoxName(box)] = std::move(records);
    }
    return out;
  }

  Bytes Build(const Json& json) const override {
    std::vector<SmsRecord> boxes[kSmsBoxCount];
    for (int box = 0; box < kSmsBoxCount; ++box) {
      const char* name = SmsDataImage::BoxName(box);
      const Json& records = Field(json, name);
      if (!records.is_array()) throw std::runtime_error(std::string(name) + " is not a list of records");
      if (records.size() > static_cast<std::size_t>(kSmsBoxCapacity))
        throw std::runtime_error(std::string(name) + " holds " + std::to_string(records.size()) +
                                 " records, more than " + std::to_string(kSmsBoxCapacity));
      for (std::size_t i = 0; i < records.size(); ++i) {
        try {
          boxes[box].push_back(BuildRecord(records[i]));
        } catch (const std::runtime_error& e) {
          throw std::runtime_error(std::string(name) + " record " + std::to_string(i) + ": " + e.what());
        }
      }
    }
    Bytes out;
    SmsDataImage::Encode({boxes[0], boxes[1], boxes[2]}, out);
    return out;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeSmsDataFormat() { return std::make_unique<SmsDataFormat>(); }

}  // namespace evdo::datatool
