#pragma once
// Drive letters of the raw disk layer. Here a drive letter names a block device or a disk image
// file through one process-wide table that the application fills before it opens a drive.

#include <optional>
#include <string>

namespace XVclUtil {

struct TAbsDiskDriveEntry {
    std::string Path;       // block device or disk image file
    unsigned Partition = 0; // MBR slot 1..4 that is the volume of a whole disk; 0: first usable
};

class TAbsDiskDriveTable {
public:
    // Letter A..Z in either case; partition 0..4. False (and no change) on anything else.
    static bool Map(char letter, const std::string& path, unsigned partition = 0);
    static void Unmap(char letter);
    static void Clear();
    // Drive number 1 (A) .. 26 (Z); nothing when the number is out of range or not mapped.
    static std::optional<TAbsDiskDriveEntry> Lookup(int driveNumber);
    // 1..26 for a letter in either case, 0 for anything else.
    static int DriveNumberOf(char letter);
};

} // namespace XVclUtil
