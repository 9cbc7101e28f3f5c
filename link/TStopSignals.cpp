#include "link/TStopSignals.h"

#include <atomic>
#include <csignal>
#include <mutex>
#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <fcntl.h>
#include <thread>
#include <unistd.h>
#endif

namespace Link {

namespace {
std::atomic<int> CaughtSignal{0};
} // namespace

// The stop step, shared with the steps handed to the loop: one handed over just before the
// handlers went away finds it cleared and does nothing.
struct TStopSignals::TState {
    XVclUtil::TMainLoop& Loop;
    std::function<void()> OnStop;

    void HandOver(const std::shared_ptr<TState>& self) {
        Loop.Post([self] {
            if (self->OnStop) self->OnStop();
        });
    }
};

int TStopSignals::Caught() {
    return CaughtSignal.load();
}

#ifdef _WIN32

namespace {
std::mutex HandlerMutex;
std::shared_ptr<TStopSignals::TState>* Active = nullptr; // guarded by HandlerMutex

BOOL WINAPI OnConsoleControl(DWORD type) {
    const int signal = type == CTRL_C_EVENT || type == CTRL_BREAK_EVENT ? SIGINT : SIGTERM;
    int none = 0;
    if (!CaughtSignal.compare_exchange_strong(none, signal)) return FALSE; // the second one ends
    std::lock_guard<std::mutex> lock(HandlerMutex);
    if (Active == nullptr) return FALSE;
    (*Active)->HandOver(*Active);
    return TRUE;
}
} // namespace

TStopSignals::TStopSignals(XVclUtil::TMainLoop& loop, std::function<void()> onStop)
    : State(std::make_shared<TState>(TState{loop, std::move(onStop)})) {
    CaughtSignal = 0;
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

#else

namespace {
int WakePipe[2] = {-1, -1};
constexpr char QuitByte = 0; // from the destructor: the waiting thread ends

void OnStopSignal(int signal) {
    const int saved = errno;
    CaughtSignal = signal;
    const char byte = static_cast<char>(signal);
    [[maybe_unused]] const ssize_t n = ::write(WakePipe[1], &byte, 1);
    errno = saved;
}

struct sigaction PrevInt, PrevTerm;
std::thread Waiter;

void Install(int signal, struct sigaction* prev) {
    struct sigaction action {};
    action.sa_handler = OnStopSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESETHAND | SA_RESTART; // the second signal meets the default action
    ::sigaction(signal, &action, prev);
}
} // namespace

TStopSignals::TStopSignals(XVclUtil::TMainLoop& loop, std::function<void()> onStop)
    : State(std::make_shared<TState>(TState{loop, std::move(onStop)})) {
    CaughtSignal = 0;
    if (::pipe2(WakePipe, O_CLOEXEC) != 0) {
        WakePipe[0] = WakePipe[1] = -1;
    } else {
        ::fcntl(WakePipe[1], F_SETFL, O_NONBLOCK); // a handler never blocks on a full pipe
        // The thread sleeps in read until a signal or the destructor writes: no CPU meanwhile.
        Waiter = std::thread([state = State, fd = WakePipe[0]] {
            char byte = QuitByte;
            for (;;) {
                const ssize_t n = ::read(fd, &byte, 1);
                if (n < 0 && errno == EINTR) continue;
                if (n != 1 || byte == QuitByte) return;
                state->HandOver(state);
            }
        });
    }
    Install(SIGINT, &PrevInt);
    Install(SIGTERM, &PrevTerm);
}

TStopSignals::~TStopSignals() {
    ::sigaction(SIGINT, &PrevInt, nullptr);
    ::sigaction(SIGTERM, &PrevTerm, nullptr);
    if (Waiter.joinable()) {
        const char quit = QuitByte;
        while (::write(WakePipe[1], &quit, 1) < 0 && errno == EINTR) {
        }
        Waiter.join();
    }
    for (int& fd : WakePipe) {
        if (fd >= 0) ::close(fd);
        fd = -1;
    }
    State->OnStop = nullptr;
}

#endif

} // namespace Link
