#include "AbsDiskLinuxTarget.h"

#include "AbsDiskMbr.h"

#include <sys/stat.h>
#include <vector>

namespace XVclUtil {

namespace {

bool AnyInUse(const std::vector<dev_t>& disks, const TAbsDiskLinuxSys& sys) {
    for (dev_t disk : disks)
        if (sys.DiskInUse(disk)) return true;
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

bool AbsDiskVolumeMounted(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys) {
    if (!target.IsBlockDevice) return AnyInUse(sys.LoopDevicesBackedBy(target.DiskPath), sys);
    if (target.VolumeIsPartitionDevice) return sys.DeviceMounted(target.Volume);
    return sys.DiskInUse(target.Disk);
}

bool AbsDiskDiskInUse(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys) {
    if (!target.IsBlockDevice) return AnyInUse(sys.LoopDevicesBackedBy(target.DiskPath), sys);
    return sys.DiskInUse(target.Disk);
}

bool AbsDiskHoldsRunningSystem(const TAbsDiskLinuxTarget& target, const TAbsDiskLinuxSys& sys) {
    auto root = sys.RootDisk();
    if (!root) return false;
    if (target.IsBlockDevice) return target.Disk == *root;
    for (dev_t loop : sys.LoopDevicesBackedBy(target.DiskPath))
        if (loop == *root) return true;
    return false;
}

bool AbsDiskFindVolume(const TAbsDiskLinuxTarget& target, int volumeFd,
                       const TAbsDiskGeometry& geometry, TAbsDiskVolumeWindow& window) {
    const uint32_t bps = geometry.BytesPerSector;
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
    if (geometry.Bytes < sector.size() || !AbsDiskReadAt(volumeFd, sector.data(), sector.size(), 0))
        return false;
    auto entry = AbsDiskSelectVolume(AbsDiskParseMbr(sector.data(), sector.size()),
                                     target.Partition, diskSectors);
    if (!entry) return false;
    window.FirstSector = entry->FirstSector;
    window.SectorCount = entry->SectorCount;
    window.BaseOffset = window.FirstSector * bps;
    return true;
}

} // namespace XVclUtil
