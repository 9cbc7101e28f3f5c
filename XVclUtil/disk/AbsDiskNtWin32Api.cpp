#include "AbsDiskNtApi.h"

#include <windows.h>

#include <dbt.h>

namespace XVclUtil {

namespace {

HANDLE Native(TAbsDiskHandle handle) {
    return reinterpret_cast<HANDLE>(handle);
}

} // namespace

TAbsDiskHandle TAbsDiskNtWin32Api::Open(const char* name, bool writeThrough) {
    const HANDLE h =
        ::CreateFileA(name, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                      nullptr, OPEN_EXISTING, writeThrough ? FILE_FLAG_WRITE_THROUGH : 0, nullptr);
    return h == INVALID_HANDLE_VALUE ? INVALID_ABSDISK_HANDLE : reinterpret_cast<intptr_t>(h);
}

bool TAbsDiskNtWin32Api::Close(TAbsDiskHandle handle) {
    return ::CloseHandle(Native(handle)) != 0;
}

bool TAbsDiskNtWin32Api::Control(TAbsDiskHandle handle, uint32_t code, void* out, uint32_t outSize,
                                 uint32_t& returned) {
    DWORD got = 0;
    const bool ok =
        ::DeviceIoControl(Native(handle), code, nullptr, 0, out, outSize, &got, nullptr) != 0;
    returned = ok ? got : 0;
    return ok;
}

bool TAbsDiskNtWin32Api::Seek(TAbsDiskHandle handle, uint64_t offset) {
    LARGE_INTEGER want, landed;
    want.QuadPart = static_cast<LONGLONG>(offset);
    return ::SetFilePointerEx(Native(handle), want, &landed, FILE_BEGIN) != 0 &&
           static_cast<uint64_t>(landed.QuadPart) == offset;
}

bool TAbsDiskNtWin32Api::Read(TAbsDiskHandle handle, void* buffer, uint32_t bytes) {
    DWORD done = 0;
    return ::ReadFile(Native(handle), buffer, bytes, &done, nullptr) != 0 && done == bytes;
}

bool TAbsDiskNtWin32Api::Write(TAbsDiskHandle handle, const void* buffer, uint32_t bytes) {
    DWORD done = 0;
    return ::WriteFile(Native(handle), buffer, bytes, &done, nullptr) != 0 && done == bytes;
}

void TAbsDiskNtWin32Api::RescanDrives() {
    (void)::GetLogicalDrives();
}

void TAbsDiskNtWin32Api::Pause(uint32_t ms) {
    ::Sleep(ms);
}

void TAbsDiskNtWin32Api::BroadcastDeviceChange() {
    DWORD recipients = BSM_ALLCOMPONENTS;
    ::BroadcastSystemMessageA(BSF_POSTMESSAGE | BSF_IGNORECURRENTTASK, &recipients, WM_DEVICECHANGE,
                              DBT_DEVNODES_CHANGED, 0);
}

} // namespace XVclUtil
