#include "TCustomUart.h"

#include "XVclUtil/SystemError.h"

#include "CommEventCodes.h"
#include "TComPortTable.h"
#include "TCommMonitorThread.h"
#include "TSerialPort.h"

#include <climits>
#include <cmath>
#include <cstdarg>
#include <cstring>
#include <new>
#include <stdexcept>

namespace XVclCtrl {

namespace {

constexpr uint32_t MinQueueSize = 1024;
constexpr uint32_t RxdBuffSlack = 8; // each receive buffer holds the queue size + 8 bytes
constexpr int PrintfBufferSize = 1024;

// Runs a handed-over step and keeps count of how deep such steps are nested.
struct THandOffScope {
    explicit THandOffScope(int& depth) : Depth(depth) { ++Depth; }
    ~THandOffScope() { --Depth; }
    int& Depth;
};

} // namespace

TCustomUart::TCustomUart(XVclUtil::TComponent* owner) : XVclUtil::TComponent(owner) {
    pw_SysUartTxdQueueSize(MinQueueSize);
    pw_SysUartRxdQueueSize(MinQueueSize);
}

TCustomUart::~TCustomUart() {
    Close();
    for (TCommMonitorThread* thread : RetiredThreads) {
        while (!thread->WaitEnded(5)) thread->RunWaitingHandOffs();
        delete thread;
    }
}

// ---- Property writers ----

void TCustomUart::pw_UartPortNumber(uint32_t value) {
    if (value >= 1 && value <= 16)
        FUartPortNumber = value;
    else
        XVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!");
}

void TCustomUart::pw_UartBaud(uint32_t value) {
    if (value >= 300 && value <= 921600) {
        FUartBaud = value;
    } else {
        XVclUtil::ShowErrMsgBox_Printf(this, "Invalid or unsupported value !!!");
        FUartBaud = 9600;
    }
}

void TCustomUart::pw_UartBitsPerByte(uint32_t value) {
    if (value >= 7 && value <= 8)
        FUartBitsPerByte = value;
    else
        XVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!");
}

void TCustomUart::pw_FlowCtrlStyle(TFlowCtrlStyle value) {
    FFlowCtrlStyle = value;
    if (value == fcs_None) {
        if (FFlowCtrlHwRxd != fchr_None) pw_FlowCtrlHwRxd(fchr_None);
        if (FFlowCtrlHwTxd != fcht_None) pw_FlowCtrlHwTxd(fcht_None);
    } else if (value == fcs_Hardware) {
        pw_FlowCtrlHwRxd(fchr_None);
        pw_FlowCtrlHwTxd(fcht_CTS);
    }
}

void TCustomUart::pw_FlowCtrlHwRxd(TFlowCtrlHwRxd value) {
    if (value != fchr_None && FFlowCtrlStyle != fcs_Hardware) {
        FFlowCtrlHwRxd = fchr_None;
        XVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
        return;
    }
    FFlowCtrlHwRxd = value;
}

void TCustomUart::pw_FlowCtrlHwTxd(TFlowCtrlHwTxd value) {
    if (value != fcht_None && FFlowCtrlStyle != fcs_Hardware) {
        FFlowCtrlHwTxd = fcht_None;
        XVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid selection !!!\n Because FlowCtrlStyle != fcs_Hardware");
        return;
    }
    FFlowCtrlHwTxd = value;
}

void TCustomUart::pw_SysUartTxdQueueSize(uint32_t value) {
    if (value >= MinQueueSize) {
        FSysUartTxdQueueSize = value;
    } else {
        XVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid value !!!\n Because SysUartTxdQueueSize must >= 1024");
        FSysUartTxdQueueSize = MinQueueSize;
    }
}

void TCustomUart::pw_SysUartRxdQueueSize(uint32_t value) {
    if (value < MinQueueSize) {
        XVclUtil::ShowErrMsgBox_Printf(
            this, "Invalid value !!!\n Because SysUartRxdQueueSize must >= 1024");
        FSysUartRxdQueueSize = MinQueueSize;
        return;
    }
    FSysUartRxdQueueSize = value;
    // The monitor thread works in the buffers while the port is open: they are renewed by the
    // next Open instead.
    if (!Port) AllocRxdBuffers(value);
}

void TCustomUart::pw_RxdFilter_BytesOfPacket(uint32_t value) {
    if (value == 0) {
        XVclUtil::ShowErrMsgBox_Printf(this, "Invalid value !!!\n Because this value must >= 1");
        FRxdFilter_BytesOfPacket = 1;
    } else if (value > FSysUartRxdQueueSize) {
        XVclUtil::ShowErrMsgBox_Printf(this,
                                       "Invalid value \nBecause great then SysUartRxdQueueSize");
    } else {
        FRxdFilter_BytesOfPacket = value;
    }
}

void TCustomUart::AllocRxdBuffers(uint32_t queueSize) {
    const uint32_t size = queueSize + RxdBuffSlack;
    RxdDatasBuff.reset(new uint8_t[size]());
    FilteredRxdBuff.reset(new uint8_t[size]());
    RawRxdBuff.reset(new uint8_t[size]());
    RxdBuffSize = size;
}

// ---- State ----

std::string TCustomUart::DevicePathToOpen() const {
    if (Port) return Port->DevicePath();
    if (!UartDevicePath.empty()) return UartDevicePath;
    return TComPortTable::Global().DevicePath(static_cast<int>(FUartPortNumber));
}

bool TCustomUart::ModemLine(uint32_t bit) const {
    if (!FOpened)
        throw std::runtime_error(
            "Illegal property access, because TCustomUart not in opened state !!!");
    uint32_t status = 0;
    Port->GetCommModemStatus(status);
    return (status & bit) != 0;
}

bool TCustomUart::pr_RiState() const {
    return ModemLine(MS_RING_ON);
}
bool TCustomUart::pr_CdState() const {
    return ModemLine(MS_RLSD_ON);
}
bool TCustomUart::pr_DsrState() const {
    return ModemLine(MS_DSR_ON);
}
bool TCustomUart::pr_CtsState() const {
    return ModemLine(MS_CTS_ON);
}

std::string TCustomUart::MonitorFatalError() const {
    return MonitorThread ? MonitorThread->FatalExceptionText() : std::string();
}

int TCustomUart::RxdCollectedCount() const {
    return MonitorThread ? MonitorThread->CollectedCount() : 0;
}

uint32_t TCustomUart::CharacterBits() const {
    return 1 + FUartBitsPerByte + (UartParityBit != upb_None ? 1 : 0) +
           (UartStopBits == usb_2bits ? 2 : 1);
}

uint32_t TCustomUart::CommEventMask() const {
    uint32_t mask = EV_RXCHAR | EV_TXEMPTY;
    if (OnFrameErr || OnParityErr || OnBreakLevelErr || OnRxOverrunErr || OnTxOverrunErr)
        mask |= EV_ERR;
    if (OnRiChanged) mask |= EV_RING;
    if (OnCdChanged) mask |= EV_RLSD;
    if (OnCtsChanged && FFlowCtrlHwTxd != fcht_CTS && FFlowCtrlHwTxd != fcht_DSR_CTS)
        mask |= EV_CTS;
    if (OnDsrChanged && FFlowCtrlHwTxd != fcht_DSR && FFlowCtrlHwTxd != fcht_DSR_CTS)
        mask |= EV_DSR;
    return mask;
}

// ---- Open and Close ----

void TCustomUart::FillDcb() {
    Dcb = TPortDcb();
    Dcb.DCBlength = 28;
    Dcb.fBinary = true;
    Dcb.BaudRate = FUartBaud;
    Dcb.ByteSize = static_cast<uint8_t>(FUartBitsPerByte);
    switch (UartParityBit) {
    case upb_Odd:
    case upb_Even:
        Dcb.fParity = true;
        Dcb.Parity = UartParityBit == upb_Odd ? ODDPARITY : EVENPARITY;
        Dcb.fErrorChar = true;
        Dcb.ErrorChar = 0x0A;
        break;
    default:
        Dcb.Parity = NOPARITY;
        break;
    }
    Dcb.StopBits = UartStopBits == usb_2bits ? TWOSTOPBITS : ONESTOPBIT;
    const bool hardware = FFlowCtrlStyle == fcs_Hardware;
    Dcb.fOutxCtsFlow = hardware && (FFlowCtrlHwTxd == fcht_CTS || FFlowCtrlHwTxd == fcht_DSR_CTS);
    Dcb.fOutxDsrFlow = hardware && (FFlowCtrlHwTxd == fcht_DSR || FFlowCtrlHwTxd == fcht_DSR_CTS);
    Dcb.fDtrControl = DTR_CONTROL_ENABLE;
    Dcb.fRtsControl = RTS_CONTROL_ENABLE;
    if (hardware && FFlowCtrlHwRxd == fchr_RTS) Dcb.fRtsControl = RTS_CONTROL_HANDSHAKE;
    if (hardware && FFlowCtrlHwRxd == fchr_DTR) Dcb.fDtrControl = DTR_CONTROL_HANDSHAKE;
}

void TCustomUart::FillTimeouts() {
    const double bitTime = 1.0 / static_cast<double>(FUartBaud) * CharacterBits();
    Timeouts = TPortTimeouts();
    Timeouts.ReadIntervalTimeout = SysUartRxdIntervalTimeout;
    Timeouts.ReadTotalTimeoutConstant =
        static_cast<uint32_t>(std::trunc(bitTime * FSysUartRxdQueueSize)) + 5000;
    Timeouts.WriteTotalTimeoutConstant =
        static_cast<uint32_t>(std::trunc(bitTime * FSysUartTxdQueueSize)) + 5000;
}

bool TCustomUart::FailOpen(const char* text) {
    const int systemError = XVclUtil::LastSystemError(); // before Close overwrites it
    Close();
    FLastErrorText = text;
    FLastSystemError = systemError;
    return false;
}

std::string TCustomUart::ErrorString() const {
    const std::string reason = XVclUtil::SystemErrorText(FLastSystemError);
    if (FLastErrorText.empty() || reason.empty()) return FLastErrorText;
    return FLastErrorText + " (" + reason + ")";
}

bool TCustomUart::Open() {
    if (Port) return true;
    ReapRetiredThreads();
    const std::string path = DevicePathToOpen();
    TPortOpenFailure failure;
    int systemError = 0;
    std::unique_ptr<TSerialPort> port =
        TSerialPort::Open(path, SysUartWriteStyle == suws_WriteThrough, failure, systemError);
    FLastOpenSystemError = systemError;
    FLastSystemError = systemError;
    if (!port) {
        FLastErrorText = failure == TPortOpenFailure::NotFound ? "The comm device not exist"
                         : failure == TPortOpenFailure::Busy
                             ? "The comm device can not access (may be opened by another)"
                         : failure == TPortOpenFailure::AccessDenied
                             ? "The comm device can not access (permission denied)"
                             : "Can not open comm device file";
        return false;
    }
    Port = std::move(port);
    if (RxdBuffSize != FSysUartRxdQueueSize + RxdBuffSlack) AllocRxdBuffers(FSysUartRxdQueueSize);

    if (!Port->SetupComm(FSysUartRxdQueueSize, FSysUartTxdQueueSize))
        return FailOpen("Can not set comm buffer");
    FillDcb();
    if (!Port->SetCommConfig(Dcb)) return FailOpen("Can not set comm config");
    FillTimeouts();
    if (!Port->SetCommTimeouts(Timeouts)) return FailOpen("Can not set timeout");
    if (!Port->SetCommMask(CommEventMask())) return FailOpen("Can not turn-on comm event mask");
    Port->EscapeCommFunction(TPortEscape::SetDtr);
    Port->EscapeCommFunction(TPortEscape::SetRts);

    // The thread hands over through the main loop installed by now.
    MonitorThread = new (std::nothrow)
        TCommMonitorThread(this, Port, RxdDatasBuff.get(), FilteredRxdBuff.get(), RawRxdBuff.get(),
                           FSysUartRxdQueueSize, XVclUtil::TMainLoop::Current());
    if (!MonitorThread || !MonitorThread->Start()) {
        delete MonitorThread;
        MonitorThread = nullptr;
        return FailOpen("Can not create TCommEventMonitorThread");
    }
    FOpened = true;
    FLastErrorText.clear();
    FLastOpenSystemError = 0;
    FLastSystemError = 0;
    return true;
}

bool TCustomUart::Close() {
    if (!Port || Closing) return true;
    Closing = true;
    Port->CancelIo();
    StopMonitorThread();
    // The monitor thread is gone (or will touch nothing more), so the text file can be ended.
    StopTxtFile();
    Port->EscapeCommFunction(TPortEscape::ClrRts);
    Port->EscapeCommFunction(TPortEscape::ClrDtr);
    Port->PurgeComm(PURGE_TXABORT | PURGE_RXABORT);
    const bool closed = Port->Close();
    FLastSystemError = closed ? 0 : XVclUtil::LastSystemError();
    Port.reset();
    FOpened = false;
    FLastErrorText = closed ? "" : "Can not close comm";
    Closing = false;
    return true;
}

void TCustomUart::StopMonitorThread() {
    TCommMonitorThread* thread = MonitorThread;
    if (!thread) {
        Port->SetCommMask(0);
        return;
    }
    thread->Terminate();
    Port->SetCommMask(0); // completes the thread's pending comm-event wait
    MonitorThread = nullptr;
    if (HandOffDepth > 0) {
        // Close runs inside a step the thread handed over and waits for: the thread ends on its
        // own once this step returns, and is destroyed from the main loop then.
        RetiredThreads.push_back(thread);
        return;
    }
    // Steps the thread hands over meanwhile are run (and skip their events) so it can end.
    while (!thread->WaitEnded(5)) thread->RunWaitingHandOffs();
    delete thread;
}

void TCustomUart::ReapRetiredThreads() {
    for (auto it = RetiredThreads.begin(); it != RetiredThreads.end();) {
        if ((*it)->Ended()) {
            (*it)->WaitEnded(ULONG_MAX);
            delete *it;
            it = RetiredThreads.erase(it);
        } else {
            ++it;
        }
    }
}

void TCustomUart::RunHandOff(TCommMonitorThread* thread, const std::function<void()>& step) {
    // A thread that Close has marked no longer reports: its steps only let it run on to its end.
    if (thread->Terminated()) return;
    THandOffScope scope(HandOffDepth);
    step();
}

// ---- Sending ----

int TCustomUart::SendData(unsigned int Bytes, const void* Data) {
    FLastErrorText.clear();
    FLastSystemError = 0;
    if (!Port) return 2;
    if (TxtFileSending.load()) return 3;
    uint32_t written = 0;
    TPortResult result = Port->Write(Data, Bytes, written);
    OlapWrFileBytesWritten = written;
    if (result == TPortResult::Failed) {
        FLastSystemError = XVclUtil::LastSystemError();
        FLastErrorText = "Can not send to comm";
        return 1;
    }
    if (written < Bytes) {
        FLastErrorText = "Timeout when send to comm";
        return 4;
    }
    return 0;
}

int TCustomUart::SendData_printf(const char* Format, ...) {
    char text[PrintfBufferSize];
    va_list args;
    va_start(args, Format);
    int n = std::vsnprintf(text, sizeof text, Format, args);
    va_end(args);
    if (n < 0) n = 0;
    if (n > PrintfBufferSize - 1) n = PrintfBufferSize - 1; // the text was cut at 1,023 bytes
    return SendData(static_cast<unsigned int>(n), text);
}

int TCustomUart::SendTxtFile(const char* FileName, unsigned int LineIntervalMs) {
    FLastErrorText.clear();
    if (!Port) return 2;
    if (TxtFileSending.load()) return 3;
    TxtFile = FileName ? std::fopen(FileName, "r+b") : nullptr;
    if (!TxtFile) {
        FLastErrorText = "Can not open file";
        return 5;
    }
    TxtLineBuff.reset(new (std::nothrow) char[FSysUartTxdQueueSize]);
    if (!TxtLineBuff) {
        std::fclose(TxtFile);
        TxtFile = nullptr;
        FLastErrorText = "Can not alloc mem";
        return 1;
    }
    TxtLineBuffSize = FSysUartTxdQueueSize;
    if (!ReadTxtLine()) {
        std::fclose(TxtFile);
        TxtFile = nullptr;
        TxtLineBuff.reset();
        FLastErrorText = "Can not read file";
        return 5;
    }
    // The monitor thread stays away from the text file until the first line is out, so a
    // transmitter-empty event cannot start the next line early.
    TCommMonitorThread* thread = MonitorThread;
    if (thread) thread->Suspend();
    TxtFileSending = 1;
    TxtLineIntervalMs = LineIntervalMs;
    int result = WriteTxtLine();
    if (result == 4) FLastErrorText = "Timeout when send txt file to comm";
    if (result == 1) FLastErrorText = "Can not send txt file to comm";
    if (result != 0) StopTxtFile();
    if (thread) thread->Resume();
    return result;
}

bool TCustomUart::ReadTxtLine() {
    // The C line-reading rule (up to and including a line feed, at most buffer size - 1
    // bytes), keeping the exact count so that zero bytes inside a line are sent too.
    uint32_t n = 0;
    while (n + 1 < TxtLineBuffSize) {
        int c = std::getc(TxtFile);
        if (c == EOF) break;
        TxtLineBuff[n++] = static_cast<char>(c);
        if (c == '\n') break;
    }
    TxtLineLength = n;
    return n > 0;
}

int TCustomUart::WriteTxtLine() {
    uint32_t written = 0;
    TPortResult result = Port->Write(TxtLineBuff.get(), TxtLineLength, written);
    TxtLineBytesWritten = written;
    OlapWrTxtFileBytesWritten = written;
    if (result == TPortResult::Failed) return 1;
    return written < TxtLineLength ? 4 : 0;
}

void TCustomUart::StopTxtFile() {
    if (TxtFile) std::fclose(TxtFile);
    TxtFile = nullptr;
    TxtLineBuff.reset();
    TxtLineLength = TxtLineBytesWritten = 0;
    TxtFileSending = 0;
}

bool TCustomUart::PrrallelProcessingWhenDetectedTxdEmpty() {
    if (!TxtFileSending.load()) return OnTxdEmpty.Assigned();
    if (TxtLineIntervalMs == 0) {
        if (PrrallelProcessingTrySendNextLineOfTxtFile()) return false;
        return OnTxdEmpty.Assigned();
    }
    TCommMonitorThread* thread = TCommMonitorThread::Current();
    if (thread) {
        thread->LineTimerFlag = 1;
        if (thread->LineTimer().SetOnce(TxtLineIntervalMs)) return false;
        thread->LineTimerFlag = 0;
    }
    StopTxtFile();
    return OnTxdEmpty.Assigned();
}

bool TCustomUart::PrrallelProcessingTrySendNextLineOfTxtFile() {
    if (!TxtFileSending.load()) return false;
    if (!ReadTxtLine() || WriteTxtLine() != 0) {
        StopTxtFile();
        return false;
    }
    return true;
}

// ---- Events (main thread) ----

void TCustomUart::FireUartErrEvent(unsigned long Errors) {
    if ((Errors & CE_FRAME)) OnFrameErr(this);
    if ((Errors & CE_RXPARITY)) OnParityErr(this);
    if ((Errors & CE_BREAK)) OnBreakLevelErr(this);
    if ((Errors & CE_RXOVER)) OnRxOverrunErr(this);
    if ((Errors & CE_TXFULL)) OnTxOverrunErr(this);
}

void TCustomUart::FireModemSignalEvent(unsigned long EventMask) {
    if ((EventMask & EV_RING)) OnRiChanged(this);
    if ((EventMask & EV_RLSD)) OnCdChanged(this);
    if ((EventMask & EV_DSR)) OnDsrChanged(this);
    if ((EventMask & EV_CTS)) OnCtsChanged(this);
}

void TCustomUart::FireTxdEmptyEvent() {
    OnTxdEmpty(this);
}

void TCustomUart::FireDeviceLostEvent() {
    OnDeviceLost(this);
}

void TCustomUart::FireRxdDatasEvent(unsigned int Bytes) {
    if (!RxdDatasBuff || !FilteredRxdBuff) return;
    if (Bytes > RxdBuffSize) Bytes = RxdBuffSize;
    std::memcpy(RxdDatasBuff.get(), FilteredRxdBuff.get(), Bytes);
    OnRxdDatas(this, static_cast<int>(Bytes), RxdDatasBuff.get());
}

} // namespace XVclCtrl
