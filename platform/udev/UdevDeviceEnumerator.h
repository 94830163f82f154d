#pragma once
// The present devices as udev knows them.
//
// The modem is a composite USB device. Each of its serial interfaces is a tty
// on a USB interface; both the ports and the modems class list these ttys:
// - description: the USB interface's string ("Device Application Interface"
//   for the command port);
// - hardware identifier: "usb\vid_VVVV&pid_PPPP&mi_NN" from the USB device's
//   vendor and product and the interface number, in the form the identifier
//   tests expect;
// - port name and friendly name: the tty's device node ("/dev/ttyUSB2"), the
//   path that opens it and the device the dial-up connection uses.
// CD-ROM drives are the block disks udev marks as CD-ROM (ID_CDROM=1) or
// named "sr*"; their friendly name is the SCSI model text (or ID_MODEL).
#include "device/discovery/DeviceEnumerator.h"

namespace evdo {

class CUdevDeviceEnumerator final : public DeviceEnumerator {
public:
  bool Enumerate(DeviceClass cls, std::vector<DeviceProperties>& out) override;
};

}  // namespace evdo
