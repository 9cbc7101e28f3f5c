// One-shot timer on a timerfd: readable (signalled) from expiry until the expiry count is read.

#include "TWaitableTimer.h"

#include <poll.h>
#include <sys/timerfd.h>
#include <unistd.h>

namespace XVclCtrl {

TWaitableTimer::TWaitableTimer() {
    NativeHandle = ::timerfd_create(CLOCK_MONOTONIC, TFD_NONBLOCK | TFD_CLOEXEC);
}

TWaitableTimer::~TWaitableTimer() {
    if (NativeHandle >= 0) ::close(NativeHandle);
}

bool TWaitableTimer::Valid() const {
    return NativeHandle >= 0;
}

bool TWaitableTimer::SetOnce(uint32_t ms) {
    if (NativeHandle < 0) return false;
    Reset();
    itimerspec spec{};
    spec.it_value.tv_sec = ms / 1000;
    spec.it_value.tv_nsec = static_cast<long>(ms % 1000) * 1000000L;
    if (ms == 0) spec.it_value.tv_nsec = 1; // a zero value would disarm instead of expiring now
    return ::timerfd_settime(NativeHandle, 0, &spec, nullptr) == 0;
}

void TWaitableTimer::Cancel() {
    if (NativeHandle < 0) return;
    itimerspec off{};
    ::timerfd_settime(NativeHandle, 0, &off, nullptr);
    Reset();
}

void TWaitableTimer::Reset() {
    if (NativeHandle < 0) return;
    uint64_t expirations;
    [[maybe_unused]] ssize_t r = ::read(NativeHandle, &expirations, sizeof expirations);
}

bool TWaitableTimer::IsSignalled() const {
    if (NativeHandle < 0) return false;
    pollfd p{NativeHandle, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

} // namespace XVclCtrl
