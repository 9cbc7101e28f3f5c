#include "AbsDiskLinuxTarget.h"

#include "AbsDiskMbr.h"

#include <sys/stat.h>
#include <vector>

namespace XVclUtil {

namespace {

bool AnyOverlaps(const std::vector<TAbsDiskByteRange>& ranges, TAbsDiskByteRange range,
                 uint64_t shift = 0) {
    for (TAbsDiskByteRange r : ranges) {
        if (r.First > UINT64_MAX - shift) continue; // lies beyond any file
        r.First += shift;
        if (r.Overlaps(range)) return true;
    }
    return false;
}

} // namespace

std::optional<TAbsDiskLinuxTarget> AbsDiskResolveTarget(const TAbsDiskDriveEntry& entry,
                                                        const TAbsDiskLinuxSys& sys) {
    struct stat st;
    if (entry.Path.empty() || ::stat(entry.Path.c_str(), &st) != 0) return std::nullopt;
    TAbsDiskLinuxTarget target;
    target.Partition = entry.Partition;
    if (S_ISREG(st.st_mode)) {
        target.DiskPath = target.VolumePath = entry.Path;
        return target;
    }
    if (!S_ISBLK(st.st_mode)) return std::nullopt;
    auto info = sys.BlockInfo(st.st_rdev);
    if (!info) return std::nullopt;
    target.IsBlockDevice = true;
    target.VolumePath = entry.Path;
    target.Volume = st.st_rdev;
    target.Disk = info->WholeDisk;
    if (!info->IsPartition) {
        target.DiskPath = entry.Path;
        return target;
    }
    target.DiskPath = sys.DeviceNode(info->WholeDiskName);
    target.VolumeIsPartitionDevice = true;
    target.PartitionStart512 = info->Start512;
    target.DiskSize512 = info->WholeDiskSize512;
    // The parent node must be the disk sysfs named, not some other file of that name.
    struct stat diskSt;
    if (::stat(target.DiskPath.c_str(), &diskSt) != 0 || !S_ISBLK(diskSt.st_mode) ||
        diskSt.st_rdev != target.Disk)
        return std::nullopt;
    return target;
}

std::optional<TAbsDiskLinuxTarget> AbsDiskResolveDrive(int driveNumber,
                                                       const TAbsDiskLinuxSys& sys) {
    auto entry = TAbsDiskDriveTable::Lookup(driveNumber);
    if (!entry) return std::nullopt;
    return AbsDiskResolveTarget(*entry, sys);
}

TAbsDiskCause AbsDiskRangeInUse(const TAbsDiskLinuxTarget& target, TAbsDiskByteRange range,
                                const TAbsDiskLinuxSys& sys) {
    // Where the disk's bytes lie: in its own backing file (an image file, or the file behind a
    // loop device, from the loop's offset on) or, for any other block device, on itself.
    std::string backing = target.DiskPath;
    uint64_t base = 0;
    if (target.IsBlockDevice) {
        if (AnyOverlaps(sys.MountedRangesOfDisk(target.Disk), range)) return TAbsDiskCause::Mounted;
        auto loop = sys.LoopInfo(target.Disk);
        if (!loop) return TAbsDiskCause::None;
        backing = loop->BackingFile;
        base = loop->Offset;
    }
    if (range.First > UINT64_MAX - base) return TAbsDiskCause::None;
    range.First += base;
    if (range.Bytes > UINT64_MAX - range.First) range.Bytes = UINT64_MAX - range.First;
    for (dev_t other : sys.LoopDevicesBackedBy(backing)) {
        auto info = sys.LoopInfo(other);
        if (info && AnyOverlaps(sys.MountedRangesOfDisk(other), range, info->Offset))
            return TAbsDiskCause::LoopOverlap;
    }
    return TAbsDiskCause::None;
}

bool AbsDiskDiskInUse(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys) {
    return AbsDiskRangeInUse(target, ABSDISK_WHOLE_DISK, sys) != TAbsDiskCause::None;
}

bool AbsDiskHoldsRunningSystem(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys) {
    auto root = sys.RootDisk();
    if (!root) return false;
    if (target.IsBlockDevice) return target.Disk == *root;
    for (dev_t loop : sys.LoopDevicesBackedBy(target.DiskPath))
        if (loop == *root) return true;
    return false;
}

TAbsDiskByteRange AbsDiskVolumeRange(const TAbsDiskVolumeWindow& window, uint32_t bytesPerSector) {
    return {window.FirstSector * bytesPerSector, window.SectorCount * bytesPerSector};
}

bool AbsDiskFindVolume(const TAbsDiskLinuxTarget& target, int volumeFd,
                       const TAbsDiskGeometry& geometry, TAbsDiskVolumeWindow& window,
                       TAbsDiskCause* why) {
    const uint32_t bps = geometry.BytesPerSector;
    if (why != nullptr) *why = TAbsDiskCause::NoSize;
    if (bps == 0) return false;
    if (target.VolumeIsPartitionDevice) {
        window.BaseOffset = 0;
        window.FirstSector = target.PartitionStart512 * 512 / bps;
        window.SectorCount = geometry.Bytes / bps;
        return window.SectorCount > 0;
    }
    const uint64_t diskSectors = geometry.Bytes / bps;
    if (diskSectors == 0) return false;
    std::vector<uint8_t> sector(bps < ABSDISK_MBR_SIZE ? ABSDISK_MBR_SIZE : bps);
    if (why != nullptr) *why = TAbsDiskCause::NoPartitionTable;
    if (geometry.Bytes < sector.size() || !AbsDiskReadAt(volumeFd, sector.data(), sector.size(), 0))
        return false;
    auto entry = AbsDiskSelectVolume(AbsDiskParseMbr(sector.data(), sector.size()),
                                     target.Partition, diskSectors, why);
    if (!entry) return false;
    window.FirstSector = entry->FirstSector;
    window.SectorCount = entry->SectorCount;
    window.BaseOffset = window.FirstSector * bps;
    return true;
}

} // namespace XVclUtil
