#pragma once
// How far a block transfer has come: percent, rate and time left, measured from the first
// block. A transfer that starts over at block 1 (the controller's restart) starts the clock
// again.

#include <chrono>
#include <string>

namespace Cli {

class TProgressMeter {
public:
    using TClock = std::chrono::steady_clock;

    void SetTotal(unsigned total) { Total = total; }
    void SetPosition(unsigned position, TClock::time_point now = TClock::now());

    unsigned TotalBlocks() const { return Total; }
    unsigned Blocks() const { return Position; }
    unsigned Percent() const;
    // "12.3 KiB/s 0:31 left", or "-- KiB/s" while too little time has passed to tell.
    std::string RateAndTimeLeft(TClock::time_point now = TClock::now()) const;

private:
    unsigned Total = 0;
    unsigned Position = 0;
    unsigned StartPosition = 0;
    TClock::time_point Start{};
};

} // namespace Cli
