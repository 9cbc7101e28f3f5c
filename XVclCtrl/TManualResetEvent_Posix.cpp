// Manual-reset event on an eventfd: Set adds to the counter, Reset drains it, and the
// descriptor is readable (signalled) while the counter is non-zero.

#include "TManualResetEvent.h"

#include <cstdint>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace XVclCtrl {

TManualResetEvent::TManualResetEvent() {
    NativeHandle = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
}

TManualResetEvent::~TManualResetEvent() {
    if (NativeHandle >= 0) ::close(NativeHandle);
}

bool TManualResetEvent::Valid() const {
    return NativeHandle >= 0;
}

void TManualResetEvent::Set() {
    if (NativeHandle < 0) return;
    uint64_t one = 1;
    [[maybe_unused]] ssize_t r = ::write(NativeHandle, &one, sizeof one);
}

void TManualResetEvent::Reset() {
    if (NativeHandle < 0) return;
    uint64_t count;
    [[maybe_unused]] ssize_t r = ::read(NativeHandle, &count, sizeof count);
}

bool TManualResetEvent::IsSet() const {
    if (NativeHandle < 0) return false;
    pollfd p{NativeHandle, POLLIN, 0};
    return ::poll(&p, 1, 0) > 0 && (p.revents & POLLIN);
}

} // namespace XVclCtrl
