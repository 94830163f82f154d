#include "tools/evdo-data/SettingsFormats.h"

#include "core/text/CodePage.h"
#include "core/text/FixedText.h"
#include "core/text/TextRules.h"
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
  // The program reads every settings file; what check finds are remarks.
  bool ReadsAnyContent() const override { return true; }

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
      if (!v) continue;
      const std::string reads = std::to_string(ProfileFile::ParseProfileInt(*v));
      if (!IsDecimal(*v))
        problems.push_back(std::string(s.key) + " = \"" + ToUtf8(*v) + "\" is not a whole number; it reads as " + reads);
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

  Bytes Build(const Json& json) const override {
    ProfileFile profile;
    for (const auto& s : TextSettings()) {
      const Json& section = Field(json, s.section);
      if (section.contains(s.key)) profile.Set(s.section, s.key, FromUtf8(Get<std::string>(section, s.key)));
    }
    for (const auto& s : IntSettings()) {
      const Json& section = Field(json, s.section);
      if (section.contains(s.key)) profile.Set(s.section, s.key, std::to_string(Get<std::int32_t>(section, s.key)));
    }
    std::string text = profile.Serialize();
    return Bytes(text.begin(), text.end());
  }

private:
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
    std::int32_t option = Get<std::int32_t>(json, "option");
    for (int i = 0; i < 4; ++i) out.push_back(static_cast<std::uint8_t>(static_cast<std::uint32_t>(option) >> (8 * i)));
    return out;
  }
};

}  // namespace

std::unique_ptr<DataFileFormat> MakeEvdoIniFormat() { return std::make_unique<EvdoIniFormat>(); }
std::unique_ptr<DataFileFormat> MakeSettingDataFormat() { return std::make_unique<SettingDataFormat>(); }

}  // namespace evdo::datatool
