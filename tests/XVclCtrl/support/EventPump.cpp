#include "EventPump.h"

#include "XVclUtil/TEventLoop.h"

namespace TestSupport {

bool PumpUntil(const std::function<bool()>& cond, int timeoutMs) {
    return XVclUtil::TEventLoop::Main().RunUntil(cond, timeoutMs);
}

void PumpFor(int ms) {
    XVclUtil::TEventLoop::Main().RunUntil([] { return false; }, ms);
}

} // namespace TestSupport
