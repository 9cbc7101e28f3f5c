#pragma once
// A drive letter's disk and volume on this machine, resolved from its drive table entry.
//   image file             disk: the whole file     volume: an MBR partition inside the file
//   whole-disk device      disk: the device         volume: an MBR partition inside the device
//   partition device       disk: its parent disk    volume: the partition device itself

#include "AbsDiskCause.h"
#include "AbsDiskDriveTable.h"
#include "AbsDiskLinuxSys.h"
#include "AbsDiskPosixIo.h"

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>

namespace XVclUtil {

struct TAbsDiskLinuxTarget {
    bool IsBlockDevice = false;
    std::string DiskPath;   // opened as the whole disk
    std::string VolumePath; // opened and locked as the volume
    dev_t Disk = 0;         // block devices only
    dev_t Volume = 0;
    bool VolumeIsPartitionDevice = false; // volume sectors count from the device's own start
    unsigned Partition = 0;               // MBR slot of a volume inside DiskPath (0: first)
    uint64_t PartitionStart512 = 0;       // partition device: its start on the disk
    uint64_t DiskSize512 = 0;             // partition device: size of its disk
};

// Where the volume lies in the file opened as the volume.
struct TAbsDiskVolumeWindow {
    uint64_t BaseOffset = 0;  // byte offset of the volume's sector 0 in that file
    uint64_t FirstSector = 0; // the volume's first sector on its disk
    uint64_t SectorCount = 0;
};

// Nothing when the path is neither a regular file nor a block device sysfs knows.
std::optional<TAbsDiskLinuxTarget> AbsDiskResolveTarget(const TAbsDiskDriveEntry& entry,
                                                        const TAbsDiskLinuxSys& sys);
std::optional<TAbsDiskLinuxTarget> AbsDiskResolveDrive(int driveNumber,
                                                       const TAbsDiskLinuxSys& sys);

// Every byte of a disk, for physical mode.
inline constexpr TAbsDiskByteRange ABSDISK_WHOLE_DISK{0, UINT64_MAX};

// Whether a mounted file system uses any byte of range, a byte range of the target's disk: a
// mounted partition of that disk (Mounted), or, for an image file or a loop device, a mounted
// loop device over the same backing file whose bytes overlap (LoopOverlap). None otherwise.
TAbsDiskCause AbsDiskRangeInUse(const TAbsDiskLinuxTarget& target, TAbsDiskByteRange range,
                                const TAbsDiskLinuxSys& sys);
// Any byte of the disk is in use.
bool AbsDiskDiskInUse(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys);
// The disk is the one that holds the running system's root file system.
bool AbsDiskHoldsRunningSystem(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys);

// Finds the volume in the file opened as the volume; volumeFd is that file, geometry its own.
// why (when given) says what stood in the way of a volume.
bool AbsDiskFindVolume(const TAbsDiskLinuxTarget& target, int volumeFd,
                       const TAbsDiskGeometry& geometry, TAbsDiskVolumeWindow& window,
                       TAbsDiskCause* why = nullptr);
// The window's bytes on the disk.
TAbsDiskByteRange AbsDiskVolumeRange(const TAbsDiskVolumeWindow& window, uint32_t bytesPerSector);

} // namespace XVclUtil
