#pragma once
// SIGINT and SIGTERM (Ctrl-C, Ctrl-Break and closing the console on Windows) during a transfer:
// the signal wakes the main loop itself, which runs the stop step at once, so at most the frame
// being written when the signal came still goes out. A second signal ends the process as it
// would without a transfer.
//
// On POSIX systems the handler writes a byte to a pipe that a waiting thread reads (write is
// safe in a signal handler, and the thread can hand a step to the loop); on Windows the console
// control handler runs on a thread of its own and hands the step over directly.

#include "XVclUtil/TMainLoop.h"

#include <functional>
#include <memory>

namespace Cli {

class TStopSignals {
public:
    // Installs the handlers; onStop runs on the loop's thread once a signal came. One set of
    // handlers exists at a time.
    TStopSignals(XVclUtil::TMainLoop& loop, std::function<void()> onStop);
    // For a caller without a loop: onStop runs on the handlers' own thread (the thread that
    // waits for the signal, or the console's control thread) and must only wake the caller.
    explicit TStopSignals(std::function<void()> onStop);
    ~TStopSignals();
    TStopSignals(const TStopSignals&) = delete;
    TStopSignals& operator=(const TStopSignals&) = delete;

    // SIGINT or SIGTERM once one came, else 0.
    static int Caught();

    struct TState; // the stop step and its loop, shared with the handler's side

private:
    TStopSignals(XVclUtil::TMainLoop* loop, std::function<void()> onStop);

    std::shared_ptr<TState> State;
};

} // namespace Cli
