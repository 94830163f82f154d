#pragma once
// The switch configurations of the modem's mode-switch tool (usb_modeswitch)
// as its data package installs them: one file per device, named by the
// device's USB vendor and product ("1c9e:f000"), either alone in a folder or
// as an entry of the package's packed collection (a gzip-compressed tar).
#include <optional>
#include <string>
#include <vector>

namespace evdo {

struct ModeSwitchData {
  // Searched in order for a file named by the device; the first is the
  // administrator's own folder.
  std::vector<std::string> folders;
  // The packed collection, searched after the folders.
  std::string collection;
};

// Where Debian's usb-modeswitch and usb-modeswitch-data put them.
ModeSwitchData InstalledModeSwitchData();

// The configuration text for id, four lower-case hexadecimal digits of the
// vendor, a colon and four of the product. Entries that qualify an id further
// ("1c9e:f000:uMa=...") are variants for particular makers and are not taken.
// Nothing for an id of another form, or when no configuration can be read.
std::optional<std::string> FindModeSwitchConfig(const std::string& id, const ModeSwitchData& data);

}  // namespace evdo
