#include "AbsDiskSystemDrive.h"

#include "AbsDiskDriveTable.h"
#include "AbsDiskLinuxSys.h"
#include "AbsDiskLinuxTarget.h"

namespace XVclUtil {

bool AbsDiskDriveHoldsRunningSystem(int driveNumber, std::string& reason) {
    auto entry = TAbsDiskDriveTable::Lookup(driveNumber);
    if (!entry) return false;
    TAbsDiskLinuxSys sys;
    auto target = AbsDiskResolveTarget(*entry, sys);
    if (!target || !AbsDiskHoldsRunningSystem(*target, sys)) return false;
    reason = entry->Path + " is on the disk that holds the running system";
    return true;
}

bool AbsDiskDrivesNeedMapping() {
    return true;
}

} // namespace XVclUtil
