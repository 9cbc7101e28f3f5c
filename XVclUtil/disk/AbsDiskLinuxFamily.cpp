#include "AbsDiskLinuxFamily.h"

#include "AbsDiskPosixIo.h"
#include "TXAbsDiskIO.h"
#include "XVclUtil/MessageBox.h"

#include <cerrno>
#include <chrono>
#include <limits>
#include <thread>
#include <unistd.h>

namespace XVclUtil {

namespace {

// Block devices settle asynchronously: the kernel re-reads partitions and udev recreates the
// device nodes after a close, so the same pauses as on the NT family apply there. Image files
// have nothing to settle and skip them.
constexpr auto kSettleShort = std::chrono::milliseconds(100);
constexpr auto kSettleLong = std::chrono::milliseconds(3000);

constexpr uint32_t kMax32 = std::numeric_limits<uint32_t>::max();

bool Valid(TAbsDiskHandle h) {
    return h != INVALID_ABSDISK_HANDLE;
}
int Fd(TAbsDiskHandle h) {
    return static_cast<int>(h);
}

uint32_t Clamp32(uint64_t value) {
    return value > kMax32 ? kMax32 : static_cast<uint32_t>(value);
}

// Sets the geometry fields; false for a disk without a whole sector.
bool ApplyDiskGeometry(TXAbsDiskIO& disk, const TAbsDiskGeometry& g) {
    if (g.BytesPerSector == 0 || g.Bytes / g.BytesPerSector == 0) return false;
    disk.BytesPerSector = g.BytesPerSector;
    disk.Cylinders = static_cast<uint32_t>(g.Cylinders); // low 32 bits
    disk.TracksPerCylinder = g.Heads;
    disk.SectorsPerTrack = g.SectorsPerTrack;
    // Sector numbers are 32-bit: on a bigger disk the sectors past 2^32 - 1 are out of reach.
    disk.LastSector = Clamp32(g.Bytes / g.BytesPerSector - 1);
    return true;
}

int Transfer(TXAbsDiskIO& disk, TAbsDiskHandle h, uint64_t base, uint32_t first, uint32_t count,
             void* buffer, bool write) {
    if (!Valid(h) || (buffer == nullptr && count != 0)) return ABSDISK_ERR_REQUEST;
    const uint64_t bytes = uint64_t(count) * disk.BytesPerSector;
    const uint64_t offset = base + uint64_t(first) * disk.BytesPerSector;
    errno = 0;
    const bool ok = write ? AbsDiskWriteAt(Fd(h), buffer, bytes, offset)
                          : AbsDiskReadAt(Fd(h), buffer, bytes, offset);
    if (ok) return ABSDISK_OK;
    AbsDiskNoteFailure(disk, TAbsDiskCause::IoError, errno);
    return ABSDISK_ERR_REQUEST;
}

// The bytes of the disk an open claims, as far as they are known before anything is read: the
// whole disk in physical mode, a partition device's own bytes. A volume inside a whole disk or
// image file is found only in its partition table, so it is checked once that has been read.
std::optional<TAbsDiskByteRange> ClaimKnownBeforeOpen(const TAbsDiskLinuxTarget& target,
                                                      bool physical, const TAbsDiskLinuxSys& sys) {
    if (physical) return ABSDISK_WHOLE_DISK;
    if (!target.VolumeIsPartitionDevice) return std::nullopt;
    auto info = sys.BlockInfo(target.Volume);
    return TAbsDiskByteRange{target.PartitionStart512 * 512, info ? info->Size512 * 512 : 1};
}

} // namespace

TAbsDiskLinuxFamily::TAbsDiskLinuxFamily(TAbsDiskLinuxSys sys) : Sys(std::move(sys)) {}

// Refuses bytes of the disk that a mounted file system uses.
bool TAbsDiskLinuxFamily::Unused(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target,
                                 TAbsDiskByteRange range) {
    const TAbsDiskCause cause = AbsDiskRangeInUse(target, range, Sys);
    return cause == TAbsDiskCause::None || AbsDiskNoteFailure(disk, cause);
}

// Opens the volume and locks it: a block device is claimed by the exclusive open itself, an
// image file takes an exclusive flock. Mounted bytes are refused before anything is opened, so
// that a mount is not mistaken for another process's lock.
bool TAbsDiskLinuxFamily::OpenAndLockVolume(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target,
                                            bool physical) {
    OnBlockDevice = target.IsBlockDevice;
    ChangedDisk = target.IsBlockDevice ? target.Disk : 0;
    auto claim = ClaimKnownBeforeOpen(target, physical, Sys);
    if (claim && !Unused(disk, target, *claim)) return false;
    const int fd = AbsDiskOpenFile(target.VolumePath, target.IsBlockDevice, false);
    if (fd < 0 && errno == EBUSY) // a mounted partition also keeps its whole disk busy
        return AbsDiskNoteFailure(disk, Sys.MountedRangesOfDisk(target.Disk).empty()
                                            ? TAbsDiskCause::LockHeld
                                            : TAbsDiskCause::Mounted);
    if (fd < 0) return AbsDiskNoteFailure(disk, TAbsDiskCause::CannotOpen, errno);
    disk.LogDiskHandle = fd;
    if (!target.IsBlockDevice && !AbsDiskLockFile(fd))
        return AbsDiskNoteFailure(disk, TAbsDiskCause::LockHeld);
    ++disk.LockCount;
    return true;
}

std::optional<TAbsDiskLinuxTarget> TAbsDiskLinuxFamily::Resolve(TXAbsDiskIO& disk) {
    auto entry = TAbsDiskDriveTable::Lookup(disk.DriveNumber);
    if (!entry) {
        AbsDiskNoteFailure(disk, TAbsDiskCause::NotMapped);
        return std::nullopt;
    }
    auto target = AbsDiskResolveTarget(*entry, Sys);
    if (!target) AbsDiskNoteFailure(disk, TAbsDiskCause::NotADisk);
    return target;
}

int TAbsDiskLinuxFamily::OpenPhyDisk(TXAbsDiskIO& disk) {
    auto target = Resolve(disk);
    TAbsDiskGeometry geometry;
    bool ok = target && OpenAndLockVolume(disk, *target, true);
    if (ok) {
        const int fd = AbsDiskOpenFile(target->DiskPath, false, true);
        if (fd >= 0) disk.PhyDiskHandle = fd;
        ok = fd >= 0 ? AbsDiskQueryGeometry(fd, geometry) && ApplyDiskGeometry(disk, geometry)
                     : AbsDiskNoteFailure(disk, TAbsDiskCause::CannotOpen, errno);
        if (!ok) AbsDiskNoteFailure(disk, TAbsDiskCause::NoSize);
    }
    if (ok) return ABSDISK_OK;
    ClosePhyDisk(disk);
    return ABSDISK_ERR_REQUEST;
}

// Geometry of the disk that holds the volume, and the volume's place on it.
bool TAbsDiskLinuxFamily::ReadVolumeGeometry(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target) {
    TAbsDiskGeometry volume;
    if (!AbsDiskQueryGeometry(Fd(disk.LogDiskHandle), volume))
        return AbsDiskNoteFailure(disk, TAbsDiskCause::NoSize);
    TAbsDiskGeometry whole = volume;
    if (target.VolumeIsPartitionDevice) {
        whole.Bytes = target.DiskSize512 * 512;
        const uint64_t perCylinder = uint64_t(whole.Heads) * whole.SectorsPerTrack;
        if (perCylinder != 0) whole.Cylinders = whole.Bytes / whole.BytesPerSector / perCylinder;
    }
    TAbsDiskVolumeWindow window;
    TAbsDiskCause why = TAbsDiskCause::NoSize;
    if (!ApplyDiskGeometry(disk, whole) ||
        !AbsDiskFindVolume(target, Fd(disk.LogDiskHandle), volume, window, &why))
        return AbsDiskNoteFailure(disk, why);
    if (window.FirstSector > kMax32) // not expressible in PartitionStartSector
        return AbsDiskNoteFailure(disk, TAbsDiskCause::UnusableEntry);
    if (!Unused(disk, target, AbsDiskVolumeRange(window, volume.BytesPerSector))) return false;
    disk.PartitionStartSector = static_cast<uint32_t>(window.FirstSector);
    disk.VolumeSectorCount = Clamp32(window.SectorCount);
    VolumeBase = window.BaseOffset;
    return true;
}

int TAbsDiskLinuxFamily::OpenLogDisk(TXAbsDiskIO& disk) {
    auto target = Resolve(disk);
    if (target && target->IsBlockDevice) {
        // Let device nodes of a just-closed disk come back, then look the drive up again.
        std::this_thread::sleep_for(kSettleShort);
        target = Resolve(disk);
        std::this_thread::sleep_for(kSettleShort);
    }
    if (target && OpenAndLockVolume(disk, *target, false) && ReadVolumeGeometry(disk, *target))
        return ABSDISK_OK;
    CloseLogDisk(disk);
    return ABSDISK_ERR_REQUEST;
}

int TAbsDiskLinuxFamily::Close(TXAbsDiskIO& disk, bool withPhysicalDisk) {
    const bool touchedDevice =
        OnBlockDevice && (Valid(disk.LogDiskHandle) || Valid(disk.PhyDiskHandle));
    if (Valid(disk.LogDiskHandle)) {
        const int fd = Fd(disk.LogDiskHandle);
        // Nothing is mounted on a locked volume; what stands in for the dismount is making
        // the volume's cached blocks agree with the medium.
        if (!AbsDiskFlush(fd, OnBlockDevice))
            SendDbgString_Printf("\nErr: Can not unmount the logical volume");
        for (; disk.LockCount > 0; --disk.LockCount) {
            // A block device's claim ends with its descriptor; an image file's flock is let go.
            if (!OnBlockDevice && !AbsDiskUnlockFile(fd))
                SendDbgString_Printf("\nErr: Can not unlock the logical volume");
        }
        if (::close(fd) != 0)
            SendDbgString_Printf("\nErr: Can not close the handle of logical device");
        disk.LogDiskHandle = INVALID_ABSDISK_HANDLE;
    }
    disk.LockCount = 0;
    if (withPhysicalDisk && Valid(disk.PhyDiskHandle)) {
        const int fd = Fd(disk.PhyDiskHandle);
        if (OnBlockDevice && !(AbsDiskFlush(fd, true) && AbsDiskRereadPartitions(fd)))
            SendDbgString_Printf("\nErr: Can not update disk property");
        if (::close(fd) != 0)
            SendDbgString_Printf("\nErr: Can not close the handle of physical device");
        disk.PhyDiskHandle = INVALID_ABSDISK_HANDLE;
    }
    if (touchedDevice) {
        std::this_thread::sleep_for(kSettleShort);
        Sys.NotifyChange(ChangedDisk); // best effort: udev may be absent or deny it
        std::this_thread::sleep_for(kSettleLong);
    }
    return ABSDISK_OK;
}

int TAbsDiskLinuxFamily::ClosePhyDisk(TXAbsDiskIO& disk) {
    return Close(disk, true);
}
int TAbsDiskLinuxFamily::CloseLogDisk(TXAbsDiskIO& disk) {
    return Close(disk, false);
}

int TAbsDiskLinuxFamily::ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                     void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.PhyDiskHandle, 0, first, count, buffer, false);
}

int TAbsDiskLinuxFamily::WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                      const void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.PhyDiskHandle, 0, first, count, const_cast<void*>(buffer), true);
}

int TAbsDiskLinuxFamily::ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                     void* buffer) {
    if (AbsDiskEndsAfter(disk.VolumeSectorCount, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.LogDiskHandle, VolumeBase, first, count, buffer, false);
}

int TAbsDiskLinuxFamily::WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                      const void* buffer) {
    if (AbsDiskEndsAfter(disk.VolumeSectorCount, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.LogDiskHandle, VolumeBase, first, count, const_cast<void*>(buffer),
                    true);
}

} // namespace XVclUtil
