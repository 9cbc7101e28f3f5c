// The serial devices of a Windows machine: the COM names the system knows (QueryDosDevice), and
// open failures in plain words.

#include "SerialDevices.h"

#include <windows.h>

namespace XVclCtrl {

std::vector<TSerialDeviceInfo> ListSerialDevices(const TComPortTable& table,
                                                 const std::string& devDir) {
    (void)devDir;
    std::vector<TSerialDeviceInfo> found;
    char target[512];
    for (int n = 1; n <= 256; ++n) {
        std::string name = "COM" + std::to_string(n);
        if (::QueryDosDeviceA(name.c_str(), target, sizeof target) == 0) continue;
        TSerialDeviceInfo info;
        info.Path = "\\\\.\\" + name;
        info.Aliases.push_back(target);
        info.ComNumber = table.ComNumberOf(info.Path);
        found.push_back(std::move(info));
    }
    return found;
}

std::string NoPermissionHint(const std::string& devicePath) {
    (void)devicePath;
    return "no permission";
}

std::string ExplainOpenFailure(const std::string& devicePath, int systemError) {
    switch (systemError) {
    case 0:
        return "";
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND:
        return "the device " + devicePath + " does not exist (is the adapter plugged in?)";
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
        return "the device " + devicePath + " is in use by another program";
    default:
        return devicePath + ": system error " + std::to_string(systemError);
    }
}

} // namespace XVclCtrl
