#pragma once
// What Linux tells about block devices: sysfs names a device's whole disk and a partition's
// start, mountinfo the devices in use, and the loop driver the image files behind loop devices.
// The roots are parameters so that tests can point them at a tree of their own.

#include <cstdint>
#include <optional>
#include <string>
#include <sys/types.h>
#include <vector>

namespace XVclUtil {

struct TAbsDiskBlockInfo {
    dev_t Dev = 0;
    std::string Name; // kernel name, for example "sdb1"
    bool IsPartition = false;
    dev_t WholeDisk = 0; // the disk that holds the device; the device itself for a disk
    std::string WholeDiskName;
    uint64_t Start512 = 0;         // partition: first sector on its disk, 512-byte units
    uint64_t Size512 = 0;          // size of the device, 512-byte units
    uint64_t WholeDiskSize512 = 0; // size of the whole disk, 512-byte units
};

// A byte range of a disk or of a loop device's backing file.
struct TAbsDiskByteRange {
    uint64_t First = 0;
    uint64_t Bytes = 0;
    bool Overlaps(const TAbsDiskByteRange& other) const;
};

// What a loop device shows of its backing file: the file, and where the device starts in it.
struct TAbsDiskLoopInfo {
    std::string BackingFile;
    uint64_t Offset = 0;
};

class TAbsDiskLinuxSys {
public:
    explicit TAbsDiskLinuxSys(std::string sysfsRoot = "/sys",
                              std::string mountInfoPath = "/proc/self/mountinfo",
                              std::string devRoot = "/dev");

    std::optional<TAbsDiskBlockInfo> BlockInfo(dev_t dev) const;
    // The device node of a kernel name ("sdb" -> "/dev/sdb").
    std::string DeviceNode(const std::string& kernelName) const;
    // Every block device that carries a mounted file system.
    std::vector<dev_t> MountedDevices() const;
    // The device itself is mounted.
    bool DeviceMounted(dev_t dev) const;
    // The disk, or any partition on it, is mounted.
    bool DiskInUse(dev_t disk) const;
    // Byte ranges of the disk that mounted file systems use: the disk itself or its partitions.
    std::vector<TAbsDiskByteRange> MountedRangesOfDisk(dev_t disk) const;
    // Loop devices whose backing file is this file (compared by canonical path).
    std::vector<dev_t> LoopDevicesBackedBy(const std::string& file) const;
    // Nothing when the device is no loop device or its backing file is gone.
    std::optional<TAbsDiskLoopInfo> LoopInfo(dev_t loop) const;
    // The whole disk that holds the root file system, when it is a block device.
    std::optional<dev_t> RootDisk() const;
    // Asks udev to look at the device again (a "change" uevent); false when refused.
    bool NotifyChange(dev_t dev) const;

private:
    std::string SysfsRoot;
    std::string MountInfoPath;
    std::string DevRoot;
};

// Splits one line of /proc/self/mountinfo: the "major:minor" field, the mount point and the
// mount source, with the kernel's octal escapes decoded. False for a malformed line.
bool AbsDiskParseMountInfoLine(const std::string& line, std::string& majorMinor,
                               std::string& mountPoint, std::string& source);

} // namespace XVclUtil
