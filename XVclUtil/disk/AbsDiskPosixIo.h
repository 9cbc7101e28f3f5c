#pragma once
// File-level work of the raw disk layer on POSIX: opening a disk or volume (exclusive where
// asked), the advisory whole-file lock of image files, the device's geometry, and positional
// transfers that run until every byte has moved. Offsets are 64-bit throughout.

#include <cstddef>
#include <cstdint>
#include <string>

namespace XVclUtil {

struct TAbsDiskGeometry {
    bool IsBlockDevice = false;
    uint32_t BytesPerSector = 0; // image files: 512
    uint64_t Bytes = 0;          // size of the device or file
    uint64_t Cylinders = 0;      // 0 where the device reports no geometry
    uint32_t Heads = 0;
    uint32_t SectorsPerTrack = 0;
};

// Opens for reading and writing, close-on-exec. exclusive: O_EXCL, which on a block device
// claims it (refused while mounted or claimed by another opener). writeThrough: O_DSYNC.
// -1 on failure.
int AbsDiskOpenFile(const std::string& path, bool exclusive, bool writeThrough);
// Non-blocking exclusive flock of the whole file; false when another holder has it.
bool AbsDiskLockFile(int fd);
bool AbsDiskUnlockFile(int fd);
bool AbsDiskIsBlockDevice(const std::string& path);

// Block devices: logical sector size, size, and heads / sectors per track where the driver
// reports them (cylinders are derived from the size; the driver's own count is 16 bits).
// Regular files: 512-byte sectors and the file size, no CHS geometry.
bool AbsDiskQueryGeometry(int fd, TAbsDiskGeometry& geometry);

bool AbsDiskReadAt(int fd, void* buffer, uint64_t bytes, uint64_t offset);
bool AbsDiskWriteAt(int fd, const void* buffer, uint64_t bytes, uint64_t offset);

// Writes cached data through and, for block devices, drops the device's buffer cache so that
// whoever opens the volume next reads what is on the medium.
bool AbsDiskFlush(int fd, bool blockDevice);
// Asks the kernel to read the disk's partition table again (BLKRRPART).
bool AbsDiskRereadPartitions(int fd);

} // namespace XVclUtil
