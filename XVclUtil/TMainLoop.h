#pragma once
// What the libraries need from the main thread's loop, behind interfaces with two
// implementations: the window's posts to the Qt event loop (app/ui), everything else (the
// command-line tool, the simulators, the tests) runs the libraries' own TEventLoop.
//
// - TMainThreadDispatcher: a worker thread hands a step to the main thread and waits until it
//   has run there (the serial port's monitor thread delivers its events this way).
// - TTimer: a repeating timer whose handler runs on the main thread.
// - Post: a step for the main thread that nobody waits for.

#include <functional>
#include <memory>

namespace XVclUtil {

class TMainThreadDispatcher {
public:
    virtual ~TMainThreadDispatcher() = default;
    // Worker thread: runs step on the main thread and returns once it has run there.
    virtual void RunAndWait(const std::function<void()>& step) = 0;
    // Main thread: runs now the steps of this dispatcher that wait, so that a main thread
    // waiting for its worker to end cannot deadlock with a worker waiting for a step.
    virtual void RunWaitingSteps() = 0;
};

class TTimer {
public:
    virtual ~TTimer() = default;
    // Enables the timer and restarts its interval; it fires every intervalMs milliseconds.
    virtual void Start(int intervalMs) = 0;
    virtual void Stop() = 0;
    virtual bool Active() const = 0;
};

class TMainLoop {
public:
    virtual ~TMainLoop() = default;
    // Both are made on the main thread.
    virtual std::unique_ptr<TMainThreadDispatcher> NewDispatcher() = 0;
    virtual std::unique_ptr<TTimer> NewTimer(std::function<void()> onTimer) = 0;
    // Any thread: runs step on the main thread later, without waiting for it.
    virtual void Post(std::function<void()> step) = 0;

    // The loop components use: the one installed, else the libraries' own TEventLoop::Main().
    static TMainLoop& Current();
    // Installs a loop (null restores the default). Done once at start-up, before components
    // that use it open ports or start timers.
    static void Install(TMainLoop* loop);
};

} // namespace XVclUtil
