#pragma once
// "ConnSetData.dat": the Internet page's own settings (connect at start,
// close behaviour, order of the automatic connection, wireless LAN values),
// one raw record of 572 bytes.
#include <cstddef>
#include <cstdint>
#include <string>

#include "core/files/DataFile.h"
#include "internet/RawRecordFile.h"

namespace evdo {

constexpr const char* kConnSetDataFile = "ConnSetData.dat";
constexpr std::size_t kWlanTextField = 256;
constexpr std::size_t kProvinceField = 32;

// Connection types of the automatic connection.
constexpr std::int32_t kAutoLinkWlan = 0;
constexpr std::int32_t kAutoLink3G = 1;
constexpr std::int32_t kAutoLink1X = 2;

struct ConnSetData {
  std::int32_t connectAtStart;    // non-zero: automatic connection after start-up
  std::int32_t closeAction;       // 0 hides the main window, non-zero exits
  std::int32_t rememberClose;     // non-zero: do not ask on close
  std::int32_t keepWlanText2;     // non-zero: wlanText2 is kept
  std::int32_t autoLink[3];       // first, second, third connection type
  char wlanText1[kWlanTextField];
  char wlanText2[kWlanTextField];
  char province[kProvinceField];  // one of the province table's names
};

static_assert(sizeof(ConnSetData) == 572);
static_assert(offsetof(ConnSetData, connectAtStart) == 0);
static_assert(offsetof(ConnSetData, closeAction) == 4);
static_assert(offsetof(ConnSetData, rememberClose) == 8);
static_assert(offsetof(ConnSetData, keepWlanText2) == 12);
static_assert(offsetof(ConnSetData, autoLink) == 16);
static_assert(offsetof(ConnSetData, wlanText1) == 28);
static_assert(offsetof(ConnSetData, wlanText2) == 284);
static_assert(offsetof(ConnSetData, province) == 540);

// The values used when the file is absent; the province text "请选择省份"
// ("choose a province") is in the system code page.
ConnSetData DefaultConnSetData();

// Loaded with the defaults of DefaultConnSetData(); saved after each settings
// window that ends with OK. It keeps a wireless LAN password: its owner's
// alone.
class ConnSetDataFile : public RawRecordFile<ConnSetData> {
public:
  explicit ConnSetDataFile(std::string path = kConnSetDataFile)
      : RawRecordFile(std::move(path), FileAccess::OwnerOnly) {}
};

}  // namespace evdo
