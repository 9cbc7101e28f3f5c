#pragma once
// Timer1 on a timer of the main loop (XVclUtil::TMainLoop): repeating, 10,000 ms by default,
// disabled at start.

#include "XVclUtil/TMainLoop.h"
#include "link/TResponseTimer.h"

#include <functional>
#include <memory>

namespace Link {

class TLoopResponseTimer final : public TResponseTimer {
public:
    explicit TLoopResponseTimer(int intervalMs = ResponseTimeoutMs);

    void Start() override { Timer->Start(IntervalMs); }
    void Stop() override { Timer->Stop(); }
    bool Enabled() const override { return Timer->Active(); }

    // Called at every expiry (the OnTimer event).
    std::function<void()> OnTimer;

private:
    int IntervalMs;
    std::unique_ptr<XVclUtil::TTimer> Timer;
};

} // namespace Link
