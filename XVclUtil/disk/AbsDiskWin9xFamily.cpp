#include "AbsDiskWin9xFamily.h"

#include "AbsDiskVxdApi.h"
#include "TXAbsDiskIO.h"
#include "XVclUtil/MessageBox.h"

#include <cstring>

namespace XVclUtil {

using namespace Vxd;

namespace {

constexpr uint32_t kMaxPacketSectors = 0xFFFF; // DISKIO counts sectors in 16 bits

bool Valid(TAbsDiskHandle h) {
    return h != INVALID_ABSDISK_HANDLE;
}

void CloseAndInvalidate(TAbsDiskHandle& h) {
    if (Valid(h)) CloseHandle(h);
    h = INVALID_ABSDISK_HANDLE;
}

// One DOS request through VWIN32; true when delivered with carry clear. Carry is preset so
// that a request the service does not carry out never reads as success.
bool DosCall(TAbsDiskHandle vwin32, uint32_t service, DIOC_REGISTERS& regs) {
    uint32_t returned = 0;
    regs.reg_Flags = CARRY_FLAG;
    return DeviceIoControl(vwin32, service, &regs, sizeof regs, &regs, sizeof regs, &returned) &&
           (regs.reg_Flags & CARRY_FLAG) == 0;
}

// A refused lock leaves its DOS error code in error.
bool LockVolume(TAbsDiskHandle vwin32, int drive, uint32_t permissions, uintptr_t& error) {
    DIOC_REGISTERS regs;
    regs.reg_EAX = DOS_GENERIC_IOCTL;
    regs.reg_EBX = uint32_t(drive) & 0xFF; // BH: lock level 0
    regs.reg_ECX = IOCTL_LOCK_LOGICAL_VOLUME;
    regs.reg_EDX = permissions;
    if (DosCall(vwin32, VWIN32_DIOC_DOS_IOCTL, regs)) return true;
    error = regs.reg_EAX & 0xFFFF;
    return false;
}

TAbsDiskCause LockRefusal(uintptr_t error) {
    switch (error) {
    case DOS_ERROR_INVALID_DRIVE:
        return TAbsDiskCause::NoVolumeFound;
    case DOS_ERROR_SHARING_VIOLATION:
        return TAbsDiskCause::Mounted;
    default:
        return TAbsDiskCause::LockHeld;
    }
}

TAbsDiskCause DriverRefusal(uint32_t status) {
    switch (status) {
    case KRV_STATUS_IN_USE:
        return TAbsDiskCause::Mounted;
    case KRV_STATUS_NO_DISK:
        return TAbsDiskCause::NotADisk;
    default:
        return TAbsDiskCause::None;
    }
}

bool UnlockVolume(TAbsDiskHandle vwin32, int drive) {
    DIOC_REGISTERS regs;
    regs.reg_EAX = DOS_GENERIC_IOCTL;
    regs.reg_EBX = uint32_t(drive) & 0xFF;
    regs.reg_ECX = IOCTL_UNLOCK_LOGICAL_VOLUME;
    return DosCall(vwin32, VWIN32_DIOC_DOS_IOCTL, regs);
}

bool ForceMediaChange(TAbsDiskHandle vwin32, int drive) {
    SDPDFormatStruc request{sizeof(SDPDFormatStruc), SETDPB_FORCE_MEDIA_CHANGE, 0, 0, 0, 0};
    DIOC_REGISTERS regs;
    regs.reg_EAX = DOS_SET_DPB_FOR_FORMAT;
    regs.reg_EDX = uint32_t(drive) & 0xFF;
    regs.reg_EDI = reinterpret_cast<uintptr_t>(&request);
    regs.reg_ECX = sizeof request;
    return DosCall(vwin32, VWIN32_DIOC_DOS_DRIVEINFO, regs);
}

void GetExtFreeSpace(TAbsDiskHandle vwin32, int drive) {
    char root[4] = {static_cast<char>('A' + drive - 1), ':', '\\', 0};
    ExtGetDskFreSpcStruc answer{};
    DIOC_REGISTERS regs;
    regs.reg_EAX = DOS_GET_EXT_FREE_SPACE;
    regs.reg_EDX = reinterpret_cast<uintptr_t>(root);
    regs.reg_EDI = reinterpret_cast<uintptr_t>(&answer);
    regs.reg_ECX = sizeof answer;
    DosCall(vwin32, VWIN32_DIOC_DOS_DRIVEINFO, regs); // only wakes the drive; result unused
}

bool ExtAbsTransfer(TAbsDiskHandle vwin32, int drive, uint32_t first, uint32_t count, void* buffer,
                    bool write) {
    DISKIO packet{first, static_cast<uint16_t>(count), buffer};
    DIOC_REGISTERS regs;
    regs.reg_EAX = DOS_EXT_ABS_DISK_READ_WRITE;
    regs.reg_EBX = reinterpret_cast<uintptr_t>(&packet);
    regs.reg_ECX = 0xFFFFFFFFu; // -1: the packet form of the request
    regs.reg_EDX = uint32_t(drive) & 0xFF;
    regs.reg_ESI = write ? EXT_ABS_WRITE_FILE_DATA : EXT_ABS_READ_FILE_DATA;
    return DosCall(vwin32, VWIN32_DIOC_DOS_DRIVEINFO, regs);
}

uint32_t RecordField(const void* record, unsigned offset) {
    uint32_t value = 0;
    std::memcpy(&value, static_cast<const uint8_t*>(record) + offset, sizeof value);
    return value;
}

uint8_t* TransferBuffer(const void* record) {
    return reinterpret_cast<uint8_t*>(uintptr_t(RecordField(record, KRV_REC_BUFFER_ADDRESS)));
}

bool DriverRequest(TAbsDiskHandle driver, uint32_t code, const void* in, uint32_t inSize) {
    KRV_STATUS_OUT answer{1};
    uint32_t returned = 0;
    return DeviceIoControl(driver, code, in, inSize, &answer, sizeof answer, &returned) &&
           answer.Status == 0;
}

// Two locks: level 0, then level 0 for formatting.
bool LockTwice(TXAbsDiskIO& disk) {
    for (uint32_t permissions : {0u, LOCK_PERMISSION_FORMAT}) {
        uintptr_t error = 0;
        if (!LockVolume(disk.Vwin32Handle, disk.DriveNumber, permissions, error))
            return AbsDiskNoteFailure(disk, LockRefusal(error));
        ++disk.LockCount;
    }
    return true;
}

void ReleaseVolume(TXAbsDiskIO& disk, const char* unlockText, const char* mediaText) {
    if (!Valid(disk.Vwin32Handle)) {
        disk.LockCount = 0;
        return;
    }
    for (; disk.LockCount > 0; --disk.LockCount)
        if (!UnlockVolume(disk.Vwin32Handle, disk.DriveNumber))
            SendDbgString_Printf("%s", unlockText);
    if (!ForceMediaChange(disk.Vwin32Handle, disk.DriveNumber))
        SendDbgString_Printf("%s", mediaText);
}

bool OpenDevice(TAbsDiskHandle& h, const char* name, uint32_t flags) {
    h = CreateFileA(name, flags);
    return Valid(h);
}

} // namespace

int TAbsDiskWin9xFamily::OpenPhyDisk(TXAbsDiskIO& disk) {
    // The driver handle may still be open from an earlier open; it is reused, not leaked.
    const bool opened =
        OpenDevice(disk.Vwin32Handle, VWIN32_NAME, FILE_FLAG_DELETE_ON_CLOSE) &&
        (Valid(disk.IosDriverHandle) || OpenDevice(disk.IosDriverHandle, KRV_4IOS_NAME, 0)) &&
        OpenDevice(disk.GDriverHandle, KRV_GVXD_NAME, FILE_FLAG_DELETE_ON_CLOSE);
    if (!opened) {
        ClosePhyDisk(disk);
        CloseAndInvalidate(disk.IosDriverHandle);
        return ABSDISK_ERR_DRIVER;
    }
    GetExtFreeSpace(disk.Vwin32Handle, disk.DriveNumber);

    KRV_OPEN_IN in{static_cast<uint32_t>(disk.DriveNumber), KRV_4IOS_OPEN_FLAGS, 0};
    KRV_OPEN_OUT out{1, nullptr};
    uint32_t returned = 0;
    const bool delivered = DeviceIoControl(disk.IosDriverHandle, KRV_4IOS_OPEN_DISK, &in, sizeof in,
                                           &out, sizeof out, &returned);
    if (!delivered || out.Status != 0 || out.DiskRecord == nullptr) {
        if (delivered) AbsDiskNoteFailure(disk, DriverRefusal(out.Status));
        ClosePhyDisk(disk);
        return ABSDISK_ERR_REQUEST;
    }
    disk.DriverDiskRecord = out.DiskRecord;
    const void* rec = disk.DriverDiskRecord;
    disk.BytesPerSector = RecordField(rec, KRV_REC_BYTES_PER_SECTOR);
    disk.LastSector = RecordField(rec, KRV_REC_LAST_SECTOR);
    disk.Cylinders = RecordField(rec, KRV_REC_CYLINDERS);
    disk.TracksPerCylinder = RecordField(rec, KRV_REC_TRACKS_PER_CYLINDER);
    disk.SectorsPerTrack = RecordField(rec, KRV_REC_SECTORS_PER_TRACK);
    disk.PartitionStartSector = RecordField(rec, KRV_REC_FIRST_SECTOR);
    disk.VolumeSectorCount = 0;
    if ((disk.LastSector & 0xF) == 0xF) disk.LastSector += 1;

    if (!LockTwice(disk)) {
        ClosePhyDisk(disk);
        return ABSDISK_ERR_REQUEST;
    }
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::ClosePhyDisk(TXAbsDiskIO& disk) {
    if (disk.DriverDiskRecord != nullptr) {
        KRV_CLOSE_IN in{disk.DriverDiskRecord};
        if (!DriverRequest(disk.IosDriverHandle, KRV_4IOS_CLOSE_DISK, &in, sizeof in))
            SendDbgString_Printf("\r\nXW9xPDsk: Can not close physical disk !!!");
        disk.DriverDiskRecord = nullptr;
    }
    ReleaseVolume(disk, "\r\nXW9xPDsk: Can not unlock Volume !!!",
                  "\r\nXW9xPDsk: Can not perform ForceMediaChanged !!!");
    CloseAndInvalidate(disk.GDriverHandle);
    CloseAndInvalidate(disk.Vwin32Handle);
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::ReadPhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                     void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    if (disk.DriverDiskRecord == nullptr || (buffer == nullptr && count != 0))
        return ABSDISK_ERR_REQUEST;
    const uint64_t bytes = uint64_t(count) * disk.BytesPerSector;
    if (RecordField(disk.DriverDiskRecord, KRV_REC_BUFFER_SIZE) < bytes) return ABSDISK_ERR_BUFFER;
    KRV_TRANSFER_IN in{disk.DriverDiskRecord, first, count};
    if (!DriverRequest(disk.IosDriverHandle, KRV_4IOS_READ_SECTORS, &in, sizeof in))
        return ABSDISK_ERR_REQUEST;
    if (bytes != 0) std::memcpy(buffer, TransferBuffer(disk.DriverDiskRecord), bytes);
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::WritePhyDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                      const void* buffer) {
    if (AbsDiskEndsAfter(disk.LastSector, first, count)) return ABSDISK_ERR_RANGE;
    if (disk.DriverDiskRecord == nullptr || (buffer == nullptr && count != 0))
        return ABSDISK_ERR_REQUEST;
    const uint64_t bytes = uint64_t(count) * disk.BytesPerSector;
    if (RecordField(disk.DriverDiskRecord, KRV_REC_BUFFER_SIZE) < bytes) return ABSDISK_ERR_BUFFER;
    if (bytes != 0) std::memcpy(TransferBuffer(disk.DriverDiskRecord), buffer, bytes);
    KRV_TRANSFER_IN in{disk.DriverDiskRecord, first, count};
    if (!DriverRequest(disk.IosDriverHandle, KRV_4IOS_WRITE_SECTORS, &in, sizeof in))
        return ABSDISK_ERR_REQUEST;
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::OpenLogDisk(TXAbsDiskIO& disk) {
    const int code = OpenPhyDisk(disk);
    if (code != ABSDISK_OK) return code;
    ClosePhyDisk(disk); // the geometry fields stay
    if (!OpenDevice(disk.Vwin32Handle, VWIN32_NAME, FILE_FLAG_DELETE_ON_CLOSE) ||
        !OpenDevice(disk.GDriverHandle, KRV_GVXD_NAME, FILE_FLAG_DELETE_ON_CLOSE)) {
        CloseLogDisk(disk);
        return ABSDISK_ERR_DRIVER;
    }
    if (!LockTwice(disk)) {
        CloseLogDisk(disk);
        return ABSDISK_ERR_REQUEST;
    }
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::CloseLogDisk(TXAbsDiskIO& disk) {
    ReleaseVolume(disk, "\r\nXW9xLDsk: Can not unlock Volume !!!",
                  "\r\nXW9xLDsk: Can not perform ForceMediaChanged !!!");
    CloseAndInvalidate(disk.GDriverHandle);
    CloseAndInvalidate(disk.Vwin32Handle);
    return ABSDISK_OK;
}

// The request is cut into packets of at most 0xFFFF sectors, the most a packet can count.
static int LogTransfer(TXAbsDiskIO& disk, uint32_t first, uint32_t count, void* buffer,
                       bool write) {
    if (!Valid(disk.Vwin32Handle) || (buffer == nullptr && count != 0)) return ABSDISK_ERR_REQUEST;
    auto* p = static_cast<uint8_t*>(buffer);
    uint64_t sector = first;
    uint32_t left = count;
    do {
        const uint32_t n = left < kMaxPacketSectors ? left : kMaxPacketSectors;
        if (sector > 0xFFFFFFFFull) return ABSDISK_ERR_REQUEST;
        if (!ExtAbsTransfer(disk.Vwin32Handle, disk.DriveNumber, uint32_t(sector), n, p, write))
            return ABSDISK_ERR_REQUEST;
        sector += n;
        left -= n;
        if (p != nullptr) p += uint64_t(n) * disk.BytesPerSector;
    } while (left > 0);
    return ABSDISK_OK;
}

int TAbsDiskWin9xFamily::ReadLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                     void* buffer) {
    return LogTransfer(disk, first, count, buffer, false);
}

int TAbsDiskWin9xFamily::WriteLogDisk(TXAbsDiskIO& disk, uint32_t first, uint32_t count,
                                      const void* buffer) {
    return LogTransfer(disk, first, count, const_cast<void*>(buffer), true);
}

uint32_t TAbsDiskWin9xFamily::MaxTransferSectors(const TXAbsDiskIO& disk) const {
    if (!disk.PhysicalMode || disk.DriverDiskRecord == nullptr || disk.BytesPerSector == 0)
        return UINT32_MAX;
    return RecordField(disk.DriverDiskRecord, KRV_REC_BUFFER_SIZE) / disk.BytesPerSector;
}

void TAbsDiskWin9xFamily::Shutdown(TXAbsDiskIO& disk) {
    CloseAndInvalidate(disk.IosDriverHandle);
}

} // namespace XVclUtil
