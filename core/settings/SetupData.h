#pragma once
// The settings record: every start-up option, branding value, dial-up
// default and the few user preferences kept in "EVDO.ini".
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"

namespace evdo {

constexpr const char* kSettingsFile = "EVDO.ini";

struct CSetupData {
  // Text settings, each a buffer whose capacity counts the terminating NUL.
  char Internet_szDefaultConnName[256];
  char Internet_szLocalPhoneNumber[128];
  char Internet_szDeviceName[128];
  char Internet_szDeviceType[16];
  char Internet_szUserName[256];
  char Internet_szPassword[256];
  char General_szSkinFile[256];
  char Internet_szDefaultConnection[256];
  char Internet_szPCUIName[256];
  char Main_szPrefixName[32];
  char Main_szURL[256];
  char Main_szEMail[256];
  char Main_szSplashBmp[256];
  char Main_szExitSplashBmp[256];
  char Main_szLogoBmp[256];
  char Main_szCompany[64];
  char Main_szMainIcon[64];
  char Main_szHelpFile[256];
  char Internet_szProfileName[256];
  char Internet_szAPN[256];
  char Main_szUsbDiskFriendlyName[256];
  char Main_szAppName[64];

  // Integer settings.
  std::int32_t Internet_dwFramingProtocol;
  std::int32_t Internet_dwfOptions;
  std::int32_t Internet_dwType;
  std::int32_t Internet_dwCountryID;
  std::int32_t Internet_dwCountryCode;
  std::int32_t Internet_dwfNetProtocols;
  std::int32_t Internet_dwSubEntries;
  std::int32_t Internet_dwEncryptionType;
  std::int32_t Internet_dwSubEntry;
  std::int32_t Internet_nConnections;
  std::int32_t Setup_nSkinStyle;
  std::int32_t Setup_nPowerManagement;
  std::int32_t Main_nCall;
  std::int32_t Main_nLanguage;
  std::int32_t Main_nCompany;
  std::int32_t Messages_PreStor;
  std::int32_t Messages_ValPeriod;
  std::int32_t Messages_DeliReport;
  std::int32_t Main_nHelp;
  std::int32_t Main_nAutoRun;
  std::int32_t Internet_nAutoRun;

  CSetupData() { SetDefaults(); }
  void SetDefaults();

  // The one settings record of the process.
  static CSetupData& Instance();
};

// Describes one setting: where it lives in the file and in the record.
struct TextSetting {
  const char* section;
  const char* key;
  std::size_t capacity;
  const char* defaultValue;
  char* (*field)(CSetupData&);
};
struct IntSetting {
  const char* section;
  const char* key;
  std::int32_t defaultValue;
  std::int32_t CSetupData::*field;
};

constexpr std::size_t kTextSettingCount = 22;
constexpr std::size_t kIntSettingCount = 21;
// In load and save order.
const TextSetting (&TextSettings())[kTextSettingCount];
const IntSetting (&IntSettings())[kIntSettingCount];

// Reads every setting from the file at path; defaults where the file or a key
// is missing.
void LoadSettings(CSetupData& data, const std::string& path = kSettingsFile);
inline void LoadSettings() { LoadSettings(CSetupData::Instance()); }

// Writes all 43 settings, keeping every other line of the file. A file that
// cannot be written is reported; the record is unchanged either way.
FileResult SaveSettings(const CSetupData& data, const std::string& path = kSettingsFile);
inline FileResult SaveSettings() { return SaveSettings(CSetupData::Instance()); }

// Main_szPrefixName followed by text.
std::string PrefixedTitle(const CSetupData& data, std::string_view text);
inline std::string PrefixedTitle(std::string_view text) {
  return PrefixedTitle(CSetupData::Instance(), text);
}

// The relative validity-period octet of sent messages for Messages_ValPeriod;
// an index outside 0..5 is clamped.
std::uint8_t ValidityPeriodOctet(std::int32_t valPeriodIndex);

// The hardware identifier that marks the modem for Main_nCompany.
const char* ModemHardwareId(std::int32_t company);

}  // namespace evdo
