#include "TStopSignals.h"

#include "StopSignalsState.h"

#include <cerrno>
#include <csignal>
#include <fcntl.h>
#include <thread>
#include <unistd.h>

namespace Cli {

namespace {
int WakePipe[2] = {-1, -1};
constexpr char QuitByte = 0; // from the destructor: the waiting thread ends

void OnStopSignal(int signal) {
    const int saved = errno;
    CaughtStopSignal = signal;
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

TStopSignals::TStopSignals(XVclUtil::TMainLoop* loop, std::function<void()> onStop)
    : State(std::make_shared<TState>(TState{loop, std::move(onStop)})) {
    CaughtStopSignal = 0;
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

} // namespace Cli
