#include "AbsDiskSystemDrive.h"

#include <cctype>
#include <windows.h>

namespace XVclUtil {

// The drive number is the drive letter as TXAbsDiskIO::DriveNumberOf gives it (1 = A:); the NT
// family's volume lock refuses a volume in use, and the Windows folder's drive is refused here
// before that.
bool AbsDiskDriveHoldsRunningSystem(int driveNumber, std::string& reason) {
    char windows[MAX_PATH];
    const UINT n = ::GetWindowsDirectoryA(windows, sizeof windows);
    if (n < 2 || n >= sizeof windows || windows[1] != ':') return false;
    const int systemDrive = std::toupper(static_cast<unsigned char>(windows[0])) - 'A' + 1;
    if (driveNumber != systemDrive) return false;
    reason = std::string(1, windows[0]) + ": holds the running system";
    return true;
}

bool AbsDiskDrivesNeedMapping() {
    return false;
}

} // namespace XVclUtil
