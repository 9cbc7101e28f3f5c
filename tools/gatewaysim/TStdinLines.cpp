#include "tools/gatewaysim/TStdinLines.h"

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

#ifdef _WIN32
#include <windows.h>
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace GatewaySim {

namespace {

// One read of standard input with the system's own call (no C library stream, whose lock a
// blocked reader would hold while the process exits): the bytes read, 0 at the end.
std::size_t ReadStdin(char* buffer, std::size_t size) {
#ifdef _WIN32
    DWORD got = 0;
    if (!::ReadFile(::GetStdHandle(STD_INPUT_HANDLE), buffer, static_cast<DWORD>(size), &got,
                    nullptr))
        return 0;
    return got;
#else
    for (;;) {
        const ssize_t n = ::read(STDIN_FILENO, buffer, size);
        if (n >= 0) return static_cast<std::size_t>(n);
        if (errno != EINTR) return 0;
    }
#endif
}

} // namespace

struct TStdinLines::TShared {
    std::mutex Mutex;
    std::condition_variable Changed;
    std::string Pending; // read, not yet cut into lines
    bool Ended = false;
    bool EndTold = false; // a Wait has returned since the end
    bool Interrupted = false;
};

TStdinLines::TStdinLines() : Shared(std::make_shared<TShared>()) {}

void TStdinLines::Start() {
    // The thread keeps the shared state alive for as long as it may still touch it.
    std::thread([shared = Shared] {
        char buf[256];
        for (;;) {
            const std::size_t n = ReadStdin(buf, sizeof buf);
            std::lock_guard lock(shared->Mutex);
            if (n == 0)
                shared->Ended = true;
            else
                shared->Pending.append(buf, n);
            shared->Changed.notify_all();
            if (n == 0) return;
        }
    }).detach();
}

std::vector<std::string> TStdinLines::Wait(TClock::time_point until) {
    std::unique_lock lock(Shared->Mutex);
    std::string& pending = Shared->Pending;
    const auto ready = [&] {
        return pending.find('\n') != std::string::npos || (Shared->Ended && !Shared->EndTold) ||
               Shared->Interrupted;
    };
    if (until == TClock::time_point::max())
        Shared->Changed.wait(lock, ready);
    else
        Shared->Changed.wait_until(lock, until, ready);
    Shared->EndTold = Shared->Ended;
    std::vector<std::string> lines;
    for (std::size_t eol; (eol = pending.find('\n')) != std::string::npos;) {
        std::string line = pending.substr(0, eol);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(std::move(line));
        pending.erase(0, eol + 1);
    }
    return lines;
}

void TStdinLines::Interrupt() {
    {
        std::lock_guard lock(Shared->Mutex);
        Shared->Interrupted = true;
    }
    Shared->Changed.notify_all();
}

} // namespace GatewaySim
