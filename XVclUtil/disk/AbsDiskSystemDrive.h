#pragma once
// Whether a drive holds the running system, so that a raw write to it can be refused before
// the open. Mounted volumes are refused by the open itself.

#include <string>

namespace XVclUtil {

// True when the drive (1 = A:, as TXAbsDiskIO::DriveNumberOf gives it) is on the disk of the
// running system; reason then says so for the refusal. False for an unmapped drive: the open
// reports that.
bool AbsDiskDriveHoldsRunningSystem(int driveNumber, std::string& reason);

// Whether a drive letter stands for nothing until it is mapped to a device or image
// (TAbsDiskDriveTable): true on POSIX systems; false on Windows, whose drive letters are the
// system's own and where mappings are ignored.
bool AbsDiskDrivesNeedMapping();

} // namespace XVclUtil
