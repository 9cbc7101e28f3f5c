#pragma once
// A manual-reset event: stays signalled from Set until Reset. The monitor thread waits on it
// together with the port, so it exposes the platform object a multi-object wait takes.

#include "NativeHandle.h"

namespace XVclCtrl {

class TManualResetEvent {
public:
    TManualResetEvent(); // created non-signalled; Valid() tells whether creation worked
    ~TManualResetEvent();
    TManualResetEvent(const TManualResetEvent&) = delete;
    TManualResetEvent& operator=(const TManualResetEvent&) = delete;

    bool Valid() const;
    void Set();
    void Reset();
    bool IsSet() const; // zero-time test
    TNativeHandle Handle() const { return NativeHandle; }

private:
    TNativeHandle NativeHandle = InvalidNativeHandle;
};

} // namespace XVclCtrl
