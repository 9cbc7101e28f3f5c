#pragma once
// The response timer Timer1: a repeating 10,000 ms timer. Start enables it and restarts its
// interval; Stop disables it. At each expiry its owner calls the protocol's Timer1Timer.

namespace Link {

inline constexpr int ResponseTimeoutMs = 10'000;

class TResponseTimer {
public:
    virtual ~TResponseTimer() = default;
    virtual void Start() = 0;
    virtual void Stop() = 0;
    virtual bool Enabled() const = 0;
};

} // namespace Link
