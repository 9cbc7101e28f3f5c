#include "TStopSignals.h"

#include "StopSignalsState.h"

namespace Cli {

std::atomic<int> CaughtStopSignal{0};

TStopSignals::TStopSignals(XVclUtil::TMainLoop& loop, std::function<void()> onStop)
    : TStopSignals(&loop, std::move(onStop)) {}

TStopSignals::TStopSignals(std::function<void()> onStop)
    : TStopSignals(nullptr, std::move(onStop)) {}

int TStopSignals::Caught() {
    return CaughtStopSignal.load();
}

} // namespace Cli
