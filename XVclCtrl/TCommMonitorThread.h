#pragma once
// The port monitor thread of a serial port component: waits on the port for line events, reads
// received bytes as they arrive, applies the component's receive filter, paces the lines of a
// text file, and hands every event to the component's thread, blocking until it has run there.
// Open creates and starts one per opening of the port; Close ends and destroys it.

#include "TManualResetEvent.h"
#include "TWaitableTimer.h"
#include "XVclUtil/TMainLoop.h"

#include <atomic>
#include <condition_variable>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

namespace XVclCtrl {

class TCustomUart;
class TSerialPort;
enum class TPortResult;

class TCommMonitorThread {
public:
    // Buffers belong to the component and hold buffSize + 8 bytes each; the filter collects at
    // most buffSize bytes. Made on the main thread, whose loop runs the hand-offs.
    TCommMonitorThread(TCustomUart* component, std::shared_ptr<TSerialPort> port,
                       uint8_t* rxdDatasBuff, uint8_t* filteredRxdBuff, uint8_t* rawRxdBuff,
                       uint32_t buffSize, XVclUtil::TMainLoop& mainLoop);
    // Ends the thread first if it still runs (after Terminate, it does promptly).
    ~TCommMonitorThread();
    TCommMonitorThread(const TCommMonitorThread&) = delete;
    TCommMonitorThread& operator=(const TCommMonitorThread&) = delete;

    // Starts the thread body (main thread); false when the thread cannot be created.
    bool Start();
    // Marks the thread terminated and wakes it (main thread).
    void Terminate();
    bool Terminated() const { return TerminateMark.load(); }
    // Waits up to ms milliseconds for the thread to end; true once it has. What the thread did
    // is then visible to the caller.
    bool WaitEnded(unsigned long ms);
    bool Ended() const;
    // Main thread: runs the steps the thread waits to hand over (see WaitEnded).
    void RunWaitingHandOffs() { Dispatcher->RunWaitingSteps(); }
    // The monitor thread whose body calls this; null on any other thread.
    static TCommMonitorThread* Current();

    // Keeps the thread away from the text-file steps while the component sends the first line.
    void Suspend() { TxtFileGate.lock(); }
    void Resume() { TxtFileGate.unlock(); }

    // The line timer of text-file sending; the component arms it and sets the flag.
    TWaitableTimer& LineTimer() { return WaitableTimer; }
    std::atomic<uint8_t> LineTimerFlag{0};

    // Bytes waiting in the filter's collection buffer.
    int CollectedCount() const { return FCollectedCount.load(); }
    // Text of the exception that ended the thread body; empty while none did.
    std::string FatalExceptionText() const;

private:
    void Run();
    void Execute();
    void StartCommEventWait();
    void QueryCommEventWait();
    void ServeCommEventWait(TPortResult result);
    void QueryRead();
    void ServeLineTimer();
    void HandleCommEvent();
    void StartRead(uint32_t waiting);
    void ReadCompletion();
    void WaitRecovery();
    void ReadRecovery();
    void ApplyRxdFilter(uint32_t bytes);
    void Deliver();
    void HandOff(const std::function<void()>& step);

    TManualResetEvent hEventForTerminateThread;
    TWaitableTimer WaitableTimer;
    uint32_t EventMask = 0;
    uint32_t LineErrors = 0;
    uint8_t WaitNeeded = 1, WaitPending = 0, ReadPending = 0;
    uint32_t BytesTransferred = 0;
    TCustomUart* Component;
    std::shared_ptr<TSerialPort> Port;
    uint8_t* RxdDatasBuff;
    uint8_t* FilteredRxdBuff;
    std::atomic<int> FCollectedCount{0};
    uint8_t* RawRxdBuff;
    uint32_t BuffSize;
    XVclUtil::TMainLoop& MainLoop;
    std::unique_ptr<XVclUtil::TMainThreadDispatcher> Dispatcher;
    std::shared_ptr<const bool> ComponentAlive;
    std::mutex TxtFileGate;
    std::atomic<bool> TerminateMark{false};
    // Set under EndMutex, last thing of the thread body; guards FatalText too.
    mutable std::mutex EndMutex;
    std::condition_variable EndSignal;
    bool BodyEnded = false;
    std::string FatalText;
    std::thread Thread;
};

} // namespace XVclCtrl
