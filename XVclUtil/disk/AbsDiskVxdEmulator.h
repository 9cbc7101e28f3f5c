#pragma once
// The emulated 9x machine behind AbsDiskVxdApi.h: the VWIN32 service with the DOS requests the
// 9x family uses (volume lock and unlock, extended free space, forced media change, extended
// absolute disk read and write) and the "KRV_4IOS.VxD" driver (open disk, close disk, read and
// write sectors through its transfer buffer). "KRV_GVxD.VxD" can only be opened and closed.
// Drives are the letters of TAbsDiskDriveTable; volume locks are real exclusive claims on the
// image file or block device, so the 9x family and the NT family exclude each other.
//
// The functions below set the machine up and let tests look inside it.

#include <cstdint>

namespace XVclUtil {

class TVxdEmulator {
public:
    // Installs or removes one of the two drivers (by its "\\.\NAME" or bare name); both are
    // installed at start. VWIN32 is part of the platform and always there.
    static void SetDriverInstalled(const char* deviceName, bool installed);
    // Size of the transfer buffer that "KRV_4IOS.VxD" hands out with each disk record.
    static void SetTransferBufferSize(uint32_t bytes);
    static uint32_t TransferBufferSize();

    // Volume locks held on a drive (1 = A), by whichever VWIN32 handle holds them.
    static int LockCount(int driveNumber);
    // Forced media changes asked for on a drive.
    static unsigned MediaChangeCount(int driveNumber);
    static int OpenHandleCount();
    static int OpenDiskRecordCount();

    // Back to the state at start: both drivers, default buffer, no handles, locks or records.
    static void Reset();

    static constexpr uint32_t DefaultTransferBufferSize = 64 * 1024;
};

} // namespace XVclUtil
