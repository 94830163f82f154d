#include "tools/evdo-data/SettingsFormats.h"

#include <stdexcept>

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "core/text/TextRules.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SettingData.h"
#include "core/settings/SetupData.h"
#include "tools/evdo-data/JsonFields.h"
#include "tools/evdo-data/RecordJson.h"

#include <algorithm>
#include <stdexcept>

namespace evdo::datatool {
namespace {

// EVDO.ini: the settings as the program reads them (text in UTF-8).
class EvdoIniFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kSettingsFile; }
  // The program reads every settings file; what check finds are remarks.
  bool ReadsAnyContent() const override { return true; }

  std::vector<std::string> Check(const Bytes& content) const override {
    std::vector<std::string> problems = CheckLines(content);
    auto profile = Parse(content);
    for (const auto& s : TextSettings()) {
      auto v = profile.Get(s.section, s.key);
      if (v && v->size() > s.capacity - 1)
        problems.push_back(std::string(s.key) + " is longer than " + std::to_string(s.capacity - 1) +
                           " bytes and is cut when read");
    }
    for (const auto& s : IntSettings()) {
      auto v = profile.Get(s.section, s.key);
      if (!v) continue;
      const std::string reads = std::to_string(ProfileFile::ParseProfileInt(*v));
      if (!IsDecimal(*v))
        problems.push_back(std::string(s.key) + " = \"" + ToUtf8(*v) + "\" is not a whole number; it reads as " + reads);
      else if (!Fits32Bits(*v))
        problems.push_back(std::string(s.key) + " = " + Trimmed(*v) +
                           " does not fit a 32-bit number (-2147483648 to 4294967295); it reads as " + reads);
      else if (std::string(TrimAsciiSpace(*v)) != reads)
        problems.push_back(std::string(s.key) + " = \"" + ToUtf8(*v) + "\" reads as " + reads);
    }
    if (auto v = profile.Get("Messages", "Messages_ValPeriod"); v) {
      int p = ProfileFile::ParseProfileInt(*v);
      if (p < 0 || p > 5) problems.push_back("Messages_ValPeriod " + std::to_string(p) + " is outside 0..5");
    }
    return problems;
  }

  Json Dump(const Bytes& content) const override {
    auto profile = Parse(content);
    Json out = Json::object();
    for (const auto& s : TextSettings()) {
      std::string v = profile.GetString(s.section, s.key, s.defaultValue, s.capacity);
      out[s.section][s.key] = ToUtf8(v);
    }
    for (const auto& s : IntSettings()) out[s.section][s.key] = profile.GetInt(s.section, s.key, s.defaultValue);
    return out;
  }

  // Refuses what the program would not read back as given.
  Bytes Build(const Json& json) const override { return BuildInto(json, ProfileFile()); }

  // Sets only the keys the JSON names: every other line of the existing
  // file (comments, unknown keys and sections) stays as it was.
  Bytes BuildOver(const Json& json, const Bytes& existing) const override {
    return BuildInto(json, Parse(existing));
  }

private:
  static Bytes BuildInto(const Json& json, ProfileFile profile) {
    if (!json.is_object()) throw std::runtime_error("the content must be an object of sections");
    for (const auto& s : TextSettings()) {
      if (!json.contains(s.section)) continue;
      const Json& section = Field(json, s.section);
      if (!section.contains(s.key)) continue;
      const std::string utf8 = Get<std::string>(section, s.key);
      const std::string value = FromUtf8(utf8);
      if (ToUtf8(value) != utf8)
        throw std::runtime_error(std::string("field \"") + s.key + "\" has characters the code page cannot hold");
      if (value.size() > s.capacity - 1)
        throw std::runtime_error(std::string("field \"") + s.key + "\" holds " + std::to_string(value.size()) +
                                 " bytes; at most " + std::to_string(s.capacity - 1) + " fit");
      if (value.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
        throw std::runtime_error(std::string("field \"") + s.key + "\" holds a line break or a NUL character");
      profile.Set(s.section, s.key, value);
    }
    for (const auto& s : IntSettings()) {
      if (!json.contains(s.section)) continue;
      const Json& section = Field(json, s.section);
      if (!section.contains(s.key)) continue;
      const std::int32_t value = GetInt<std::int32_t>(section, s.key);
      if (value < 0)
        throw std::runtime_error(std::string("field \"") + s.key + "\" is negative; the program reads it as 0");
      profile.Set(s.section, s.key, std::to_string(value));
    }
    std::string text = profile.Serialize();
    return Bytes(text.begin(), text.end());
  }

  // Lines that are neither blank, a comment, a [section] nor key=value; and
  // content that is no profile text at all.
  static std::vector<std::string> CheckLines(const Bytes& content) {
    std::vector<std::string> problems;
    std::string_view text(reinterpret_cast<const char*>(content.data()), content.size());
    if (text.substr(0, 3) == "\xEF\xBB\xBF") text.remove_prefix(3);
    if (text.find('\0') != std::string_view::npos) return {"not a profile file: it holds NUL bytes"};
    std::size_t start = 0, number = 0, sections = 0, bad = 0;
    while (start < text.size()) {
      ++number;
      std::size_t nl = text.find('\n', start);
      std::string_view line = text.substr(start, nl == std::string_view::npos ? std::string_view::npos : nl - start);
      start = nl == std::string_view::npos ? text.size() : nl + 1;
      std::string trimmed = Trimmed(line);
      if (trimmed.empty() || trimmed[0] == ';' || trimmed[0] == '#') continue;
      if (trimmed.front() == '[' && trimmed.back() == ']') {
        ++sections;
        continue;
      }
      if (trimmed.find('=') != std::string::npos && trimmed.front() != '=' && trimmed.front() != '[') {
        if (sections == 0 && ++bad <= 5)
          problems.push_back("line " + std::to_string(number) + ": \"" + ToUtf8(trimmed) +
                             "\" stands before any [section] and is never read");
        continue;
      }
      if (++bad <= 5)
        problems.push_back("line " + std::to_string(number) + ": \"" + ToUtf8(trimmed) +
                           "\" is neither a [section], a key=value line nor a ; comment");
    }
    if (bad > 5) problems.push_back(std::to_string(bad - 5) + " more such lines");
    if (sections == 0 && !text.empty() && bad > 0)
      problems.insert(problems.begin(), "not a profile file: no [section] line");
    return problems;
  }
  static std::string Trimmed(std::string_view v) {
    while (!v.empty() && (v.front() == ' ' || v.front() == '\t')) v.remove_prefix(1);
    while (!v.empty() && (v.back() == ' ' || v.back() == '\t' || v.back() == '\r')) v.remove_suffix(1);
    return std::string(v);
  }
  // A decimal (IsDecimal) whose value fits a signed 32-bit integer.
  // Whether the number fits the 32 bits it is kept in: as a signed value
  // down to -2147483648, as a double word up to 4294967295.
  static bool Fits32Bits(const std::string& v) {
    std::string t = Trimmed(v);
    bool negative = !t.empty() && t[0] == '-';
    std::string digits = t.substr(negative ? 1 : 0);
    std::size_t first = digits.find_first_not_of('0');
    digits = first == std::string::npos ? "0" : digits.substr(first);
    if (digits.size() > 10) return false;
    if (digits.size() < 10) return true;
    return digits <= (negative ? std::string("2147483648") : std::string("4294967295"));
  }
  static ProfileFile Parse(const Bytes& content) {
    return ProfileFile::Parse(std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
  }
  // An optional sign and decimal digits between blanks.
  static bool IsDecimal(std::string_view v) {
    v = TrimAsciiSpace(v);
    if (!v.empty() && (v.front() == '-' || v.front() == '+')) v.remove_prefix(1);
    return !v.empty() && AllDecimalDigits(v);
  }
};

class SettingDataFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kSettingDataFile; }
  std::vector<std::string> Check(const Bytes& content) const override {
    std::int32_t option;
    if (!SettingData::Decode(content, option))
      return {"holds " + std::to_string(content.size()) + " bytes instead of 4"};
    if (option < 0) return {"option index " + std::to_string(option) + " is negative"};
    return {};
  }
  Json Dump(const Bytes& content) const override {
    std::int32_t option = 0;
    SettingData::Decode(content, option);
    return Json{{"option", option}};
  }
  Bytes Build(const Json& json) const override {
    Bytes out;
    std::int32_t option = GetInt<std::int32_t>(json, "option");
    if (option < 0) throw std::runtime_error("field \"option\" must not be negative");
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(option) >> (8 * i)));
    return out;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeEvdoIniFormat() { return std::make_unique<EvdoIniFormat>(); }
std::unique_ptr<DataFileFormat> MakeSettingDataFormat() { return std::make_unique<SettingDataFormat>(); }

}  // namespace evdo::datatool
