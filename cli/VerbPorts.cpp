// zkf780a ports: lists the serial devices of this machine with the COM number each has in the
// COM port table (section COMPORT of the tool settings file in the current folder).

#include "Verb.h"
#include "VerbParser.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclCtrl/TComPortTable.h"

#include <cstdio>

namespace {

int PortsMain(int argc, char** argv) {
    Cli::TVerbParser parser(
        "ports",
        std::string("Lists the serial devices of this machine (/dev/ttyUSB*, /dev/ttyACM*, the "
                    "/dev/ttyS* that answer, /dev/serial/by-id names) with the COM number each "
                    "has. COM n is the device named by key COMn of section [COMPORT] in the tool "
                    "settings file \"") +
            XVclCtrl::TComPortTable::SettingsFileName +
            "\" of the current folder (for example COM1=/dev/ttyUSB0); without an entry COM n "
            "is /dev/ttyS(n-1). Wherever a port is asked for, a device path may be given "
            "instead. A device this user may not open is marked with the group that owns it "
            "and the command that adds the user to that group.",
        "  0  the list was printed\n"
        "  2  usage error\n");
    if (auto status = parser.Parse(argc, argv)) return *status;
    XVclCtrl::TComPortTable& table = XVclCtrl::TComPortTable::Global();
    table.LoadFromIniFile(XVclCtrl::TComPortTable::SettingsFileName);
    std::fputs(XVclCtrl::FormatSerialDeviceList(XVclCtrl::ListSerialDevices(table)).c_str(),
               stdout);
    return 0;
}

Cli::TVerbRegistrar reg("ports", "list the serial devices and their COM numbers", PortsMain);

} // namespace
