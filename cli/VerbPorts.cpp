// zkf780a ports: lists the serial devices of this machine with the COM number each has in the
// COM port table (section COMPORT of the tool settings file in the current folder).

#include "Verb.h"

#include "XVclCtrl/SerialDevices.h"
#include "XVclCtrl/TComPortTable.h"

#include <cstdio>

namespace {

int PortsMain(int argc, char** argv) {
    if (Cli::WantsHelp(argc, argv)) {
        std::printf(
            "usage: zkf780a ports\n"
            "Lists the serial devices of this machine (/dev/ttyUSB*, /dev/ttyACM*, the\n"
            "/dev/ttyS* that answer, /dev/serial/by-id names) with the COM number each has.\n"
            "COM n is the device named by key COMn of section [COMPORT] in the tool settings\n"
            "file \"%s\" of the current folder (for example COM1=/dev/ttyUSB0);\n"
            "without an entry COM n is /dev/ttyS(n-1). Wherever a port is asked for, a device\n"
            "path may be given instead.\n",
            XVclCtrl::TComPortTable::SettingsFileName);
        return 0;
    }
    if (argc > 1) {
        std::fprintf(stderr, "zkf780a ports: unexpected argument \"%s\"\n", argv[1]);
        return 2;
    }
    XVclCtrl::TComPortTable& table = XVclCtrl::TComPortTable::Global();
    table.LoadFromIniFile(XVclCtrl::TComPortTable::SettingsFileName);
    std::fputs(XVclCtrl::FormatSerialDeviceList(XVclCtrl::ListSerialDevices(table)).c_str(),
               stdout);
    return 0;
}

Cli::TVerbRegistrar reg("ports", "list the serial devices and their COM numbers", PortsMain);

} // namespace
