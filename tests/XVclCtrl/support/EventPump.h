#pragma once
// Event pumping for the serial tests: the serial component hands its events to the main
// thread's loop (the libraries' own XVclUtil::TEventLoop), so tests run that loop until what
// they wait for holds.

#include <functional>

namespace TestSupport {

// Runs the event loop until cond() holds or timeoutMs passes; returns cond().
bool PumpUntil(const std::function<bool()>& cond, int timeoutMs = 5000);
// Runs the event loop for ms milliseconds.
void PumpFor(int ms);

} // namespace TestSupport

#include <chrono>

namespace TestSupport {

// Milliseconds since construction or the last Restart.
class TStopwatch {
public:
    void Restart() { Start = std::chrono::steady_clock::now(); }
    long long ElapsedMs() const {
        return std::chrono::duration_cast<std::chrono::milliseconds>(
                   std::chrono::steady_clock::now() - Start)
            .count();
    }

private:
    std::chrono::steady_clock::time_point Start = std::chrono::steady_clock::now();
};

} // namespace TestSupport
