#include "AbsDiskNtFamily.h"

#include "TXAbsDiskIO.h"
#include "XVclUtil/MessageBox.h"
#include "XVclUtil/SystemError.h"

#include <windows.h>

#include <cstdio>
#include <limits>
#include <winioctl.h>

namespace XVclUtil {

namespace {

constexpr uint32_t kSettleShort = 100;
constexpr uint32_t kSettleLong = 3000;
constexpr uint64_t kMax32 = std::numeric_limits<uint32_t>::max();

bool Valid(TAbsDiskHandle h) {
    return h != INVALID_ABSDISK_HANDLE;
}

uint32_t Clamp32(uint64_t value) {
    return value > kMax32 ? static_cast<uint32_t>(kMax32) : static_cast<uint32_t>(value);
}

// Notes cause with the system's error of the request that just failed (GetLastError).
bool NoteSystemFailure(TXAbsDiskIO& disk, TAbsDiskCause cause) {
    return AbsDiskNoteFailure(disk, cause, LastSystemError());
}

} // namespace

TAbsDiskNtFamily::TAbsDiskNtFamily(std::unique_ptr<TAbsDiskNtApi> api) : Api(std::move(api)) {}

bool TAbsDiskNtFamily::OpenAndLockVolume(TXAbsDiskIO& disk) {
    char name[8];
    std::snprintf(name, sizeof name, "\\\\.\\%c:", static_cast<char>('A' + disk.DriveNumber - 1));
    disk.LogDiskHandle = Api->Open(name, false);
    if (!Valid(disk.LogDiskHandle)) return NoteSystemFailure(disk, TAbsDiskCause::CannotOpen);
    uint32_t returned = 0;
    // Refused while any program has a file open on the volume.
    if (!Api->Control(disk.LogDiskHandle, FSCTL_LOCK_VOLUME, nullptr, 0, returned))
        return NoteSystemFailure(disk, TAbsDiskCause::LockHeld);
    ++disk.LockCount;
    return true;
}

// Sector size, CHS geometry and the last sector of the disk that handle stands on.
bool TAbsDiskNtFamily::ReadGeometry(TXAbsDiskIO& disk, TAbsDiskHandle handle) {
    DISK_GEOMETRY_EX g{};
    uint32_t returned = 0;
    if (!Api->Control(handle, IOCTL_DISK_GET_DRIVE_GEOMETRY_EX, &g, sizeof g, returned))
        return NoteSystemFailure(disk, TAbsDiskCause::NoSize);
    if (returned < offsetof(DISK_GEOMETRY_EX, Data))
        return AbsDiskNoteFailure(disk, TAbsDiskCause::NoSize);
    const uint32_t bytesPerSector = g.Geometry.BytesPerSector;
    const uint64_t size = static_cast<uint64_t>(g.DiskSize.QuadPart);
    if (bytesPerSector == 0 || g.DiskSize.QuadPart < 0 || size / bytesPerSector == 0)
        return AbsDiskNoteFailure(disk, TAbsDiskCause::NoSize);
    disk.BytesPerSector = bytesPerSector;
    disk.Cylinders = static_cast<uint32_t>(g.Geometry.Cylinders.QuadPart); // low 32 bits
    disk.TracksPerCylinder = g.Geometry.TracksPerCylinder;
    disk.SectorsPerTrack = g.Geometry.SectorsPerTrack;
    // Sector numbers are 32-bit: on a bigger disk the sectors past 2^32 - 1 are out of reach.
    disk.LastSector = Clamp32(size / bytesPerSector - 1);
    return true;
}

bool TAbsDiskNtFamily::ReadPartition(TXAbsDiskIO& disk) {
    PARTITION_INFORMATION_EX p{};
    uint32_t returned = 0;
    if (!Api->Control(disk.LogDiskHandle, IOCTL_DISK_GET_PARTITION_INFO_EX, &p, sizeof p, returned))
        return NoteSystemFailure(disk, TAbsDiskCause::NoSize);
    if (returned < offsetof(PARTITION_INFORMATION_EX, Mbr) || p.StartingOffset.QuadPart < 0 ||
        p.PartitionLength.QuadPart < 0)
        return AbsDiskNoteFailure(disk, TAbsDiskCause::NoSize);
    const uint64_t first = static_cast<uint64_t>(p.StartingOffset.QuadPart) / disk.BytesPerSector;
    if (first > kMax32) // not expressible in PartitionStartSector
        return AbsDiskNoteFailure(disk, TAbsDiskCause::UnusableEntry);
    disk.PartitionStartSector = static_cast<uint32_t>(first);
    disk.VolumeSectorCount =
        Clamp32(static_cast<uint64_t>(p.PartitionLength.QuadPart) / disk.BytesPerSector);
    return true;
}

int TAbsDiskNtFamily::OpenPhyDisk(TXAbsDiskIO& disk) {
    STORAGE_DEVICE_NUMBER number{};
    uint32_t returned = 0;
    bool ok = OpenAndLockVolume(disk);
    if (ok && (!Api->Control(disk.LogDiskHandle, IOCTL_STORAGE_GET_DEVICE_NUMBER, &number,
                             sizeof number, returned) ||
               returned < sizeof number))
        ok = NoteSystemFailure(disk, TAbsDiskCause::NotADisk); // a volume with no disk number
    if (ok) {
        char name[40];
        std::snprintf(name, sizeof name, "\\\\.\\PHYSICALDRIVE%lu",
                      static_cast<unsigned long>(number.DeviceNumber));
        disk.PhyDiskHandle = Api->Open(name, true);
        ok = Valid(disk.PhyDiskHandle) ? ReadGeometry(disk, disk.PhyDiskHandle)
                                       : NoteSystemFailure(disk, TAbsDiskCause::CannotOpen);
    }
    if (ok) return ABSDISK_OK;
    ClosePhyDisk(disk);
    return ABSDISK_ERR_REQUEST;
}

int TAbsDiskNtFamily::OpenLogDisk(TXAbsDiskIO& disk) {
    Api->Pause(kSettleShort);
    Api->RescanDrives();
    Api->Pause(kSettleShort);
    if (OpenAndLockVolume(disk) && ReadGeometry(disk, disk.LogDiskHandle) && ReadPartition(disk))
        return ABSDISK_OK;
    CloseLogDisk(disk);
    return ABSDISK_ERR_REQUEST;
}

int TAbsDiskNtFamily::Close(TXAbsDiskIO& disk, bool withPhysicalDisk) {
    uint32_t returned = 0;
    if (Valid(disk.LogDiskHandle)) {
        if (!Api->Control(disk.LogDiskHandle, FSCTL_DISMOUNT_VOLUME, nullptr, 0, returned))
            SendDbgString_Printf("\nErr: Can not unmount the logical volume");
        for (; disk.LockCount > 0; --disk.LockCount) {
            if (!Api->Control(disk.LogDiskHandle, FSCTL_UNLOCK_VOLUME, nullptr, 0, returned))
                SendDbgString_Printf("\nErr: Can not unlock the logical volume");
        }
        if (!Api->Close(disk.LogDiskHandle))
            SendDbgString_Printf("\nErr: Can not close the handle of logical device");
        disk.LogDiskHandle = INVALID_ABSDISK_HANDLE;
    }
    disk.LockCount = 0;
    if (withPhysicalDisk && Valid(disk.PhyDiskHandle)) {
        if (!Api->Control(disk.PhyDiskHandle, IOCTL_DISK_UPDATE_PROPERTIES, nullptr, 0, returned))
            SendDbgString_Printf("\nErr: Can not update disk property");
        if (!Api->Close(disk.PhyDiskHandle))
            SendDbgString_Printf("\nErr: Can not close the handle of physical device");
        disk.PhyDiskHandle = INVALID_ABSDISK_HANDLE;
    }
    Api->Pause(kSettleShort);
    Api->RescanDrives();
    Api->Pause(kSettleLong);
    Api->BroadcastDeviceChange();
    return ABSDISK_OK;
}

int TAbsDiskNtFamily::ClosePhyDisk(TXAbsDiskIO& disk) {
    return Close(disk, true);
}
int TAbsDiskNtFamily::CloseLogDisk(TXAbsDiskIO& disk) {
    return Close(disk, false);
}

// One read (in) or write (out) of count sectors at first. Positions are 64-bit, so sectors past
// the first 4 GiB are reached; a transfer too big for one request is refused.
int TAbsDiskNtFamily::Transfer(TXAbsDiskIO& disk, TAbsDiskHandle handle, uint32_t first,
                               uint32_t count, void* in, const void* out) {
    const uint64_t bytes = uint64_t(count) * disk.BytesPerSector;
    if (!Valid(handle) || bytes > kMax32 || (in == nullptr && out == nullptr && count != 0))
        return ABSDISK_ERR_REQUEST;
    if (!Api->Seek(handle, uint64_t(first) * disk.BytesPerSector)) {
        NoteSystemFailure(disk, TAbsDiskCause::IoError);
        return ABSDISK_ERR_REQUEST;
    }
    if (bytes == 0) return ABSDISK_OK;
    const auto n = static_cast<uint32_t>(bytes);
    if (in ? Api->Read(handle, in, n) : Api->Write(handle, out, n)) return ABSDISK_OK;
    NoteSystemFailure(disk, TAbsDiskCause::IoError);
    return ABSDISK_ERR_REQUEST;
}

int TAbsDiskNtFamily::ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.PhyDiskHandle, first, count, buffer, nullptr);
}

int TAbsDiskNtFamily::WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                   const void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.PhyDiskHandle, first, count, nullptr, buffer);
}

int TAbsDiskNtFamily::ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer) {
    if (AbsDiskEndsAfter(disk.VolumeSectorCount, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.LogDiskHandle, first, count, buffer, nullptr);
}

int TAbsDiskNtFamily::WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                   const void* buffer) {
    if (AbsDiskEndsAfter(disk.VolumeSectorCount, first, count)) return ABSDISK_ERR_RANGE;
    return Transfer(disk, disk.LogDiskHandle, first, count, nullptr, buffer);
}

} // namespace XVclUtil
