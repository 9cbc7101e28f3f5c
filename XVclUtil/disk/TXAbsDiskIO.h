#pragma once
// Sector access to the physical disk that holds a drive, or to the drive's own volume, under a
// volume lock. A drive is named by its letter ("C", "C:", "C:\"); TAbsDiskDriveTable says which
// block device or disk image file a letter stands for on this machine.
//
// Two platform families: the NT family (IsNtPlatform; on this machine the Linux block device
// and image file layer) and the 9x family (VWIN32 plus the KRV_4IOS.VxD and KRV_GVxD.VxD
// drivers). The family is chosen once, from the platform id, when the object is built.
// Typical use: AbsOpenDisk, any number of AbsReadDisk / AbsWriteDisk, AbsCloseDisk.

#include "AbsDiskCause.h"

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

namespace XVclUtil {

class TAbsDiskFamily;

using TAbsDiskHandle = std::intptr_t;
inline constexpr TAbsDiskHandle INVALID_ABSDISK_HANDLE = -1;

// Result codes of AbsOpenDisk, AbsReadDisk and AbsWriteDisk.
enum : int {
    ABSDISK_OK = 0,
    ABSDISK_ERR_REQUEST = 1, // a platform or driver request failed
    ABSDISK_ERR_DRIVE = 2,   // the drive text is not a drive name
    ABSDISK_ERR_DRIVER = 3,  // 9x: VWIN32 or one of the two drivers cannot be opened
    ABSDISK_ERR_BUFFER = 4,  // 9x physical: the driver's transfer buffer is too small
    ABSDISK_ERR_RANGE = 5,   // the sector range reaches beyond the disk or volume
};

// Platform ids the version query answers.
inline constexpr int ABSDISK_PLATFORM_9X = 1;
inline constexpr int ABSDISK_PLATFORM_NT = 2;

// A short text for a result code, for messages.
const char* AbsDiskResultText(int code);

class TXAbsDiskIO {
public:
    // Fills platformId; false when the platform cannot tell.
    using TPlatformIdQuery = std::function<bool(int& platformId)>;

    // Asks this machine for its platform id.
    TXAbsDiskIO();
    // Asks the given query instead (tests and tools that drive the 9x family).
    explicit TXAbsDiskIO(const TPlatformIdQuery& query);
    ~TXAbsDiskIO();
    TXAbsDiskIO(const TXAbsDiskIO&) = delete;
    TXAbsDiskIO& operator=(const TXAbsDiskIO&) = delete;

    // 1 (A) .. 26 (Z) for a drive text "X", "X:" or "X:\" in either case; 0 for anything else.
    static int DriveNumberOf(const char* drive);

    // drive: "X", "X:" or "X:\" in either case. An object that is still open is closed first.
    int AbsOpenDisk(const char* drive, bool physical);
    int AbsCloseDisk(); // always 0
    // Sectors count from the disk's start in physical mode, from the volume's in logical mode.
    int AbsReadDisk(uint32_t firstSector, uint32_t count, void* buffer);
    int AbsWriteDisk(uint32_t firstSector, uint32_t count, const void* buffer);

    // The most sectors one read or write can move in the current open (9x physical mode: what
    // fits the driver's transfer buffer; otherwise no limit below 2^32 - 1).
    uint32_t MaxTransferSectors() const;
    // What made the last open, read or write fail, as one line; empty after a success.
    std::string FailureText() const { return AbsDiskCauseText(FailureCause, FailureErrno); }

    bool IsNtPlatform = false;
    TAbsDiskHandle PhyDiskHandle = INVALID_ABSDISK_HANDLE;   // NT: the physical disk
    TAbsDiskHandle LogDiskHandle = INVALID_ABSDISK_HANDLE;   // NT: the volume
    TAbsDiskHandle Vwin32Handle = INVALID_ABSDISK_HANDLE;    // 9x: the VWIN32 service
    TAbsDiskHandle IosDriverHandle = INVALID_ABSDISK_HANDLE; // 9x: "KRV_4IOS.VxD"
    TAbsDiskHandle GDriverHandle = INVALID_ABSDISK_HANDLE;   // 9x: "KRV_GVxD.VxD"
    void* DriverDiskRecord = nullptr; // 9x: the disk record handed out by "KRV_4IOS.VxD"
    int LockCount = 0;                // volume locks taken and not yet released
    bool PhysicalMode = false;        // mode of the current or last open
    uint32_t BytesPerSector = 0;
    uint32_t LastSector = 0; // physical mode: number of the disk's last sector
    uint32_t Cylinders = 0;  // low 32 bits
    uint32_t TracksPerCylinder = 0;
    uint32_t SectorsPerTrack = 0;
    int DriveNumber = 0;               // 1 for A ... 26 for Z
    uint32_t PartitionStartSector = 0; // logical mode: the volume's first sector on its disk
    uint32_t VolumeSectorCount = 0;    // logical mode: the volume's size in sectors
    // Why the last open, read or write failed; the families set them where the failure shows.
    TAbsDiskCause FailureCause = TAbsDiskCause::None;
    int FailureErrno = 0;

private:
    int WinNT_OpenPhyDisk();
    int WinNT_ClosePhyDisk();
    int WinNT_ReadPhyDisk(uint32_t first, uint32_t count, void* buffer);
    int WinNT_WritePhyDisk(uint32_t first, uint32_t count, const void* buffer);
    int WinNT_OpenLogDisk();
    int WinNT_CloseLogDisk();
    int WinNT_ReadLogDisk(uint32_t first, uint32_t count, void* buffer);
    int WinNT_WriteLogDisk(uint32_t first, uint32_t count, const void* buffer);

    int Win9x_OpenPhyDisk();
    int Win9x_ClosePhyDisk();
    int Win9x_ReadPhyDisk(uint32_t first, uint32_t count, void* buffer);
    int Win9x_WritePhyDisk(uint32_t first, uint32_t count, const void* buffer);
    int Win9x_OpenLogDisk();
    int Win9x_CloseLogDisk();
    int Win9x_ReadLogDisk(uint32_t first, uint32_t count, void* buffer);
    int Win9x_WriteLogDisk(uint32_t first, uint32_t count, const void* buffer);

    bool IsOpen() const;
    void ClearFailure();

    std::unique_ptr<TAbsDiskFamily> Family; // null when the platform was not recognised
};

} // namespace XVclUtil
