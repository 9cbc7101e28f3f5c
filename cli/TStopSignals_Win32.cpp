#include "TStopSignals.h"

#include "StopSignalsState.h"

#include <csignal>
#include <mutex>
#include <windows.h>

namespace Cli {

namespace {
std::mutex HandlerMutex;
std::shared_ptr<TStopSignals::TState>* Active = nullptr; // guarded by HandlerMutex

BOOL WINAPI OnConsoleControl(DWORD type) {
    const int signal = type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    if (!CaughtStopSignal.compare_exchange_strong(none, signal))
        return FALSE; // the second one ends
    std::lock_guard<std::mutex> lock(HandlerMutex);
    if (Active == nullptr) return FALSE;
    (*Active)->HandOver(*Active);
    return TRUE;
}
} // namespace

TStopSignals::TStopSignals(XVclUtil::TMainLoop* loop, std::function<void()> onStop)
    : State(std::make_shared<TState>(TState{loop, std::move(onStop)})) {
    CaughtStopSignal = 0;
    {
        std::lock_guard<std::mutex> lock(HandlerMutex);
        Active = &State;
    }
    ::SetConsoleCtrlHandler(OnConsoleControl, TRUE);
}

TStopSignals::~TStopSignals() {
    ::SetConsoleCtrlHandler(OnConsoleControl, FALSE);
    {
        std::lock_guard<std::mutex> lock(HandlerMutex);
        Active = nullptr;
    }
    State->OnStop = nullptr;
}

} // namespace Cli
