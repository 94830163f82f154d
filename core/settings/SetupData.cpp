#include "core/settings/SetupData.h"

#include <algorithm>

#include "core/text/FixedText.h"
#include "core/settings/ProfileFile.h"

namespace evdo {

#define EVDO_TEXT(section, name, cap, def) \
  {section, #name, cap, def, [](CSetupData& d) -> char* { return d.name; }}
#define EVDO_INT(section, name, def) {section, #name, def, &CSetupData::name}

const TextSetting (&TextSettings())[kTextSettingCount] {
  static const TextSetting kTable[kTextSettingCount] = {
      EVDO_TEXT("Internet", Internet_szDefaultConnName, 256, "EVDO Connection"),
      EVDO_TEXT("Internet", Internet_szLocalPhoneNumber, 128, "#777"),
      EVDO_TEXT("Internet", Internet_szDeviceName, 128, "Mobile Connector"),
      EVDO_TEXT("Internet", Internet_szDeviceType, 16, "modem"),
      EVDO_TEXT("Internet", Internet_szUserName, 256, ""),
      EVDO_TEXT("Internet", Internet_szPassword, 256, ""),
      EVDO_TEXT("Main", General_szSkinFile, 256, "skin\\tealwave\\theme.ini"),
      EVDO_TEXT("Internet", Internet_szDefaultConnection, 256, "EVDO Connection"),
      EVDO_TEXT("Internet", Internet_szPCUIName, 256, "Device Application Interface"),
      EVDO_TEXT("Main", Main_szPrefixName, 32, ""),
      EVDO_TEXT("Main", Main_szURL, 256, ""),
      EVDO_TEXT("Main", Main_szEMail, 256, ""),
      EVDO_TEXT("Main", Main_szSplashBmp, 256, ""),
      EVDO_TEXT("Main", Main_szExitSplashBmp, 256, ""),
      EVDO_TEXT("Main", Main_szLogoBmp, 256, ""),
      EVDO_TEXT("Main", Main_szCompany, 64, ""),
      EVDO_TEXT("Main", Main_szMainIcon, 64, "skin\\MAINFRAME.ico"),
      EVDO_TEXT("Main", Main_szHelpFile, 256, ""),
      EVDO_TEXT("Internet", Internet_szProfileName, 256, "Default"),
      EVDO_TEXT("Internet", Internet_szAPN, 256, ""),
      EVDO_TEXT("Main", Main_szUsbDiskFriendlyName, 256, ""),
      EVDO_TEXT("Main", Main_szAppName, 64, ""),
  };
  return kTable;
}

const IntSetting (&IntSettings())[kIntSettingCount] {
  static const IntSetting kTable[kIntSettingCount] = {
      EVDO_INT("Internet", Internet_dwFramingProtocol, 1),
      EVDO_INT("Internet", Internet_dwfOptions, 1027408664),
      EVDO_INT("Internet", Internet_dwType, 1),
      EVDO_INT("Internet", Internet_dwCountryID, 86),
      EVDO_INT("Internet", Internet_dwCountryCode, 86),
      EVDO_INT("Internet", Internet_dwfNetProtocols, 4),
      EVDO_INT("Internet", Internet_dwSubEntries, 1),
      EVDO_INT("Internet", Internet_dwEncryptionType, 3),
      EVDO_INT("Internet", Internet_dwSubEntry, 1),
      EVDO_INT("Internet", Internet_nConnections, 0),
      EVDO_INT("Setup", Setup_nSkinStyle, 0),
      EVDO_INT("Setup", Setup_nPowerManagement, 1),
      EVDO_INT("Main", Main_nCall, 1),
      EVDO_INT("Main", Main_nLanguage, 9),
      EVDO_INT("Main", Main_nCompany, 1),
      EVDO_INT("Messages", Messages_PreStor, 1),
      EVDO_INT("Messages", Messages_ValPeriod, 2),
      EVDO_INT("Messages", Messages_DeliReport, 0),
      EVDO_INT("Main", Main_nHelp, 1),
      EVDO_INT("Main", Main_nAutoRun, 0),
      EVDO_INT("Internet", Internet_nAutoRun, 0),
  };
  return kTable;
}

#undef EVDO_TEXT
#undef EVDO_INT

void CSetupData::SetDefaults() {
  for (const auto& s : TextSettings()) SetFieldText(s.field(*this), s.capacity, s.defaultValue);
  for (const auto& s : IntSettings()) this->*s.field = s.defaultValue;
}

CSetupData& CSetupData::Instance() {
  static CSetupData* instance = new CSetupData();  // lives for the whole process
  return *instance;
}

void LoadSettings(CSetupData& data, const std::string& path) {
  ProfileFile profile;
  // An unreadable file reads as missing: every key takes its default.
  static_cast<void>(ProfileFile::Load(path, profile));
  for (const auto& s : TextSettings()) {
    std::string v = profile.GetString(s.section, s.key, s.defaultValue, s.capacity);
    SetFieldText(s.field(data), s.capacity, v);
  }
  for (const auto& s : IntSettings()) data.*s.field = profile.GetInt(s.section, s.key, s.defaultValue);
}

FileResult SaveSettings(const CSetupData& data, const std::string& path) {
  ProfileFile profile;
  LoadResult loaded = ProfileFile::Load(path, profile);
  if (loaded.Failed()) return FileResult::Fail(loaded.error);
  auto& d = const_cast<CSetupData&>(data);
  for (const auto& s : TextSettings())
    profile.Set(s.section, s.key, FieldText(s.field(d), s.capacity));
  for (const auto& s : IntSettings())
    profile.Set(s.section, s.key, std::to_string(data.*s.field));
  return profile.Save(path);
}

std::string PrefixedTitle(const CSetupData& data, std::string_view text) {
  return std::string(FieldText(data.Main_szPrefixName)) + std::string(text);
}

std::uint8_t ValidityPeriodOctet(std::int32_t valPeriodIndex) {
  static const std::uint8_t kOctets[] = {11, 71, 167, 169, 173, 244};
  return kOctets[std::clamp(valPeriodIndex, 0, 5)];
}

const char* ModemHardwareId(std::int32_t company) {
  return company == 4 || company == 5 ? "vid_1c9e&pid_6000" : "vid_1614&pid_6000";
}

}  // namespace evdo
