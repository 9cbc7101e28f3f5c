// The signals are blocked in every thread and taken by one thread that waits for them with
// sigwait, so the loop is woken by a plain call instead of a handler's flag that it would have
// to poll.
#include "tools/gatewaysim/TStopSignal.h"

#include <atomic>
#include <csignal>
#include <pthread.h>
#include <thread>

namespace GatewaySim {

struct TStopSignal::TImpl {
    sigset_t Signals{}, Before{};
    struct sigaction BeforeInt {
    }, BeforeTerm{};
    std::atomic<bool> Ending{false};
    std::thread Waiter;
};

TStopSignal::TStopSignal(std::function<void()> onStop) : Impl(std::make_unique<TImpl>()) {
    sigemptyset(&Impl->Signals);
    sigaddset(&Impl->Signals, SIGINT);
    sigaddset(&Impl->Signals, SIGTERM);
    pthread_sigmask(SIG_BLOCK, &Impl->Signals, &Impl->Before);
    // An ignored signal is never pending, so sigwait would not see it (a shell starts
    // background programs with SIGINT ignored); blocked, the default action never runs.
    struct sigaction taken {};
    taken.sa_handler = SIG_DFL;
    sigaction(SIGINT, &taken, &Impl->BeforeInt);
    sigaction(SIGTERM, &taken, &Impl->BeforeTerm);
    Impl->Waiter = std::thread([impl = Impl.get(), onStop = std::move(onStop)] {
        int signal = 0;
        while (sigwait(&impl->Signals, &signal) != 0) {
        }
        if (!impl->Ending) onStop();
    });
}

TStopSignal::~TStopSignal() {
    Impl->Ending = true;
    pthread_kill(Impl->Waiter.native_handle(), SIGTERM); // ends the wait if no signal came
    Impl->Waiter.join();
    sigaction(SIGINT, &Impl->BeforeInt, nullptr);
    sigaction(SIGTERM, &Impl->BeforeTerm, nullptr);
    // A second signal that came meanwhile now ends the process as it would without the loop.
    pthread_sigmask(SIG_SETMASK, &Impl->Before, nullptr);
}

} // namespace GatewaySim
