#include "AbsDiskVxdEmulator.h"

#include "AbsDiskVxdState.h"

#include <cstring>
#include <strings.h>
#include <unistd.h>

namespace XVclUtil {

namespace VxdEmu {

TState& State() {
    static TState* state = new TState; // outlives static destructors of other objects
    return *state;
}

TOpenVolume::~TOpenVolume() {
    if (Fd >= 0) ::close(Fd);
}

bool OpenDriveVolume(TState& state, int driveNumber, TOpenVolume& volume) {
    auto target = AbsDiskResolveDrive(driveNumber, state.Sys);
    if (!target) return false;
    volume.Fd = AbsDiskOpenFile(target->VolumePath, false, false);
    return volume.Fd >= 0 && AbsDiskQueryGeometry(volume.Fd, volume.Geometry) &&
           AbsDiskFindVolume(*target, volume.Fd, volume.Geometry, volume.Window);
}

namespace {

// Device names compare without regard to case, as the platform does; "\\.\" is optional here
// so that the set-up functions accept bare names too.
const char* BareName(const char* name) {
    return std::strncmp(name, "\\\\.\\", 4) == 0 ? name + 4 : name;
}

bool SameDevice(const char* a, const char* b) {
    return ::strcasecmp(BareName(a), BareName(b)) == 0;
}

} // namespace

} // namespace VxdEmu

namespace Vxd {

using namespace VxdEmu;

HANDLE CreateFileA(const char* name, uint32_t flags) {
    (void)flags; // delete-on-close only matters for unloading dynamic drivers
    if (name == nullptr || std::strncmp(name, "\\\\.\\", 4) != 0) return INVALID_HANDLE_VALUE;
    TState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    TDevice device;
    if (SameDevice(name, VWIN32_NAME))
        device = TDevice::Vwin32;
    else if (SameDevice(name, KRV_4IOS_NAME) && state.Krv4IosInstalled)
        device = TDevice::Krv4Ios;
    else if (SameDevice(name, KRV_GVXD_NAME) && state.KrvGVxdInstalled)
        device = TDevice::KrvGVxd;
    else
        return INVALID_HANDLE_VALUE;
    const HANDLE handle = state.NextHandle++;
    state.Handles[handle] = device;
    return handle;
}

bool CloseHandle(HANDLE handle) {
    TState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    auto it = state.Handles.find(handle);
    if (it == state.Handles.end()) return false;
    if (it->second == TDevice::Vwin32) Vwin32Release(state, handle);
    if (it->second == TDevice::Krv4Ios) Krv4IosRelease(state, handle);
    state.Handles.erase(it);
    return true;
}

bool DeviceIoControl(HANDLE handle, uint32_t code, const void* in, uint32_t inSize, void* out,
                     uint32_t outSize, uint32_t* returned) {
    if (returned != nullptr) *returned = 0;
    TState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    auto it = state.Handles.find(handle);
    if (it == state.Handles.end()) return false;
    switch (it->second) {
    case TDevice::Vwin32: {
        // The register block goes in and comes back out.
        if (in == nullptr || out == nullptr || inSize < sizeof(DIOC_REGISTERS) ||
            outSize < sizeof(DIOC_REGISTERS))
            return false;
        DIOC_REGISTERS regs;
        std::memcpy(&regs, in, sizeof regs);
        if (!Vwin32Request(state, handle, code, regs)) return false;
        std::memcpy(out, &regs, sizeof regs);
        if (returned != nullptr) *returned = sizeof regs;
        return true;
    }
    case TDevice::Krv4Ios:
        return Krv4IosRequest(state, handle, code, in, inSize, out, outSize, returned);
    case TDevice::KrvGVxd:
        return false; // the driver answers no request the system makes
    }
    return false;
}

} // namespace Vxd

using namespace VxdEmu;

void TVxdEmulator::SetDriverInstalled(const char* deviceName, bool installed) {
    if (deviceName == nullptr) return;
    TState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    if (SameDevice(deviceName, Vxd::KRV_4IOS_NAME)) state.Krv4IosInstalled = installed;
    if (SameDevice(deviceName, Vxd::KRV_GVXD_NAME)) state.KrvGVxdInstalled = installed;
}

void TVxdEmulator::SetTransferBufferSize(uint32_t bytes) {
    std::lock_guard<std::mutex> guard(State().Lock);
    State().TransferBufferSize = bytes;
}

uint32_t TVxdEmulator::TransferBufferSize() {
    std::lock_guard<std::mutex> guard(State().Lock);
    return State().TransferBufferSize;
}

int TVxdEmulator::LockCount(int driveNumber) {
    std::lock_guard<std::mutex> guard(State().Lock);
    auto it = State().Locks.find(driveNumber);
    return it == State().Locks.end() ? 0 : it->second.Count;
}

unsigned TVxdEmulator::MediaChangeCount(int driveNumber) {
    std::lock_guard<std::mutex> guard(State().Lock);
    auto it = State().MediaChanges.find(driveNumber);
    return it == State().MediaChanges.end() ? 0 : it->second;
}

int TVxdEmulator::OpenHandleCount() {
    std::lock_guard<std::mutex> guard(State().Lock);
    return static_cast<int>(State().Handles.size());
}

int TVxdEmulator::OpenDiskRecordCount() {
    std::lock_guard<std::mutex> guard(State().Lock);
    return static_cast<int>(State().Records.size());
}

void TVxdEmulator::Reset() {
    TState& state = State();
    std::lock_guard<std::mutex> guard(state.Lock);
    for (auto& [drive, lock] : state.Locks) ReleaseLock(lock);
    for (auto& [address, record] : state.Records) FreeRecord(record);
    state.Locks.clear();
    state.Records.clear();
    state.Handles.clear();
    state.MediaChanges.clear();
    state.Krv4IosInstalled = state.KrvGVxdInstalled = true;
    state.TransferBufferSize = DefaultTransferBufferSize;
}

} // namespace XVclUtil
