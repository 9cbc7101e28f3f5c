// One-shot manual-reset waitable timer on a Win32 timer object. Setting a timer returns it to
// the non-signalled state, which is how Reset works.

#include "TWaitableTimer.h"

#include <windows.h>

namespace XVclCtrl {

namespace {

// Absolute due time ms milliseconds from now, in 100-nanosecond units of UTC.
LARGE_INTEGER DueIn(uint32_t ms) {
    FILETIME now;
    ::GetSystemTimeAsFileTime(&now);
    ULARGE_INTEGER t;
    t.LowPart = now.dwLowDateTime;
    t.HighPart = now.dwHighDateTime;
    LARGE_INTEGER due;
    due.QuadPart = static_cast<LONGLONG>(t.QuadPart + static_cast<ULONGLONG>(ms) * 10000);
    return due;
}

} // namespace

TWaitableTimer::TWaitableTimer() {
    HANDLE h = ::CreateWaitableTimerA(nullptr, TRUE, nullptr);
    NativeHandle = h ? h : InvalidNativeHandle;
}

TWaitableTimer::~TWaitableTimer() {
    if (Valid()) {
        ::CancelWaitableTimer(NativeHandle);
        ::CloseHandle(NativeHandle);
    }
}

bool TWaitableTimer::Valid() const {
    return NativeHandle != InvalidNativeHandle;
}

bool TWaitableTimer::SetOnce(uint32_t ms) {
    if (!Valid()) return false;
    LARGE_INTEGER due = DueIn(ms);
    return ::SetWaitableTimer(NativeHandle, &due, 0, nullptr, nullptr, FALSE) != 0;
}

void TWaitableTimer::Cancel() {
    if (!Valid()) return;
    ::CancelWaitableTimer(NativeHandle);
    Reset();
}

void TWaitableTimer::Reset() {
    if (!Valid()) return;
    LARGE_INTEGER later = DueIn(24u * 3600u * 1000u);
    ::SetWaitableTimer(NativeHandle, &later, 0, nullptr, nullptr, FALSE);
    ::CancelWaitableTimer(NativeHandle);
}

bool TWaitableTimer::IsSignalled() const {
    return Valid() && ::WaitForSingleObject(NativeHandle, 0) == WAIT_OBJECT_0;
}

} // namespace XVclCtrl
