#pragma once
// The 9x platform surface that the 9x family of TXAbsDiskIO talks to: device handles opened by
// name, DeviceIoControl, the VWIN32 register block and disk I/O packet, and the requests and
// disk record of the system's own driver "KRV_4IOS.VxD". On this machine the surface is served
// by an emulation (TVxdEmulator) backed by the drive table's disk images and block devices.
//
// Registers are as wide as a host pointer, so that the addresses the DOS services take (root
// path, answer buffer, I/O packet, transfer buffer) fit into them as they do on the 9x family.

#include <cstdint>

namespace XVclUtil::Vxd {

using HANDLE = std::intptr_t;
inline constexpr HANDLE INVALID_HANDLE_VALUE = -1;
inline constexpr uint32_t FILE_FLAG_DELETE_ON_CLOSE = 0x04000000; // dynamically loaded driver

// Device names, in the platform's "\\.\NAME" form.
inline constexpr const char* VWIN32_NAME = "\\\\.\\VWIN32";
inline constexpr const char* KRV_4IOS_NAME = "\\\\.\\KRV_4IOS.VxD";
inline constexpr const char* KRV_GVXD_NAME = "\\\\.\\KRV_GVxD.VxD";

HANDLE CreateFileA(const char* name, uint32_t flags);
bool CloseHandle(HANDLE handle);
bool DeviceIoControl(HANDLE handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* returned);

// ---- VWIN32 ----------------------------------------------------------------------------------

inline constexpr uint32_t VWIN32_DIOC_DOS_IOCTL = 1;     // int 21h function 44h
inline constexpr uint32_t VWIN32_DIOC_DOS_DRIVEINFO = 6; // int 21h function 73h

struct DIOC_REGISTERS {
    std::uintptr_t reg_EBX = 0;
    std::uintptr_t reg_EDX = 0;
    std::uintptr_t reg_ECX = 0;
    std::uintptr_t reg_EAX = 0;
    std::uintptr_t reg_EDI = 0;
    std::uintptr_t reg_ESI = 0;
    std::uintptr_t reg_Flags = 0;
};
inline constexpr std::uintptr_t CARRY_FLAG = 0x0001;

// EAX = 0x440D generic block device request; ECX = category 08h and minor code.
//   0x084A lock logical volume:   BL drive (1 = A), BH lock level, DX permissions
//   0x086A unlock logical volume: BL drive
inline constexpr uint32_t DOS_GENERIC_IOCTL = 0x440D;
inline constexpr uint32_t IOCTL_LOCK_LOGICAL_VOLUME = 0x084A;
inline constexpr uint32_t IOCTL_UNLOCK_LOGICAL_VOLUME = 0x086A;
inline constexpr uint32_t LOCK_PERMISSION_FORMAT = 0x0004; // DX bit 2: lock for formatting

// EAX = 0x7303 get extended free space: EDX -> root path "X:\", EDI -> answer, ECX its size.
inline constexpr uint32_t DOS_GET_EXT_FREE_SPACE = 0x7303;
struct ExtGetDskFreSpcStruc {
    uint16_t ExtFree_Size;
    uint16_t ExtFree_Level;
    uint32_t ExtFree_SectorsPerCluster;
    uint32_t ExtFree_BytesPerSector;
    uint32_t ExtFree_AvailableClusters;
    uint32_t ExtFree_TotalClusters;
    uint32_t ExtFree_AvailablePhysSectors;
    uint32_t ExtFree_TotalPhysSectors;
    uint32_t ExtFree_AvailableAllocationUnits;
    uint32_t ExtFree_TotalAllocationUnits;
    uint32_t ExtFree_Rsvd[2];
};
static_assert(sizeof(ExtGetDskFreSpcStruc) == 44);

// EAX = 0x7304 set DPB for formatting: EDX drive, EDI -> SDPDFormatStruc, ECX its size.
inline constexpr uint32_t DOS_SET_DPB_FOR_FORMAT = 0x7304;
inline constexpr uint32_t SETDPB_FORCE_MEDIA_CHANGE = 2;
struct SDPDFormatStruc {
    uint32_t SetDPB_Size;
    uint32_t SetDPB_Function;
    uint32_t SetDPB_Value1;
    uint32_t SetDPB_Value2;
    uint32_t SetDPB_Value3;
    uint32_t SetDPB_Value4;
};

// EAX = 0x7305 extended absolute disk read/write: EBX -> DISKIO, ECX = -1, EDX drive (1 = A),
// ESI mode: bit 0 write, 0x6000 normal file data.
inline constexpr uint32_t DOS_EXT_ABS_DISK_READ_WRITE = 0x7305;
inline constexpr uint32_t EXT_ABS_READ_FILE_DATA = 0x6000;
inline constexpr uint32_t EXT_ABS_WRITE_FILE_DATA = 0x6001;
struct DISKIO {
    uint32_t dwStartSector; // first sector of the volume to transfer
    uint16_t wSectors;      // number of sectors
    void* dwBuffer;         // caller's buffer
};

// ---- KRV_4IOS.VxD ----------------------------------------------------------------------------

inline constexpr uint32_t KRV_4IOS_OPEN_DISK = 2;
inline constexpr uint32_t KRV_4IOS_CLOSE_DISK = 3;
inline constexpr uint32_t KRV_4IOS_READ_SECTORS = 5;
inline constexpr uint32_t KRV_4IOS_WRITE_SECTORS = 6;
inline constexpr uint32_t KRV_4IOS_OPEN_FLAGS = 0x8000;

struct KRV_OPEN_IN {
    uint32_t DriveNumber; // 1 = A
    uint32_t Flags;       // KRV_4IOS_OPEN_FLAGS
    uint32_t Reserved;    // 0
};
struct KRV_OPEN_OUT {
    uint32_t Status; // 0: success
    void* DiskRecord;
};
struct KRV_CLOSE_IN {
    void* DiskRecord;
};
struct KRV_TRANSFER_IN {
    void* DiskRecord;
    uint32_t FirstSector; // counted from the start of the disk
    uint32_t Count;
};
struct KRV_STATUS_OUT {
    uint32_t Status; // 0: success
};
// Statuses of "KRV_4IOS.VxD" that the 9x family tells apart.
inline constexpr uint32_t KRV_STATUS_NO_DISK = 1;
inline constexpr uint32_t KRV_STATUS_IN_USE = 6; // a file system on the disk is mounted

// DOS error codes (AX with carry set) of a refused volume lock.
inline constexpr uint32_t DOS_ERROR_ACCESS_DENIED = 0x05;     // another handle holds the lock
inline constexpr uint32_t DOS_ERROR_INVALID_DRIVE = 0x0F;     // no volume on the drive
inline constexpr uint32_t DOS_ERROR_SHARING_VIOLATION = 0x20; // the volume is mounted

// Byte positions of the 32-bit fields the system reads from the driver's disk record.
inline constexpr unsigned KRV_REC_BUFFER_SIZE = 8;
inline constexpr unsigned KRV_REC_BUFFER_ADDRESS = 12;
inline constexpr unsigned KRV_REC_BYTES_PER_SECTOR = 16;
inline constexpr unsigned KRV_REC_FIRST_SECTOR = 20;
inline constexpr unsigned KRV_REC_LAST_SECTOR = 24;
inline constexpr unsigned KRV_REC_CYLINDERS = 28;
inline constexpr unsigned KRV_REC_TRACKS_PER_CYLINDER = 32;
inline constexpr unsigned KRV_REC_SECTORS_PER_TRACK = 36;
inline constexpr unsigned KRV_REC_SIZE = 40;

} // namespace XVclUtil::Vxd
