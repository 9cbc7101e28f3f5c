#pragma once
// The lines typed on standard input, collected by a reader thread of their own so that the
// main loop can wait for them with a time-out on every platform (a console or a pipe on
// Windows is not something poll() or WaitForMultipleObjects treat alike).

#include <chrono>
#include <memory>
#include <string>
#include <vector>

namespace GatewaySim {

class TStdinLines {
public:
    using TClock = std::chrono::steady_clock;

    TStdinLines();
    // The reader thread is left blocked in its read; it ends with the process.
    ~TStdinLines() = default;
    TStdinLines(const TStdinLines&) = delete;
    TStdinLines& operator=(const TStdinLines&) = delete;

    // Starts the reader thread.
    void Start();
    // Waits until complete lines are there, standard input has just ended, Interrupt was called
    // or until has come (TClock::time_point::max(): no time limit), and takes the lines,
    // without their line ends.
    std::vector<std::string> Wait(TClock::time_point until);
    // Every Wait from now on returns at once (any thread).
    void Interrupt();

private:
    struct TShared;
    std::shared_ptr<TShared> Shared;
};

} // namespace GatewaySim
