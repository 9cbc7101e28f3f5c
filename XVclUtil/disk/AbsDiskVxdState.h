#pragma once
// Inside the emulated 9x machine: its handle table, volume locks and driver disk records, and
// the two request handlers. Only the emulator's own sources include this.

#include "AbsDiskLinuxSys.h"
#include "AbsDiskLinuxTarget.h"
#include "AbsDiskVxdApi.h"
#include "AbsDiskVxdEmulator.h"

#include <cstddef>
#include <map>
#include <mutex>

namespace XVclUtil::VxdEmu {

enum class TDevice { Vwin32, Krv4Ios, KrvGVxd };

struct TDriveLock {
    Vxd::HANDLE Owner = Vxd::INVALID_HANDLE_VALUE; // the VWIN32 handle that took the lock
    int Count = 0;
    int ClaimFd = -1; // exclusive claim on the volume's file while locked
};

struct TDiskRecord {
    void* Region = nullptr; // record and transfer buffer, below 4 GiB
    std::size_t RegionSize = 0;
    int Fd = -1; // the whole disk
    int DriveNumber = 0;
    uint32_t BytesPerSector = 0;
    uint64_t DiskSectors = 0;
    Vxd::HANDLE Opener = Vxd::INVALID_HANDLE_VALUE;
};

struct TState {
    std::mutex Lock;
    std::map<Vxd::HANDLE, TDevice> Handles;
    Vxd::HANDLE NextHandle = 0x1000;
    bool Krv4IosInstalled = true;
    bool KrvGVxdInstalled = true;
    uint32_t TransferBufferSize = TVxdEmulator::DefaultTransferBufferSize;
    std::map<int, TDriveLock> Locks;
    std::map<int, unsigned> MediaChanges;
    std::map<void*, TDiskRecord> Records;
    TAbsDiskLinuxSys Sys;
};

TState& State();

// A drive's volume, opened for one request: the file, its geometry and the volume's window.
struct TOpenVolume {
    int Fd = -1;
    TAbsDiskGeometry Geometry;
    TAbsDiskVolumeWindow Window;
    ~TOpenVolume();
};
bool OpenDriveVolume(TState& state, int driveNumber, TOpenVolume& volume);

// The handlers run with State().Lock held.
bool Vwin32Request(TState& state, Vxd::HANDLE caller, uint32_t code, Vxd::DIOC_REGISTERS& regs);
bool Krv4IosRequest(TState& state, Vxd::HANDLE caller, uint32_t code, const void* in,
                    uint32_t inSize, void* out, uint32_t outSize, uint32_t* returned);
// What a closing handle leaves behind: VWIN32 locks are dropped, driver records freed.
void Vwin32Release(TState& state, Vxd::HANDLE closing);
void Krv4IosRelease(TState& state, Vxd::HANDLE closing);
void ReleaseLock(TDriveLock& lock);
void FreeRecord(TDiskRecord& record);

} // namespace XVclUtil::VxdEmu
