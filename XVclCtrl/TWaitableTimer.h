#pragma once
// A one-shot waitable timer with manual reset: once it has expired it stays signalled until
// Reset. It paces the lines of a text file being sent.

#include "NativeHandle.h"

#include <cstdint>

namespace XVclCtrl {

class TWaitableTimer {
public:
    TWaitableTimer(); // created disarmed and non-signalled; Valid() tells whether creation worked
    ~TWaitableTimer();
    TWaitableTimer(const TWaitableTimer&) = delete;
    TWaitableTimer& operator=(const TWaitableTimer&) = delete;

    bool Valid() const;
    // Arms the timer to expire once, ms milliseconds from now. False when it cannot be set.
    bool SetOnce(uint32_t ms);
    void Cancel();            // disarms and returns to non-signalled
    void Reset();             // returns an expired timer to non-signalled
    bool IsSignalled() const; // zero-time test
    TNativeHandle Handle() const { return NativeHandle; }

private:
    TNativeHandle NativeHandle = InvalidNativeHandle;
};

} // namespace XVclCtrl
