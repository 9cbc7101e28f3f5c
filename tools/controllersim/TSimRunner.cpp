#include "tools/controllersim/TSimRunner.h"

#include <algorithm>

namespace ControllerSim {

TSimRunner::TSimRunner(TSimLine& line, const TSimOptions& options)
    : Line(line), Sim(options, [this](const std::uint8_t* p, std::size_t n) {
          // A line nobody listens to swallows bytes instead of stalling the controller.
          Line.Write(p, n, 0);
      }) {
    Sim.OnSession = [this](const TSessionReport& r) {
        std::lock_guard lock(Mutex);
        Reports.push_back(r);
        Reported.notify_all();
    };
}

TSimRunner::~TSimRunner() {
    Stop();
}

std::int64_t TSimRunner::NowMs() {
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

void TSimRunner::Start() {
    if (Thread.joinable()) return;
    Thread = std::thread([this] { Run(); });
}

void TSimRunner::Stop() {
    if (!Thread.joinable()) return;
    Line.Wake();
    Thread.join();
}

void TSimRunner::Run() {
    std::uint8_t buf[4096];
    for (;;) {
        const std::int64_t now = NowMs();
        Sim.Tick(now);
        const int wait =
            static_cast<int>(std::clamp<std::int64_t>(Sim.NextDeadline() - now, 1, 1000));
        switch (Line.WaitReadable(wait)) {
        case SimLine::TLineWait::Woken:
            return;
        case SimLine::TLineWait::Failed:
            Announce(Ended);
            return;
        case SimLine::TLineWait::HungUp:
            // Nobody on the far end right now: keep the timing, stop polling the line a while.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            break;
        case SimLine::TLineWait::TimedOut:
            break;
        case SimLine::TLineWait::Readable:
            if (const std::size_t n = Line.Read(buf, sizeof buf); n > 0) {
                Sim.Received(buf, n, NowMs());
                {
                    std::lock_guard lock(Mutex);
                    Frames = Sim.FramesSeen();
                }
                if (Sim.WantsLineClosed()) {
                    Announce(HangUp);
                    return;
                }
            }
            break;
        }
    }
}

// Set under the mutex, so that a waiter between its check and its sleep cannot miss it.
void TSimRunner::Announce(std::atomic<bool>& flag) {
    {
        std::lock_guard lock(Mutex);
        flag = true;
    }
    Reported.notify_all();
}

void TSimRunner::Interrupt() {
    Announce(Interrupted);
}

std::optional<TSessionReport> TSimRunner::NextSession() {
    std::unique_lock lock(Mutex);
    Reported.wait(lock, [this] { return !Reports.empty() || Interrupted || HangUp || Ended; });
    if (Reports.empty()) return std::nullopt;
    TSessionReport r = std::move(Reports.front());
    Reports.pop_front();
    return r;
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
