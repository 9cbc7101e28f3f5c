#pragma once
// What the stop-signal handlers of both platforms share with TStopSignals.

#include "TStopSignals.h"

#include <atomic>
#include <functional>
#include <memory>

namespace Cli {

// SIGINT or SIGTERM once one came during a transfer, else 0.
extern std::atomic<int> CaughtStopSignal;

// The stop step, shared with the steps handed to the loop: one handed over just before the
// handlers went away finds it cleared and does nothing.
struct TStopSignals::TState {
    XVclUtil::TMainLoop* Loop; // none: the step runs where the signal is taken
    std::function<void()> OnStop;

    void HandOver(const std::shared_ptr<TState>& self) {
        if (Loop == nullptr) {
            if (OnStop) OnStop();
            return;
        }
        Loop->Post([self] {
            if (self->OnStop) self->OnStop();
        });
    }
};

} // namespace Cli
