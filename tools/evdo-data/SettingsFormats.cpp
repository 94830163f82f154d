#include "tools/evdo-data/SettingsFormats.h"

#include <stdexcept>

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "core/settings/ProfileFile.h"
#include "core/settings/SettingData.h"
#include "core/settings/SetupData.h"
#include "tools/evdo-data/JsonFields.h"

namespace evdo::datatool {
namespace {

// EVDO.ini: the settings as the program reads them (text in UTF-8).
class EvdoIniFormat : public DataFileFormat {
public:
  std::string FileName() const override { return kSettingsFile; }

  std::vector<std::string> Check(const Bytes& content) const override {
    std::vector<std::string> problems;
    auto profile = Parse(content);
    for (const auto& s : TextSettings()) {
      auto v = profile.Get(s.section, s.key);
      if (v && v->size() > s.capacity - 1)
        problems.push_back(std::string(s.key) + " is longer than " + std::to_string(s.capacity - 1) +
                           " bytes and is cut when read");
    }
    for (const auto& s : IntSettings()) {
      auto v = profile.Get(s.section, s.key);
      if (v && !IsDecimal(*v))
        problems.push_back(std::string(s.key) + " = \"" + ToUtf8(*v) + "\" is not a whole number; it reads as " +
                           std::to_string(ProfileFile::ParseProfileInt(*v)));
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
  Bytes Build(const Json& json) const override {
    ProfileFile profile;
    for (const auto& s : TextSettings()) {
      const Json& section = Field(json, s.section);
      if (!section.contains(s.key)) continue;
      const std::string utf8 = Get<std::string>(section, s.key);
      const std::string value = FromUtf8(utf8);
      if (ToUtf8(value) != utf8)
        throw std::runtime_error(std::string("setting \"") + s.key + "\" has characters the code page cannot hold");
      if (value.find_first_of(std::string("\n\0", 2)) != std::string::npos)
        throw std::runtime_error(std::string("setting \"") + s.key + "\" holds a line break or a NUL character");
      profile.Set(s.section, s.key, value);
    }
    for (const auto& s : IntSettings()) {
      const Json& section = Field(json, s.section);
      if (!section.contains(s.key)) continue;
      const std::int32_t value = Get<std::int32_t>(section, s.key);
      if (value < 0)
        throw std::runtime_error(std::string("setting \"") + s.key + "\" is negative; the program reads it as 0");
      profile.Set(s.section, s.key, std::to_string(value));
    }
    std::string text = profile.Serialize();
    Bytes out(text.begin(), text.end());
    if (auto problems = Check(out); !problems.empty()) throw std::runtime_error(problems.front());
    return out;
  }

private:
  static ProfileFile Parse(const Bytes& content) {
    return ProfileFile::Parse(std::string_view(reinterpret_cast<const char*>(content.data()), content.size()));
  }
  static bool IsDecimal(const std::string& v) {
    std::size_t i = 0;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
    if (i < v.size() && v[i] == '-') ++i;
    std::size_t digits = 0;
    while (i < v.size() && v[i] >= '0' && v[i] <= '9') ++i, ++digits;
    while (i < v.size() && (v[i] == ' ' || v[i] == '\t')) ++i;
    return digits > 0 && i == v.size();
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
    std::int32_t option = Get<std::int32_t>(json, "option");
    if (option < 0) throw std::runtime_error("field \"option\" must not be negative");
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(option) >> (8 * i)));
    return out;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeEvdoIniFormat() { return std::make_unique<EvdoIniFormat>(); }
std::unique_ptr<DataFileFormat> MakeSettingDataFormat() { return std::make_unique<SettingDataFormat>(); }

}  // namespace evdo::datatool
