#pragma once
// The port monitor thread of a serial port component: waits on the port for line events, reads
// received bytes as they arrive, applies the component's receive filter, paces the lines of a
// text file, and hands every event to the component's thread, blocking until it has run there.
// Open creates and starts one per opening of the port; Close ends and destroys it.

#include "TManualResetEvent.h"
#include "TWaitableTimer.h"

#include <QThread>

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>

namespace XVclCtrl {

class TCustomUart;
class TSerialPort;
enum class TPortResult;

class TCommMonitorThread : public QThread {
public:
    // Buffers belong to the component and hold buffSize + 8 bytes each; the filter collects at
    // most buffSize bytes.
    TCommMonitorThread(TCustomUart* component, std::shared_ptr<TSerialPort> port,
                       uint8_t* rxdDatasBuff, uint8_t* filteredRxdBuff, uint8_t* rawRxdBuff,
                       uint32_t buffSize);
    ~TCommMonitorThread() override;

    // Marks the thread terminated and wakes it (main thread).
    void Terminate();
    bool Terminated() const { return isInterruptionRequested(); }
    // Waits up to ms milliseconds for the thread to end; true once it has. What the thread did
    // is then visible to the caller.
    bool WaitEnded(unsigned long ms);

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

protected:
    void run() override;

private:
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
    std::mutex TxtFileGate;
    mutable std::mutex FatalMutex;
    std::string FatalText;
    // Set last by the thread body: orders its work before WaitEnded's return in the language's
    // own terms (QThread::wait gives the same through Qt).
    std::atomic<bool> BodyEnded{false};
};

} // namespace XVclCtrl
