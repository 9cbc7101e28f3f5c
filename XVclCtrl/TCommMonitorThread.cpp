#include "TCommMonitorThread.h"

#include "CommEventCodes.h"
#include "TCustomUart.h"
#include "TSerialPort.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <QMetaObject>

#include <chrono>
#include <cstring>
#include <thread>

namespace XVclCtrl {

namespace {
constexpr const char* ThreadCaption = "TCommEventMonitorThread";
constexpr auto RecoveryPause = std::chrono::milliseconds(10);
} // namespace

TCommMonitorThread::TCommMonitorThread(TCustomUart* component, std::shared_ptr<TSerialPort> port,
                                       uint8_t* rxdDatasBuff, uint8_t* filteredRxdBuff,
                                       uint8_t* rawRxdBuff, uint32_t buffSize)
    : Component(component), Port(std::move(port)), RxdDatasBuff(rxdDatasBuff),
      FilteredRxdBuff(filteredRxdBuff), RawRxdBuff(rawRxdBuff), BuffSize(buffSize) {
    // The comm-event wait and the reads are signalled through the port itself here, so of the
    // wait objects only the terminate event and the line timer are the thread's own.
    if (!hEventForTerminateThread.Valid())
        XVclUtil::ShowErrMsgBox_Printf(ThreadCaption,
                                       "Err: Can not create hEventForTerminateThread");
    if (!WaitableTimer.Valid())
        XVclUtil::ShowErrMsgBox_Printf(ThreadCaption, "Err: Can not create WaitableTimer");
}

TCommMonitorThread::~TCommMonitorThread() {
    WaitableTimer.Cancel();
    if (Port) Port->CancelIo();
}

void TCommMonitorThread::Terminate() {
    requestInterruption();
    hEventForTerminateThread.Set();
}

std::string TCommMonitorThread::FatalExceptionText() const {
    std::lock_guard<std::mutex> lock(FatalMutex);
    return FatalText;
}

void TCommMonitorThread::run() {
    // An exception from the thread body ends it; its text is kept as the thread's fatal error
    // and nothing more is read until the port is closed and opened again.
    try {
        Execute();
    } catch (const XVclUtil::EXGeneral& e) {
        std::lock_guard<std::mutex> lock(FatalMutex);
        FatalText = e.Message;
    }
    BodyEnded.store(true, std::memory_order_release);
}

bool TCommMonitorThread::WaitEnded(unsigned long ms) {
    const bool ended = wait(ms);
    (void)BodyEnded.load(std::memory_order_acquire);
    return ended;
}

void TCommMonitorThread::Execute() {
    hEventForTerminateThread.Reset();
    WaitableTimer.Reset();
    FCollectedCount = 0;
    WaitNeeded = 1;
    WaitPending = 0;
    ReadPending = 0;
    LineTimerFlag = 0;
    bool lostReported = false;
    while (!Terminated()) {
        if (WaitNeeded) StartCommEventWait();
        if (Terminated()) break;
        bool lineTimer = LineTimerFlag.load() != 0;
        if (Port->DeviceLost()) {
            // The owner hears of it once, so that a transfer can end at once instead of
            // waiting out its response timer.
            if (!lostReported) {
                lostReported = true;
                HandOff([this] { Component->FireDeviceLostEvent(); });
                if (Terminated()) break;
            }
            // Nothing more will come from the device: sleep until Close (or the line timer).
            WaitNeeded = WaitPending = ReadPending = 0;
            Port->WaitForAny(hEventForTerminateThread, false, false,
                             lineTimer ? &WaitableTimer : nullptr);
        } else if (WaitPending || ReadPending || lineTimer) {
            Port->WaitForAny(hEventForTerminateThread, WaitPending, ReadPending,
                             lineTimer ? &WaitableTimer : nullptr);
        }
        if (Terminated()) break;
        if (WaitPending) QueryCommEventWait();
        if (Terminated()) break;
        if (ReadPending) QueryRead();
        if (Terminated()) break;
        if (LineTimerFlag.load()) ServeLineTimer();
        if (Port->DeviceLost() && !WaitPending) WaitNeeded = 0;
    }
    Port->CancelIo();
    hEventForTerminateThread.Reset();
    WaitableTimer.Reset();
}

void TCommMonitorThread::StartCommEventWait() {
    EventMask = 0;
    ServeCommEventWait(Port->StartCommEventWait(EventMask));
}

void TCommMonitorThread::QueryCommEventWait() {
    ServeCommEventWait(Port->CommEventWaitResult(EventMask));
}

// Starting the wait and asking after a pending one end the same three ways.
void TCommMonitorThread::ServeCommEventWait(TPortResult result) {
    switch (result) {
    case TPortResult::Done:
        HandleCommEvent();
        break;
    case TPortResult::Pending:
        WaitNeeded = 0;
        WaitPending = 1;
        break;
    case TPortResult::Failed:
        WaitRecovery();
        break;
    }
}

void TCommMonitorThread::QueryRead() {
    switch (Port->ReadResult(BytesTransferred)) {
    case TPortResult::Done:
        ReadCompletion();
        break;
    case TPortResult::Pending:
        break;
    case TPortResult::Failed:
        ReadRecovery();
        break;
    }
}

void TCommMonitorThread::ServeLineTimer() {
    if (!WaitableTimer.IsSignalled()) return;
    WaitableTimer.Reset();
    LineTimerFlag = 0;
    bool sent;
    {
        std::lock_guard<std::mutex> gate(TxtFileGate);
        sent = Component->PrrallelProcessingTrySendNextLineOfTxtFile();
    }
    if (!sent && Component->OnTxdEmpty.Assigned())
        HandOff([this] { Component->FireTxdEmptyEvent(); });
}

void TCommMonitorThread::HandleCommEvent() {
    WaitNeeded = 1;
    WaitPending = 0;
    uint32_t waiting = 0;
    Port->ClearCommError(LineErrors, waiting);
    const uint32_t mask = EventMask;
    if (!Terminated() && (mask & EV_ERR)) {
        const unsigned long errors = LineErrors;
        HandOff([this, errors] { Component->FireUartErrEvent(errors); });
    }
    if (!Terminated() && (mask & EV_MODEM_LINES))
        HandOff([this, mask] { Component->FireModemSignalEvent(mask); });
    if (!Terminated() && (mask & EV_TXEMPTY)) {
        bool fire;
        {
            std::lock_guard<std::mutex> gate(TxtFileGate);
            fire = Component->PrrallelProcessingWhenDetectedTxdEmpty();
        }
        if (fire) HandOff([this] { Component->FireTxdEmptyEvent(); });
    }
    if (!Terminated() && (mask & EV_RXCHAR) && !ReadPending && waiting > 0) StartRead(waiting);
}

void TCommMonitorThread::StartRead(uint32_t waiting) {
    // Never ask for more than the raw read buffer holds; the rest is read on the next event.
    const uint32_t want = std::min(waiting, BuffSize + 8);
    switch (Port->Read(RawRxdBuff, want, BytesTransferred)) {
    case TPortResult::Done:
        ReadCompletion();
        break;
    case TPortResult::Pending:
        ReadPending = 1;
        break;
    case TPortResult::Failed:
        ReadRecovery();
        break;
    }
}

void TCommMonitorThread::ReadCompletion() {
    ReadPending = 0;
    ApplyRxdFilter(BytesTransferred);
}

void TCommMonitorThread::WaitRecovery() {
    WaitNeeded = 1;
    WaitPending = 0;
    uint32_t waiting = 0;
    Port->ClearCommError(LineErrors, waiting);
    if (Port->DeviceLost()) return; // the loop stops waiting on the port instead of retrying
    std::this_thread::sleep_for(RecoveryPause);
}

void TCommMonitorThread::ReadRecovery() {
    ReadPending = 0;
    if (Port->DeviceLost()) return;
    std::this_thread::sleep_for(RecoveryPause);
}

void TCommMonitorThread::ApplyRxdFilter(uint32_t bytes) {
    if (bytes == 0 || !Component->OnRxdDatas.Assigned()) return;
    const TRxdFilter style = Component->RxdFilter_Style.load();
    if (style == rfs_None) {
        std::memcpy(FilteredRxdBuff, RawRxdBuff, bytes);
        FCollectedCount = static_cast<int>(bytes);
        Deliver();
        return;
    }
    const char delimiter = Component->RxdFilter_DelimiterChar.load();
    const uint32_t packet = Component->RxdFilter_BytesOfPacket();
    int count = FCollectedCount.load();
    for (uint32_t i = 0; i < bytes && !Terminated(); ++i) {
        const uint8_t b = RawRxdBuff[i];
        FilteredRxdBuff[count++] = b;
        FCollectedCount = count;
        const bool complete = style == rfs_ByDelimiterChar ? b == static_cast<uint8_t>(delimiter)
                                                           : static_cast<uint32_t>(count) == packet;
        if (complete) {
            Deliver();
            count = 0;
        } else if (static_cast<uint32_t>(count) >= BuffSize) {
            // A packet longer than the buffer: its bytes so far are dropped and reported as an
            // input overrun, and receiving goes on with the bytes after them.
            FCollectedCount = 0;
            count = 0;
            HandOff([this] { Component->FireUartErrEvent(CE_RXOVER); });
        }
    }
}

void TCommMonitorThread::Deliver() {
    const unsigned int bytes = static_cast<unsigned int>(FCollectedCount.load());
    HandOff([this, bytes] { Component->FireRxdDatasEvent(bytes); });
    FCollectedCount = 0;
}

namespace {

// Release/acquire pairs that order the two threads' memory around each hand-off in the
// language's own terms; the hand-off itself goes through Qt, whose ordering tools such as
// ThreadSanitizer cannot see. Process-wide, so that the invoked functor need not be read first.
std::atomic<uint32_t> HandOffsPosted{0}, HandOffsRun{0};

// Carried by the invoked functor: its move into Qt's queue publishes everything written before,
// and its destruction (on this thread, after the main thread ran it) takes over what the main
// thread wrote.
struct THandOffFence {
    THandOffFence() = default;
    THandOffFence(THandOffFence&&) noexcept {
        HandOffsPosted.fetch_add(1, std::memory_order_release);
    }
    ~THandOffFence() { (void)HandOffsRun.load(std::memory_order_acquire); }
};

} // namespace

void TCommMonitorThread::HandOff(const std::function<void()>& step) {
    QMetaObject::invokeMethod(
        Component,
        [this, &step, fence = THandOffFence()] {
            (void)HandOffsPosted.load(std::memory_order_acquire);
            Component->RunHandOff(this, step);
            HandOffsRun.fetch_add(1, std::memory_order_release);
        },
        Qt::BlockingQueuedConnection);
}

} // namespace XVclCtrl
