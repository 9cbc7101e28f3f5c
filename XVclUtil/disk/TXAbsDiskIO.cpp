#include "TXAbsDiskIO.h"

#include "AbsDiskFamily.h"
#include "AbsDiskLinuxFamily.h"
#include "AbsDiskWin9xFamily.h"
#include "XVclUtil/MessageBox.h"

#include <cstring>
#include <sys/utsname.h>

namespace XVclUtil {

namespace {

// This machine runs the NT-family implementation (volumes and disks as devices and files).
bool QueryThisPlatform(int& platformId) {
    utsname name;
    if (::uname(&name) != 0) return false;
    platformId = ABSDISK_PLATFORM_NT;
    return true;
}

char AsciiUpper(char c) {
    return (c >= 'a' && c <= 'z') ? static_cast<char>(c - 'a' + 'A') : c;
}

} // namespace

const char* AbsDiskResultText(int code) {
    switch (code) {
    case ABSDISK_OK:
        return "success";
    case ABSDISK_ERR_REQUEST:
        return "a platform or driver request failed";
    case ABSDISK_ERR_DRIVE:
        return "the drive text is not a drive name";
    case ABSDISK_ERR_DRIVER:
        return "the VWIN32 service or one of the two drivers cannot be opened";
    case ABSDISK_ERR_BUFFER:
        return "the driver's transfer buffer is smaller than the request";
    case ABSDISK_ERR_RANGE:
        return "the sector range reaches beyond the disk or volume";
    default:
        return "unknown result";
    }
}

int TXAbsDiskIO::DriveNumberOf(const char* drive) {
    if (drive == nullptr) return 0;
    const std::size_t length = std::strlen(drive);
    if (length == 0 || length > 3) return 0;
    const char letter = AsciiUpper(drive[0]);
    if (letter < 'A' || letter > 'Z') return 0;
    if (length >= 2 && drive[1] != ':') return 0;
    if (length == 3 && drive[2] != '\\') return 0;
    return letter - 64;
}

TXAbsDiskIO::TXAbsDiskIO() : TXAbsDiskIO(QueryThisPlatform) {}

TXAbsDiskIO::TXAbsDiskIO(const TPlatformIdQuery& query) {
    int platformId = 0;
    const bool answered = query && query(platformId);
    if (answered && platformId == ABSDISK_PLATFORM_NT) {
        IsNtPlatform = true;
        Family = std::make_unique<TAbsDiskLinuxFamily>();
    } else if (answered && platformId == ABSDISK_PLATFORM_9X) {
        Family = std::make_unique<TAbsDiskWin9xFamily>();
    } else {
        // No family: every open fails with 1; the handles stay invalid rather than zero, so
        // nothing can ever act on descriptor 0.
        ShowErrMsgBox_Printf("TXAbsDiskIO", "Err: Can not get the PlatformID of Windows !!!");
    }
}

TXAbsDiskIO::~TXAbsDiskIO() {
    AbsCloseDisk();
    if (Family) Family->Shutdown(*this);
}

bool TXAbsDiskIO::IsOpen() const {
    return PhyDiskHandle != INVALID_ABSDISK_HANDLE || LogDiskHandle != INVALID_ABSDISK_HANDLE ||
           Vwin32Handle != INVALID_ABSDISK_HANDLE || GDriverHandle != INVALID_ABSDISK_HANDLE ||
           DriverDiskRecord != nullptr || LockCount > 0;
}

int TXAbsDiskIO::AbsOpenDisk(const char* drive, bool physical) {
    ClearFailure();
    const int number = DriveNumberOf(drive);
    if (number == 0) return ABSDISK_ERR_DRIVE;
    // A second open would orphan the first one's handles and keep its volume locked.
    if (IsOpen()) AbsCloseDisk();
    DriveNumber = number;
    PhysicalMode = physical;
    if (IsNtPlatform) return physical ? WinNT_OpenPhyDisk() : WinNT_OpenLogDisk();
    return physical ? Win9x_OpenPhyDisk() : Win9x_OpenLogDisk();
}

int TXAbsDiskIO::AbsCloseDisk() {
    if (IsNtPlatform) return PhysicalMode ? WinNT_ClosePhyDisk() : WinNT_CloseLogDisk();
    return PhysicalMode ? Win9x_ClosePhyDisk() : Win9x_CloseLogDisk();
}

int TXAbsDiskIO::AbsReadDisk(uint32_t firstSector, uint32_t count, void* buffer) {
    ClearFailure();
    if (IsNtPlatform)
        return PhysicalMode ? WinNT_ReadPhyDisk(firstSector, count, buffer)
                            : WinNT_ReadLogDisk(firstSector, count, buffer);
    return PhysicalMode ? Win9x_ReadPhyDisk(firstSector, count, buffer)
                        : Win9x_ReadLogDisk(firstSector, count, buffer);
}

int TXAbsDiskIO::AbsWriteDisk(uint32_t firstSector, uint32_t count, const void* buffer) {
    ClearFailure();
    if (IsNtPlatform)
        return PhysicalMode ? WinNT_WritePhyDisk(firstSector, count, buffer)
                            : WinNT_WriteLogDisk(firstSector, count, buffer);
    return PhysicalMode ? Win9x_WritePhyDisk(firstSector, count, buffer)
                        : Win9x_WriteLogDisk(firstSector, count, buffer);
}

uint32_t TXAbsDiskIO::MaxTransferSectors() const {
    return Family ? Family->MaxTransferSectors(*this) : UINT32_MAX;
}

bool AbsDiskNoteFailure(TXAbsDiskIO& disk, TAbsDiskCause cause, int errorNumber) {
    if (disk.FailureCause == TAbsDiskCause::None) {
        disk.FailureCause = cause;
        disk.FailureErrno = errorNumber;
    }
    return false;
}

void TXAbsDiskIO::ClearFailure() {
    FailureCause = TAbsDiskCause::None;
    FailureErrno = 0;
}

// The sixteen family members hand over to the family chosen at construction.

int TXAbsDiskIO::WinNT_OpenPhyDisk() {
    return Family ? Family->OpenPhyDisk(*this) : 1;
}
int TXAbsDiskIO::WinNT_ClosePhyDisk() {
    return Family ? Family->ClosePhyDisk(*this) : 0;
}
int TXAbsDiskIO::WinNT_ReadPhyDisk(uint32_t first, uint32_t count, void* buffer) {
    return Family ? Family->ReadPhyDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::WinNT_WritePhyDisk(uint32_t first, uint32_t count, const void* buffer) {
    return Family ? Family->WritePhyDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::WinNT_OpenLogDisk() {
    return Family ? Family->OpenLogDisk(*this) : 1;
}
int TXAbsDiskIO::WinNT_CloseLogDisk() {
    return Family ? Family->CloseLogDisk(*this) : 0;
}
int TXAbsDiskIO::WinNT_ReadLogDisk(uint32_t first, uint32_t count, void* buffer) {
    return Family ? Family->ReadLogDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::WinNT_WriteLogDisk(uint32_t first, uint32_t count, const void* buffer) {
    return Family ? Family->WriteLogDisk(*this, first, count, buffer) : 1;
}

int TXAbsDiskIO::Win9x_OpenPhyDisk() {
    return Family ? Family->OpenPhyDisk(*this) : 1;
}
int TXAbsDiskIO::Win9x_ClosePhyDisk() {
    return Family ? Family->ClosePhyDisk(*this) : 0;
}
int TXAbsDiskIO::Win9x_ReadPhyDisk(uint32_t first, uint32_t count, void* buffer) {
    return Family ? Family->ReadPhyDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::Win9x_WritePhyDisk(uint32_t first, uint32_t count, const void* buffer) {
    return Family ? Family->WritePhyDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::Win9x_OpenLogDisk() {
    return Family ? Family->OpenLogDisk(*this) : 1;
}
int TXAbsDiskIO::Win9x_CloseLogDisk() {
    return Family ? Family->CloseLogDisk(*this) : 0;
}
int TXAbsDiskIO::Win9x_ReadLogDisk(uint32_t first, uint32_t count, void* buffer) {
    return Family ? Family->ReadLogDisk(*this, first, count, buffer) : 1;
}
int TXAbsDiskIO::Win9x_WriteLogDisk(uint32_t first, uint32_t count, const void* buffer) {
    return Family ? Family->WriteLogDisk(*this, first, count, buffer) : 1;
}

} // namespace XVclUtil
