#include "TCommMonitorThread.h"

#include "CommEventCodes.h"
#include "TCustomUart.h"
#include "TSerialPort.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/MessageBox.h"

#include <algorithm>
#include <chrono>
#include <cstring>
#include <system_error>
#include <thread>

namespace XVclCtrl {

namespace {
constexpr const char* ThreadCaption = "TCommEventMonitorThread";
constexpr auto RecoveryPause = std::chrono::milliseconds(10);
constexpr unsigned long LongestWaitMs = 24ul * 3600 * 1000;
thread_local TCommMonitorThread* CurrentThread = nullptr;
} // namespace

TCommMonitorThread* TCommMonitorThread::Current() {
    return CurrentThread;
}

TCommMonitorThread::TCommMonitorThread(TCustomUart* component, std::shared_ptr<TSerialPort> port,
                                       uint8_t* rxdDatasBuff, uint8_t* filteredRxdBuff,
                                       uint8_t* rawRxdBuff, uint32_t buffSize,
                                       XVclUtil::TMainLoop& mainLoop)
    : Component(component), Port(std::move(port)), RxdDatasBuff(rxdDatasBuff),
      FilteredRxdBuff(filteredRxdBuff), RawRxdBuff(rawRxdBuff), BuffSize(buffSize),
      MainLoop(mainLoop), Dispatcher(mainLoop.NewDispatcher()),
      ComponentAlive(component->AliveToken()) {
    // The comm-event wait and the reads are signalled through the port itself here, so of the
    // wait objects only the terminate event and the line timer are the thread's own.
    if (!hEventForTerminateThread.Valid())
        XVclUtil::ShowErrMsgBox_Printf(ThreadCaption,
                                       "Err: Can not create hEventForTerminateThread");
    if (!WaitableTimer.Valid())
        XVclUtil::ShowErrMsgBox_Printf(ThreadCaption, "Err: Can not create WaitableTimer");
}

TCommMonitorThread::~TCommMonitorThread() {
    if (Thread.joinable()) {
        Terminate();
        Thread.join();
    }
    WaitableTimer.Cancel();
    if (Port) Port->CancelIo();
}

bool TCommMonitorThread::Start() {
    try {
        Thread = std::thread([this] { Run(); });
    } catch (const std::system_error&) {
        return false;
    }
    return true;
}

void TCommMonitorThread::Terminate() {
    TerminateMark = true;
    hEventForTerminateThread.Set();
}

std::string TCommMonitorThread::FatalExceptionText() const {
    std::lock_guard<std::mutex> lock(EndMutex);
    return FatalText;
}

void TCommMonitorThread::Run() {
    // An exception from the thread body ends it; its text is kept as the thread's fatal error
    // and nothing more is read until the port is closed and opened again.
    CurrentThread = this;
    std::string fatal;
    try {
        Execute();
    } catch (const XVclUtil::EXGeneral& e) {
        fatal = e.Message;
    }
    {
        std::lock_guard<std::mutex> lock(EndMutex);
        FatalText = std::move(fatal);
        BodyEnded = true;
        EndSignal.notify_all();
    }
    // A thread that Close left to end by itself (Close ran inside one of its hand-offs) is
    // destroyed on the main thread now that it has ended. This object lives on until the
    // thread is joined, which is after this line.
    MainLoop.Post([component = Component, alive = ComponentAlive] {
        if (*alive) component->ReapRetiredThreads();
    });
}

bool TCommMonitorThread::WaitEnded(unsigned long ms) {
    std::unique_lock<std::mutex> lock(EndMutex);
    const auto wait = std::chrono::milliseconds(std::min(ms, LongestWaitMs));
    if (!EndSignal.wait_for(lock, wait, [this] { return BodyEnded; })) return false;
    lock.unlock();
    if (Thread.joinable()) Thread.join();
    return true;
}

bool TCommMonitorThread::Ended() const {
    std::lock_guard<std::mutex> lock(EndMutex);
    return BodyEnded;
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

void TCommMonitorThread::HandOff(const std::function<void()>& step) {
    Dispatcher->RunAndWait([this, &step] { Component->RunHandOff(this, step); });
}

} // namespace XVclCtrl
