// The emulated VWIN32 service: the DOS requests of the 9x family, on the drive table's volumes.

#include "AbsDiskVxdState.h"

#include <cstring>
#include <unistd.h>

namespace XVclUtil::VxdEmu {

using namespace Vxd;

namespace {

constexpr uintptr_t kErrorInvalidFunction = 0x01;
constexpr uintptr_t kErrorInvalidDrive = DOS_ERROR_INVALID_DRIVE;
constexpr uintptr_t kErrorAccessDenied = DOS_ERROR_ACCESS_DENIED;
constexpr uintptr_t kErrorSharingViolation = DOS_ERROR_SHARING_VIOLATION;
constexpr uintptr_t kErrorWriteFault = 0x1D;
constexpr uintptr_t kErrorReadFault = 0x1E;

uint32_t Low16(uintptr_t r) {
    return static_cast<uint32_t>(r & 0xFFFF);
}
uint32_t Low32(uintptr_t r) {
    return static_cast<uint32_t>(r & 0xFFFFFFFFu);
}

// DOS reports by the carry flag and an error code in AX.
bool Succeed(DIOC_REGISTERS& regs) {
    regs.reg_Flags &= ~CARRY_FLAG;
    return true;
}
bool Fail(DIOC_REGISTERS& regs, uintptr_t error) {
    regs.reg_Flags |= CARRY_FLAG;
    regs.reg_EAX = error;
    return true; // the request itself was delivered
}

bool DriveMapped(int drive) {
    return TAbsDiskDriveTable::Lookup(drive).has_value();
}

// The first lock takes the volume for real: an exclusive open of a block device, an flock of
// an image file. A drive without a volume (no usable partition) or a volume that a mounted file
// system overlaps cannot be locked; the DOS error code says which (0 on success).
uintptr_t Claim(TState& state, int drive, TDriveLock& lock) {
    auto target = AbsDiskResolveDrive(drive, state.Sys);
    TOpenVolume volume;
    if (!target || !OpenDriveVolume(state, drive, volume)) return kErrorInvalidDrive;
    const auto range = AbsDiskVolumeRange(volume.Window, volume.Geometry.BytesPerSector);
    if (AbsDiskRangeInUse(*target, range, state.Sys) != TAbsDiskCause::None)
        return kErrorSharingViolation;
    const int fd = AbsDiskOpenFile(target->VolumePath, target->IsBlockDevice, false);
    if (fd < 0) return kErrorAccessDenied;
    if (!target->IsBlockDevice && !AbsDiskLockFile(fd)) {
        ::close(fd);
        return kErrorAccessDenied;
    }
    lock.ClaimFd = fd;
    return 0;
}

bool LockVolume(TState& state, HANDLE caller, DIOC_REGISTERS& regs) {
    const int drive = static_cast<int>(regs.reg_EBX & 0xFF);
    const uint32_t level = (regs.reg_EBX >> 8) & 0xFF;
    if (level > 3) return Fail(regs, kErrorInvalidFunction);
    if (!DriveMapped(drive)) return Fail(regs, kErrorInvalidDrive);
    auto it = state.Locks.find(drive);
    if (it != state.Locks.end()) {
        if (it->second.Owner != caller) return Fail(regs, kErrorAccessDenied);
        ++it->second.Count;
        return Succeed(regs);
    }
    TDriveLock lock;
    if (const uintptr_t error = Claim(state, drive, lock); error != 0) return Fail(regs, error);
    lock.Owner = caller;
    lock.Count = 1;
    state.Locks[drive] = lock;
    return Succeed(regs);
}

bool UnlockVolume(TState& state, HANDLE caller, DIOC_REGISTERS& regs) {
    const int drive = static_cast<int>(regs.reg_EBX & 0xFF);
    auto it = state.Locks.find(drive);
    if (it == state.Locks.end() || it->second.Owner != caller)
        return Fail(regs, kErrorAccessDenied);
    if (--it->second.Count == 0) {
        ReleaseLock(it->second);
        state.Locks.erase(it);
    }
    return Succeed(regs);
}

bool DosIoctl(TState& state, HANDLE caller, DIOC_REGISTERS& regs) {
    if (Low16(regs.reg_EAX) != DOS_GENERIC_IOCTL) return Fail(regs, kErrorInvalidFunction);
    switch (Low16(regs.reg_ECX)) {
    case IOCTL_LOCK_LOGICAL_VOLUME:
        return LockVolume(state, caller, regs);
    case IOCTL_UNLOCK_LOGICAL_VOLUME:
        return UnlockVolume(state, caller, regs);
    default:
        return Fail(regs, kErrorInvalidFunction);
    }
}

bool GetExtFreeSpace(TState& state, DIOC_REGISTERS& regs) {
    const auto* root = reinterpret_cast<const char*>(regs.reg_EDX);
    auto* answer = reinterpret_cast<ExtGetDskFreSpcStruc*>(regs.reg_EDI);
    if (root == nullptr || answer == nullptr || Low32(regs.reg_ECX) < sizeof *answer)
        return Fail(regs, kErrorInvalidFunction);
    if (std::strlen(root) != 3 || root[1] != ':' || root[2] != '\\')
        return Fail(regs, kErrorInvalidDrive);
    TOpenVolume volume;
    if (!OpenDriveVolume(state, TAbsDiskDriveTable::DriveNumberOf(root[0]), volume))
        return Fail(regs, kErrorInvalidDrive);
    const uint64_t sectors = volume.Window.SectorCount;
    const uint32_t sectors32 = sectors > 0xFFFFFFFFu ? 0xFFFFFFFFu : uint32_t(sectors);
    std::memset(answer, 0, sizeof *answer);
    answer->ExtFree_Size = sizeof *answer;
    answer->ExtFree_SectorsPerCluster = 1; // raw volumes: one sector per allocation unit
    answer->ExtFree_BytesPerSector = volume.Geometry.BytesPerSector;
    answer->ExtFree_TotalClusters = answer->ExtFree_TotalPhysSectors = sectors32;
    answer->ExtFree_TotalAllocationUnits = sectors32;
    return Succeed(regs);
}

bool SetDpbForFormat(TState& state, DIOC_REGISTERS& regs) {
    const int drive = static_cast<int>(regs.reg_EDX & 0xFF);
    const auto* request = reinterpret_cast<const SDPDFormatStruc*>(regs.reg_EDI);
    if (request == nullptr || Low32(regs.reg_ECX) < sizeof *request ||
        request->SetDPB_Function != SETDPB_FORCE_MEDIA_CHANGE)
        return Fail(regs, kErrorInvalidFunction);
    if (!DriveMapped(drive)) return Fail(regs, kErrorInvalidDrive);
    ++state.MediaChanges[drive];
    return Succeed(regs);
}

bool ExtAbsDiskReadWrite(TState& state, HANDLE caller, DIOC_REGISTERS& regs) {
    const int drive = static_cast<int>(regs.reg_EDX & 0xFF);
    const uint32_t mode = Low16(regs.reg_ESI);
    const auto* packet = reinterpret_cast<const DISKIO*>(regs.reg_EBX);
    if (Low32(regs.reg_ECX) != 0xFFFFFFFFu || packet == nullptr ||
        (mode != EXT_ABS_READ_FILE_DATA && mode != EXT_ABS_WRITE_FILE_DATA))
        return Fail(regs, kErrorInvalidFunction);
    const bool write = mode == EXT_ABS_WRITE_FILE_DATA;
    if (write) { // writing needs the caller's own lock on the volume
        auto it = state.Locks.find(drive);
        if (it == state.Locks.end() || it->second.Owner != caller)
            return Fail(regs, kErrorAccessDenied);
    }
    TOpenVolume volume;
    if (!OpenDriveVolume(state, drive, volume)) return Fail(regs, kErrorInvalidDrive);
    if (uint64_t(packet->dwStartSector) + packet->wSectors > volume.Window.SectorCount)
        return Fail(regs, write ? kErrorWriteFault : kErrorReadFault);
    if (packet->wSectors == 0) return Succeed(regs);
    if (packet->dwBuffer == nullptr) return Fail(regs, kErrorInvalidFunction);
    const uint32_t bps = volume.Geometry.BytesPerSector;
    const uint64_t bytes = uint64_t(packet->wSectors) * bps;
    const uint64_t offset = volume.Window.BaseOffset + uint64_t(packet->dwStartSector) * bps;
    const bool ok = write ? AbsDiskWriteAt(volume.Fd, packet->dwBuffer, bytes, offset)
                          : AbsDiskReadAt(volume.Fd, packet->dwBuffer, bytes, offset);
    if (ok && write) ::fsync(volume.Fd);
    return ok ? Succeed(regs) : Fail(regs, write ? kErrorWriteFault : kErrorReadFault);
}

bool DosDriveInfo(TState& state, HANDLE caller, DIOC_REGISTERS& regs) {
    switch (Low16(regs.reg_EAX)) {
    case DOS_GET_EXT_FREE_SPACE:
        return GetExtFreeSpace(state, regs);
    case DOS_SET_DPB_FOR_FORMAT:
        return SetDpbForFormat(state, regs);
    case DOS_EXT_ABS_DISK_READ_WRITE:
        return ExtAbsDiskReadWrite(state, caller, regs);
    default:
        return Fail(regs, kErrorInvalidFunction);
    }
}

} // namespace

void ReleaseLock(TDriveLock& lock) {
    if (lock.ClaimFd >= 0) ::close(lock.ClaimFd); // ends the claim and the flock with it
    lock.ClaimFd = -1;
    lock.Count = 0;
}

bool Vwin32Request(TState& state, HANDLE caller, uint32_t code, DIOC_REGISTERS& regs) {
    switch (code) {
    case VWIN32_DIOC_DOS_IOCTL:
        return DosIoctl(state, caller, regs);
    case VWIN32_DIOC_DOS_DRIVEINFO:
        return DosDriveInfo(state, caller, regs);
    default:
        return false; // not a VWIN32 service
    }
}

void Vwin32Release(TState& state, HANDLE closing) {
    for (auto it = state.Locks.begin(); it != state.Locks.end();) {
        if (it->second.Owner == closing) {
            ReleaseLock(it->second);
            it = state.Locks.erase(it);
        } else {
            ++it;
        }
    }
}

} // namespace XVclUtil::VxdEmu
