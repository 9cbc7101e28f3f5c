#pragma once
// Runs a simulated controller on a line in a thread of its own: reads what the PC sends,
// writes the controller's replies, keeps its timing, and queues the transfer reports.

#include "tools/controllersim/TControllerSim.h"
#include "tools/controllersim/TSimLine.h"

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <deque>
#include <mutex>
#include <optional>
#include <thread>

namespace ControllerSim {

class TSimRunner {
public:
    // The line stays owned by the caller and must outlive the runner.
    TSimRunner(TSimLine& line, const TSimOptions& options);
    ~TSimRunner();
    TSimRunner(const TSimRunner&) = delete;
    TSimRunner& operator=(const TSimRunner&) = delete;

    void Start();
    // Ends the thread; safe to call twice.
    void Stop();

    // The next transfer report, waiting up to timeout for it.
    std::optional<TSessionReport> WaitForSession(std::chrono::milliseconds timeout);
    // The next transfer report, waiting without a time-out; nullopt once the run is over:
    // interrupted, a hang-up wanted, or the line ended.
    std::optional<TSessionReport> NextSession();
    // Ends NextSession's wait (any thread, a stop-signal thread among them).
    void Interrupt();
    bool WasInterrupted() const { return Interrupted.load(); }
    // Frames seen so far (any thread).
    unsigned FramesSeen() const;
    // The controller asked to hang up (CloseAfterFrames); the runner has stopped serving the
    // line and its owner should close it.
    bool HangUpWanted() const { return HangUp.load(); }
    // The line failed for good: the runner serves it no more.
    bool LineEnded() const { return Ended.load(); }

private:
    void Run();
    void Announce(std::atomic<bool>& flag);
    static std::int64_t NowMs();

    TSimLine& Line;
    TControllerSim Sim;
    std::thread Thread;
    mutable std::mutex Mutex;
    std::condition_variable Reported;
    std::deque<TSessionReport> Reports;
    unsigned Frames = 0;
    std::atomic<bool> HangUp{false};
    std::atomic<bool> Ended{false};
    std::atomic<bool> Interrupted{false};
};

} // namespace ControllerSim
