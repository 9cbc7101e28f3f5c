#pragma once
// The serial devices of this machine, with the COM number each has in the COM port table, and
// the reason a port cannot be opened in plain words. The command-line tool and the window use
// them when a port is listed or fails to open.

#include "TComPortTable.h"

#include <string>
#include <vector>

namespace XVclCtrl {

struct TSerialDeviceInfo {
    std::string Path;                 // /dev/ttyUSB0
    std::vector<std::string> Aliases; // /dev/serial/by-id/... names of the same device
    int ComNumber = 0;                // 0: no COM number in the table
    bool Accessible = true;           // false: this user may not open it
};

// /dev/ttyUSB*, /dev/ttyACM*, the /dev/ttyS* that answer (have a UART behind them), the devices
// the table names, with their /dev/serial/by-id names. Sorted by COM number, then path.
std::vector<TSerialDeviceInfo> ListSerialDevices(const TComPortTable& table,
                                                 const std::string& devDir = "/dev");

// One line per device: "COM3  /dev/ttyUSB0  (/dev/serial/by-id/usb-FTDI...)"; a note when the
// list is empty.
std::string FormatSerialDeviceList(const std::vector<TSerialDeviceInfo>& devices);

// What a user who may not open devicePath can do about it, for the device list.
std::string NoPermissionHint(const std::string& devicePath);

// Why opening devicePath failed with the platform error systemError, in plain words: missing,
// busy, or no permission (naming the group that grants access on this system).
std::string ExplainOpenFailure(const std::string& devicePath, int systemError);

} // namespace XVclCtrl
