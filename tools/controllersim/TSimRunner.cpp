#include "tools/controllersim/TSimRunner.h"

#include "XVclUtil/EXGeneral.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <unistd.h>

namespace ControllerSim {

TSimRunner::TSimRunner(int lineFd, const TSimOptions& options)
    : LineFd(lineFd), Sim(options, [this](const std::uint8_t* p, std::size_t n) {
          // A line nobody listens to swallows bytes instead of stalling the controller.
          while (n > 0) {
              const ssize_t w = ::write(LineFd, p, n);
              if (w < 0 && errno == EINTR) continue;
              if (w <= 0) return;
              p += w;
              n -= static_cast<std::size_t>(w);
          }
      }) {
    WakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
    if (WakeFd < 0) throw XVclUtil::EXGeneral("Err: eventfd: %s", std::strerror(errno));
    Sim.OnSession = [this](const TSessionReport& r) {
        std::lock_guard lock(Mutex);
        Reports.push_back(r);
        Reported.notify_all();
    };
}

TSimRunner::~TSimRunner() {
    Stop();
    ::close(WakeFd);
}

std::int64_t TSimRunner::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TSimRunner::Start() {
    if (Thread.joinable()) return;
    ::fcntl(LineFd, F_SETFL, ::fcntl(LineFd, F_GETFL) | O_NONBLOCK);
    Thread = std::thread([this] { Run(); });
}

void TSimRunner::Stop() {
    if (!Thread.joinable()) return;
    const std::uint64_t one = 1;
    (void)!::write(WakeFd, &one, sizeof one);
    Thread.join();
}

void TSimRunner::Run() {
    std::uint8_t buf[4096];
    for (;;) {
        const std::int64_t now = NowMs();
        Sim.Tick(now);
        const int wait =
            static_cast<int>(std::clamp<std::int64_t>(Sim.NextDeadline() - now, 1, 1000));
        pollfd fds[2] = {{WakeFd, POLLIN, 0}, {LineFd, POLLIN, 0}};
        const int r = ::poll(fds, 2, wait);
        if (r < 0 && errno != EINTR) return;
        if (fds[0].revents) return;
        if (fds[1].revents & POLLIN) {
            const ssize_t n = ::read(LineFd, buf, sizeof buf);
            if (n > 0) {
                Sim.Received(buf, static_cast<std::size_t>(n), NowMs());
                {
                    std::lock_guard lock(Mutex);
                    Frames = Sim.FramesSeen();
                }
                if (Sim.WantsLineClosed()) {
                    HangUp = true;
                    Reported.notify_all();
                    return;
                }
            }
        } else if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Nobody on the far end right now: keep the timing, stop polling the line a while.
            ::poll(fds, 1, 20);
            if (fds[0].revents) return;
        }
    }
}

std::optional<TSessionReport> TSimRunner::WaitForSession(std::chrono::milliseconds timeout) {
    std::unique_lock lock(Mutex);
    if (!Reported.wait_for(lock, timeout, [this] { return !Reports.empty(); })) return std::nullopt;
    TSessionReport r = std::move(Reports.front());
    Reports.pop_front();
    return r;
}

unsigned TSimRunner::FramesSeen() const {
    std::lock_guard lock(Mutex);
    return Frames;
}

} // namespace ControllerSim
