#include "link/TLoopResponseTimer.h"

namespace Link {

TLoopResponseTimer::TLoopResponseTimer(int intervalMs)
    : IntervalMs(intervalMs), Timer(XVclUtil::TMainLoop::Current().NewTimer([this] {
          if (OnTimer) OnTimer();
      })) {}

} // namespace Link
