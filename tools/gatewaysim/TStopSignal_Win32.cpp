// The console control handler runs on a thread the system starts for it, so it can wake the
// loop directly.
#include "tools/gatewaysim/TStopSignal.h"

#include <mutex>
#include <windows.h>

namespace GatewaySim {

namespace {

std::mutex Guard;
std::function<void()> OnStop;
bool Fired = false;

BOOL WINAPI OnConsoleControl(DWORD type) {
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT && type != CTRL_CLOSE_EVENT) return FALSE;
    std::lock_guard lock(Guard);
    if (OnStop && !Fired) {
        Fired = true;
        OnStop();
    }
    return TRUE;
}

} // namespace

struct TStopSignal::TImpl {};

TStopSignal::TStopSignal(std::function<void()> onStop) : Impl(std::make_unique<TImpl>()) {
    {
        std::lock_guard lock(Guard);
        OnStop = std::move(onStop);
        Fired = false;
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

TStopSignal::~TStopSignal() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    std::lock_guard lock(Guard);
    OnStop = nullptr;
}

} // namespace GatewaySim
