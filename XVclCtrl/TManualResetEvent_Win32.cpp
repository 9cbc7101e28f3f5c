// Manual-reset event on a Win32 event object.

#include "TManualResetEvent.h"

#include <windows.h>

namespace XVclCtrl {

TManualResetEvent::TManualResetEvent() {
    HANDLE h = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    NativeHandle = h ? h : InvalidNativeHandle;
}

TManualResetEvent::~TManualResetEvent() {
    if (Valid()) ::CloseHandle(NativeHandle);
}

bool TManualResetEvent::Valid() const {
    return NativeHandle != InvalidNativeHandle;
}

void TManualResetEvent::Set() {
    if (Valid()) ::SetEvent(NativeHandle);
}

void TManualResetEvent::Reset() {
    if (Valid()) ::ResetEvent(NativeHandle);
}

bool TManualResetEvent::IsSet() const {
    return Valid() && ::WaitForSingleObject(NativeHandle, 0) == WAIT_OBJECT_0;
}

} // namespace XVclCtrl
