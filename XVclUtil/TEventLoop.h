#pragma once
// The libraries' own main-thread loop: runs the steps that worker threads hand over and the
// timers that are due, and sleeps in between until a hand-off wakes it or the next timer is due.
// The thread that calls ProcessEvents, RunUntil or Exec is the main thread.

#include "XVclUtil/TMainLoop.h"

#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <vector>

namespace XVclUtil {

class TEventLoop final : public TMainLoop {
public:
    using TClock = std::chrono::steady_clock;

    TEventLoop() = default;
    TEventLoop(const TEventLoop&) = delete;
    TEventLoop& operator=(const TEventLoop&) = delete;

    // The process's loop, the default of TMainLoop::Current().
    static TEventLoop& Main();

    std::unique_ptr<TMainThreadDispatcher> NewDispatcher() override;
    std::unique_ptr<TTimer> NewTimer(std::function<void()> onTimer) override;
    void Post(std::function<void()> step) override;

    // Waits up to maxWaitMs for a hand-off or a due timer and runs whatever is ready then.
    void ProcessEvents(int maxWaitMs);
    // Runs the loop until cond() holds or timeoutMs passes; returns cond().
    bool RunUntil(const std::function<bool()>& cond, int timeoutMs);
    // Runs the loop until Exit; returns the code given to it.
    int Exec();
    // Makes Exec return code once the step or timer handler that calls it has returned.
    void Exit(int code);

private:
    class TDispatcher;
    class TLoopTimer;
    struct THandOff {
        const TDispatcher* Dispatcher;
        const std::function<void()>* Step;
        bool Done = false;
    };

    void RunHandOffs(const TDispatcher* only);
    void RunPosted();
    void RunDueTimers();
    TClock::time_point NextTimerDue() const;

    std::mutex Mutex;
    std::condition_variable HandedOver; // wakes the loop
    std::condition_variable StepDone;   // wakes the worker threads
    std::deque<THandOff*> HandOffs;
    std::deque<std::function<void()>> Posted;
    // Main thread only.
    std::vector<TLoopTimer*> Timers;
    bool ExitRequested = false;
    int ExitCode = 0;
};

} // namespace XVclUtil
