#pragma once
// Whether a drive holds the running system, so that a raw write to it can be refused before
// the open. Mounted volumes are refused by the open itself.

#include <string>

namespace XVclUtil {

// True when the drive (0 = A:) is on the disk of the running system; reason then says so for
// the refusal. False for an unmapped drive: the open reports that.
bool AbsDiskDriveHoldsRunningSystem(int driveNumber, std::string& reason);

} // namespace XVclUtil
