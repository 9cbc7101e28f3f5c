#pragma once
// Ctrl-C and SIGTERM for the simulator's loop (on Windows Ctrl-C, Ctrl-Break and closing the
// console): onStop runs once, on a thread of its own, and must only wake the loop. Made before
// any other thread starts, so that on POSIX systems only its own thread takes the signals.

#include <functional>
#include <memory>

namespace GatewaySim {

class TStopSignal {
public:
    explicit TStopSignal(std::function<void()> onStop);
    ~TStopSignal();
    TStopSignal(const TStopSignal&) = delete;
    TStopSignal& operator=(const TStopSignal&) = delete;

private:
    struct TImpl;
    std::unique_ptr<TImpl> Impl;
};

} // namespace GatewaySim
