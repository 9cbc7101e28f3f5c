#include "XVclUtil/TEventLoop.h"

#include <algorithm>
#include <atomic>

namespace XVclUtil {

namespace {
std::atomic<TMainLoop*> InstalledLoop{nullptr};
// Waits of RunUntil are cut into slices this long, as its condition may also change through
// other threads' work that does not wake the loop.
constexpr int RunUntilSliceMs = 5;
} // namespace

TMainLoop& TMainLoop::Current() {
    TMainLoop* loop = InstalledLoop.load(std::memory_order_acquire);
    return loop ? *loop : TEventLoop::Main();
}

void TMainLoop::Install(TMainLoop* loop) {
    InstalledLoop.store(loop, std::memory_order_release);
}

// ---- Hand-offs ----

class TEventLoop::TDispatcher final : public TMainThreadDispatcher {
public:
    explicit TDispatcher(TEventLoop& loop) : Loop(loop) {}

    void RunAndWait(const std::function<void()>& step) override {
        // Notified after the mutex is released, so that the woken main thread does not block on
        // it at once: one wake-up per hand-off on each side.
        THandOff handOff{this, &step};
        std::unique_lock<std::mutex> lock(Loop.Mutex);
        Loop.HandOffs.push_back(&handOff);
        lock.unlock();
        Loop.HandedOver.notify_one();
        lock.lock();
        Loop.StepDone.wait(lock, [&] { return handOff.Done; });
    }

    void RunWaitingSteps() override { Loop.RunHandOffs(this); }

private:
    TEventLoop& Loop;
};

void TEventLoop::RunHandOffs(const TDispatcher* only) {
    std::unique_lock<std::mutex> lock(Mutex);
    for (;;) {
        auto it = std::find_if(HandOffs.begin(), HandOffs.end(), [&](const THandOff* h) {
            return only == nullptr || h->Dispatcher == only;
        });
        if (it == HandOffs.end()) return;
        THandOff* handOff = *it;
        HandOffs.erase(it);
        lock.unlock();
        {
            // The worker is released even when the step throws; the exception goes on to the
            // loop's caller.
            struct TRelease {
                TEventLoop& Loop;
                THandOff* HandOff;
                ~TRelease() {
                    {
                        std::lock_guard<std::mutex> relock(Loop.Mutex);
                        HandOff->Done = true;
                    }
                    // HandOff may be gone now; the loop's condition variable is not.
                    Loop.StepDone.notify_all();
                }
            } release{*this, handOff};
            (*handOff->Step)();
        }
        lock.lock();
    }
}

void TEventLoop::Post(std::function<void()> step) {
    std::lock_guard<std::mutex> lock(Mutex);
    Posted.push_back(std::move(step));
    HandedOver.notify_all();
}

void TEventLoop::RunPosted() {
    std::deque<std::function<void()>> steps;
    {
        std::lock_guard<std::mutex> lock(Mutex);
        steps.swap(Posted);
    }
    for (auto& step : steps) step();
}

std::unique_ptr<TMainThreadDispatcher> TEventLoop::NewDispatcher() {
    return std::make_unique<TDispatcher>(*this);
}

// ---- Timers ----

class TEventLoop::TLoopTimer final : public TTimer {
public:
    TLoopTimer(TEventLoop& loop, std::function<void()> onTimer)
        : Loop(loop), OnTimer(std::move(onTimer)) {
        Loop.Timers.push_back(this);
    }
    ~TLoopTimer() override {
        auto& timers = Loop.Timers;
        timers.erase(std::remove(timers.begin(), timers.end(), this), timers.end());
    }

    void Start(int intervalMs) override {
        Interval = std::chrono::milliseconds(std::max(intervalMs, 0));
        Due = TClock::now() + Interval;
        Enabled = true;
    }
    void Stop() override { Enabled = false; }
    bool Active() const override { return Enabled; }

    TEventLoop& Loop;
    std::function<void()> OnTimer;
    bool Enabled = false;
    std::chrono::milliseconds Interval{0};
    TClock::time_point Due;
};

std::unique_ptr<TTimer> TEventLoop::NewTimer(std::function<void()> onTimer) {
    return std::make_unique<TLoopTimer>(*this, std::move(onTimer));
}

TEventLoop::TClock::time_point TEventLoop::NextTimerDue() const {
    TClock::time_point next = TClock::time_point::max();
    for (const TLoopTimer* timer : Timers)
        if (timer->Enabled) next = std::min(next, timer->Due);
    return next;
}

void TEventLoop::RunDueTimers() {
    const TClock::time_point now = TClock::now();
    std::vector<TLoopTimer*> due;
    for (TLoopTimer* timer : Timers)
        if (timer->Enabled && timer->Due <= now) due.push_back(timer);
    for (TLoopTimer* timer : due) {
        // A handler that ran before may have stopped or destroyed this timer.
        if (std::find(Timers.begin(), Timers.end(), timer) == Timers.end()) continue;
        if (!timer->Enabled || timer->Due > now) continue;
        timer->Due += timer->Interval;
        if (timer->Due <= now) timer->Due = now + timer->Interval;
        if (timer->OnTimer) timer->OnTimer();
    }
}

// ---- Running ----

TEventLoop& TEventLoop::Main() {
    static TEventLoop loop;
    return loop;
}

void TEventLoop::ProcessEvents(int maxWaitMs) {
    const TClock::time_point start = TClock::now();
    const TClock::time_point limit =
        std::min(start + std::chrono::milliseconds(std::max(maxWaitMs, 0)), NextTimerDue());
    {
        // Sleeps until a hand-off or a posted step wakes it or the limit passes: no CPU while
        // waiting, however close together the hand-offs come.
        std::unique_lock<std::mutex> lock(Mutex);
        HandedOver.wait_until(lock, limit, [&] { return !HandOffs.empty() || !Posted.empty(); });
    }
    RunHandOffs(nullptr);
    RunPosted();
    RunDueTimers();
}

bool TEventLoop::RunUntil(const std::function<bool()>& cond, int timeoutMs) {
    const TClock::time_point deadline = TClock::now() + std::chrono::milliseconds(timeoutMs);
    while (!cond()) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
        if (left.count() <= 0) return cond();
        ProcessEvents(std::min<int>(static_cast<int>(left.count()), RunUntilSliceMs));
    }
    return true;
}

int TEventLoop::Exec() {
    ExitRequested = false;
    while (!ExitRequested) ProcessEvents(1000);
    return ExitCode;
}

void TEventLoop::Exit(int code) {
    ExitCode = code;
    ExitRequested = true;
}

} // namespace XVclUtil
