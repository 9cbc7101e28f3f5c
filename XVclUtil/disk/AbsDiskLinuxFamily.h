#pragma once
// The NT family of TXAbsDiskIO as it runs on this machine: the volume behind a drive letter is a
// partition device or an MBR partition of a whole disk or image file, the disk is the whole
// device or file. Opening claims the volume (exclusive open of a block device, flock of an image
// file) and refuses a mounted one; closing writes everything through, drops the device's cache,
// has the kernel re-read the partition table of a physical disk and tells udev about the change.
// Bytes that a mounted file system uses are refused: in physical mode any mount on the disk, in
// logical mode one that overlaps the volume, also through another loop device over the same
// backing file.

#include "AbsDiskFamily.h"
#include "AbsDiskLinuxSys.h"
#include "AbsDiskLinuxTarget.h"

#include <cstdint>
#include <optional>

namespace XVclUtil {

class TAbsDiskLinuxFamily final : public TAbsDiskFamily {
public:
    explicit TAbsDiskLinuxFamily(TAbsDiskLinuxSys sys = TAbsDiskLinuxSys());

    int OpenPhyDisk(TXAbsDiskIO& disk) override;
    int ClosePhyDisk(TXAbsDiskIO& disk) override;
    int ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) override;
    int WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                     const void* buffer) override;

    int OpenLogDisk(TXAbsDiskIO& disk) override;
    int CloseLogDisk(TXAbsDiskIO& disk) override;
    int ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) override;
    int WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                     const void* buffer) override;

private:
    std::optional<TAbsDiskLinuxTarget> Resolve(TXAbsDiskIO& disk);
    bool Unused(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target, TAbsDiskByteRange range);
    bool OpenAndLockVolume(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target, bool physical);
    bool ReadVolumeGeometry(TXAbsDiskIO& disk, const TAbsDiskLinuxTarget& target);
    int Close(TXAbsDiskIO& disk, bool withPhysicalDisk);

    TAbsDiskLinuxSys Sys;
    bool OnBlockDevice = false; // the open works on block devices (waits and udev matter)
    dev_t ChangedDisk = 0;      // the disk udev hears about when the open is closed
    uint64_t VolumeBase = 0;    // byte offset of the volume's sector 0 in the volume's file
};

} // namespace XVclUtil
