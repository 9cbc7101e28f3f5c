#pragma once
// The Win32 calls the NT family of TXAbsDiskIO makes: device opens by name, control requests,
// positioned transfers, the drive rescan, the pauses and the device-change broadcast. The real
// calls live in TAbsDiskNtWin32Api; a platform that lacks some control requests (Wine serves
// volume locks, but no disk geometry or partition requests on image files) can be completed
// by a subclass that answers them itself.

#include "TXAbsDiskIO.h"

#include <cstdint>

namespace XVclUtil {

class TAbsDiskNtApi {
public:
    virtual ~TAbsDiskNtApi() = default;

    // Opens a "\\.\" device for reading and writing, shared for both, existing only.
    virtual TAbsDiskHandle Open(const char* name, bool writeThrough) = 0;
    virtual bool Close(TAbsDiskHandle handle) = 0;
    // DeviceIoControl without input; returned is the size of the answer written to out.
    virtual bool Control(TAbsDiskHandle handle, uint32_t code, void* out, uint32_t outSize,
                         uint32_t& returned) = 0;
    // Sets the file position; false unless it landed at offset.
    virtual bool Seek(TAbsDiskHandle handle, uint64_t offset) = 0;
    // One ReadFile / WriteFile; false unless all bytes moved.
    virtual bool Read(TAbsDiskHandle handle, void* buffer, uint32_t bytes) = 0;
    virtual bool Write(TAbsDiskHandle handle, const void* buffer, uint32_t bytes) = 0;
    // Lets the platform rescan its drives (asks for the logical drive set).
    virtual void RescanDrives() = 0;
    virtual void Pause(uint32_t ms) = 0;
    // WM_DEVICECHANGE with DBT_DEVNODES_CHANGED to all components.
    virtual void BroadcastDeviceChange() = 0;
};

class TAbsDiskNtWin32Api : public TAbsDiskNtApi {
public:
    TAbsDiskHandle Open(const char* name, bool writeThrough) override;
    bool Close(TAbsDiskHandle handle) override;
    bool Control(TAbsDiskHandle handle, uint32_t code, void* out, uint32_t outSize,
                 uint32_t& returned) override;
    bool Seek(TAbsDiskHandle handle, uint64_t offset) override;
    bool Read(TAbsDiskHandle handle, void* buffer, uint32_t bytes) override;
    bool Write(TAbsDiskHandle handle, const void* buffer, uint32_t bytes) override;
    void RescanDrives() override;
    void Pause(uint32_t ms) override;
    void BroadcastDeviceChange() override;
};

} // namespace XVclUtil
