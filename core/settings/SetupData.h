#pragma once
// The settings record: every start-up option, branding value, dial-up
// default and the few user preferences kept in "EVDO.ini".
#include <atomic>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "core/files/DataFile.h"

namespace evdo {

constexpr const char* kSettingsFile = "EVDO.ini";

// An integer setting. The record is rewritten on the user-interface thread
// (LoadSettings runs again when the main window initialises) while worker
// threads read some of its values, such as the response parser reading
// Main_nCall for every call line: each value is therefore read and written
// whole, as an atomic. It reads and assigns like the integer it holds.
class SettingInt {
public:
  constexpr SettingInt(std::int32_t value = 0) noexcept : value_(value) {}  // NOLINT: reads as an int
  SettingInt(const SettingInt& other) noexcept : value_(other.Get()) {}
  SettingInt& operator=(const SettingInt& other) noexcept { return *this = other.Get(); }
  SettingInt& operator=(std::int32_t value) noexcept {
    value_.store(value, std::memory_order_relaxed);
    return *this;
  }
  operator std::int32_t() const noexcept { return Get(); }  // NOLINT: reads as an int
  std::int32_t Get() const noexcept { return value_.load(std::memory_order_relaxed); }

private:
  std::atomic<std::int32_t> value_;
};

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
  SettingInt Internet_dwFramingProtocol;
  SettingInt Internet_dwfOptions;
  SettingInt Internet_dwType;
  SettingInt Internet_dwCountryID;
  SettingInt Internet_dwCountryCode;
  SettingInt Internet_dwfNetProtocols;
  SettingInt Internet_dwSubEntries;
  SettingInt Internet_dwEncryptionType;
  SettingInt Internet_dwSubEntry;
  SettingInt Internet_nConnections;
  SettingInt Setup_nSkinStyle;
  SettingInt Setup_nPowerManagement;
  SettingInt Main_nCall;
  SettingInt Main_nLanguage;
  SettingInt Main_nCompany;
  SettingInt Messages_PreStor;
  SettingInt Messages_ValPeriod;
  SettingInt Messages_DeliReport;
  SettingInt Main_nHelp;
  SettingInt Main_nAutoRun;
  SettingInt Internet_nAutoRun;

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
  SettingInt CSetupData::*field;
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
