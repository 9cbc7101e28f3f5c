#include "SerialDevices.h"

namespace XVclCtrl {

std::string FormatSerialDeviceList(const std::vector<TSerialDeviceInfo>& devices) {
    if (devices.empty()) return "No serial devices found.\n";
    std::string out;
    for (const auto& d : devices) {
        std::string com = d.ComNumber ? "COM" + std::to_string(d.ComNumber) : "-";
        out += com + std::string(com.size() < 6 ? 6 - com.size() : 1, ' ') + d.Path;
        for (const auto& alias : d.Aliases) out += "  " + alias;
        if (!d.Accessible) out += "  (" + NoPermissionHint(d.Path) + ")";
        out += "\n";
    }
    return out;
}

} // namespace XVclCtrl
