#include "TStopSignals.h"

#include "StopSignalsState.h"

namespace Cli {

std::atomic<int> CaughtStopSignal{0};

int TStopSignals::Caught() {
    return CaughtStopSignal.load();
}

} // namespace Cli
