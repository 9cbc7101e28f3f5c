// Serial port layer on the Win32 serial interface: the device opened for overlapped I/O, the
// comm-event wait and the reads as overlapped operations with their own manual-reset events,
// writes waited for until done or timed out by the port's write time-outs.

#include "TSerialPort.h"

#include <windows.h>

namespace XVclCtrl {

namespace {

bool IsLostError(DWORD err) {
    return err == ERROR_BAD_COMMAND || err == ERROR_DEVICE_REMOVED || err == ERROR_GEN_FAILURE ||
           err == ERROR_INVALID_HANDLE || err == ERROR_DEVICE_NOT_CONNECTED ||
           err == ERROR_ACCESS_DENIED;
}

void ClearPosition(OVERLAPPED& ol) {
    ol.Internal = ol.InternalHigh = 0;
    ol.Offset = ol.OffsetHigh = 0;
}

} // namespace

struct TSerialPort::TImpl {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    std::string Path;
    OVERLAPPED OlapUartEvt{};
    OVERLAPPED OlapRdFile{};
    DWORD WaitMask = 0;
    volatile LONG Lost = 0;

    void MarkLostIf(DWORD err) {
        if (IsLostError(err)) ::InterlockedExchange(&Lost, 1);
    }
};

TSerialPort::TSerialPort(std::unique_ptr<TImpl> impl) : Impl(std::move(impl)) {}

TSerialPort::~TSerialPort() {
    Close();
    if (Impl) {
        if (Impl->OlapUartEvt.hEvent) ::CloseHandle(Impl->OlapUartEvt.hEvent);
        if (Impl->OlapRdFile.hEvent) ::CloseHandle(Impl->OlapRdFile.hEvent);
    }
}

std::unique_ptr<TSerialPort> TSerialPort::Open(const std::string& devicePath, bool writeThrough,
                                               TPortOpenFailure& failure, int& systemError) {
    failure = TPortOpenFailure::None;
    systemError = 0;
    DWORD flags = FILE_FLAG_OVERLAPPED | (writeThrough ? FILE_FLAG_WRITE_THROUGH : 0);
    HANDLE h = ::CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, flags, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = ::GetLastError();
        systemError = static_cast<int>(err);
        // A COM port held by another program answers access-denied here.
        const bool busy = err == ERROR_ACCESS_DENIED || err == ERROR_SHARING_VIOLATION;
        failure = err == ERROR_FILE_NOT_FOUND ? TPortOpenFailure::NotFound
                  : busy                      ? TPortOpenFailure::Busy
                                              : TPortOpenFailure::Other;
        return nullptr;
    }
    auto impl = std::make_unique<TImpl>();
    impl->Handle = h;
    impl->Path = devicePath;
    impl->OlapUartEvt.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    impl->OlapRdFile.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!impl->OlapUartEvt.hEvent || !impl->OlapRdFile.hEvent) {
        systemError = static_cast<int>(::GetLastError());
        failure = TPortOpenFailure::Other;
        ::CloseHandle(h);
        if (impl->OlapUartEvt.hEvent) ::CloseHandle(impl->OlapUartEvt.hEvent);
        if (impl->OlapRdFile.hEvent) ::CloseHandle(impl->OlapRdFile.hEvent);
        return nullptr;
    }
    return std::unique_ptr<TSerialPort>(new TSerialPort(std::move(impl)));
}

bool TSerialPort::Close() {
    if (!IsOpen()) return true;
    bool ok = ::CloseHandle(Impl->Handle) != 0;
    Impl->Handle = INVALID_HANDLE_VALUE;
    return ok;
}

bool TSerialPort::IsOpen() const {
    return Impl && Impl->Handle != INVALID_HANDLE_VALUE;
}

const std::string& TSerialPort::DevicePath() const {
    return Impl->Path;
}

bool TSerialPort::SetupComm(uint32_t inQueue, uint32_t outQueue) {
    return IsOpen() && ::SetupComm(Impl->Handle, inQueue, outQueue);
}

bool TSerialPort::SetCommConfig(const TPortDcb& d) {
    if (!IsOpen()) return false;
    COMMCONFIG cc{};
    cc.dwSize = sizeof(COMMCONFIG);
    cc.wVersion = 1;
    cc.dwProviderSubType = PST_RS232;
    DCB& dcb = cc.dcb;
    dcb.DCBlength = sizeof(DCB);
    dcb.BaudRate = d.BaudRate;
    dcb.fBinary = d.fBinary;
    dcb.fParity = d.fParity;
    dcb.fOutxCtsFlow = d.fOutxCtsFlow;
    dcb.fOutxDsrFlow = d.fOutxDsrFlow;
    dcb.fDtrControl = d.fDtrControl;
    dcb.fDsrSensitivity = d.fDsrSensitivity;
    dcb.fOutX = d.fOutX;
    dcb.fInX = d.fInX;
    dcb.fErrorChar = d.fErrorChar;
    dcb.fNull = d.fNull;
    dcb.fRtsControl = d.fRtsControl;
    dcb.fAbortOnError = d.fAbortOnError;
    dcb.XonLim = d.XonLim;
    dcb.XoffLim = d.XoffLim;
    dcb.ByteSize = d.ByteSize;
    dcb.Parity = d.Parity;
    dcb.StopBits = d.StopBits;
    dcb.XonChar = d.XonChar;
    dcb.XoffChar = d.XoffChar;
    dcb.ErrorChar = d.ErrorChar;
    dcb.EofChar = d.EofChar;
    dcb.EvtChar = d.EvtChar;
    return ::SetCommConfig(Impl->Handle, &cc, sizeof cc) != 0;
}

bool TSerialPort::SetCommTimeouts(const TPortTimeouts& t) {
    if (!IsOpen()) return false;
    COMMTIMEOUTS ct{t.ReadIntervalTimeout, t.ReadTotalTimeoutMultiplier, t.ReadTotalTimeoutConstant,
                    t.WriteTotalTimeoutMultiplier, t.WriteTotalTimeoutConstant};
    return ::SetCommTimeouts(Impl->Handle, &ct) != 0;
}

bool TSerialPort::SetCommMask(uint32_t mask) {
    return IsOpen() && ::SetCommMask(Impl->Handle, mask);
}

bool TSerialPort::EscapeCommFunction(TPortEscape function) {
    if (!IsOpen()) return false;
    DWORD code = 0;
    switch (function) {
    case TPortEscape::SetDtr:
        code = SETDTR;
        break;
    case TPortEscape::ClrDtr:
        code = CLRDTR;
        break;
    case TPortEscape::SetRts:
        code = SETRTS;
        break;
    case TPortEscape::ClrRts:
        code = CLRRTS;
        break;
    case TPortEscape::SetBreak:
        code = SETBREAK;
        break;
    case TPortEscape::ClrBreak:
        code = CLRBREAK;
        break;
    }
    return ::EscapeCommFunction(Impl->Handle, code) != 0;
}

bool TSerialPort::PurgeComm(uint32_t flags) {
    return IsOpen() && ::PurgeComm(Impl->Handle, flags);
}

bool TSerialPort::GetCommModemStatus(uint32_t& status) {
    status = 0;
    DWORD s = 0;
    if (!IsOpen() || !::GetCommModemStatus(Impl->Handle, &s)) return false;
    status = s;
    return true;
}

bool TSerialPort::ClearCommError(uint32_t& errors, uint32_t& inQueue) {
    errors = inQueue = 0;
    DWORD e = 0;
    COMSTAT stat{};
    if (!IsOpen() || !::ClearCommError(Impl->Handle, &e, &stat)) return false;
    errors = e;
    inQueue = stat.cbInQue;
    return true;
}

void TSerialPort::CancelIo() {
    if (IsOpen()) ::CancelIo(Impl->Handle);
}

TPortResult TSerialPort::Write(const void* data, uint32_t bytes, uint32_t& written) {
    written = 0;
    if (!IsOpen()) return TPortResult::Failed;
    // Writes come from the main thread and, for text-file lines, from the monitor thread: each
    // call has its own overlapped record and event.
    OVERLAPPED ol{};
    ol.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ol.hEvent) return TPortResult::Failed;
    DWORD done = 0;
    TPortResult result = TPortResult::Done;
    if (::WriteFile(Impl->Handle, data, bytes, &done, &ol)) {
        written = done;
    } else if (::GetLastError() == ERROR_IO_PENDING) {
        if (::GetOverlappedResult(Impl->Handle, &ol, &done, TRUE))
            written = done;
        else
            result = TPortResult::Failed;
    } else {
        Impl->MarkLostIf(::GetLastError());
        result = TPortResult::Failed;
    }
    ::CloseHandle(ol.hEvent);
    return result;
}

TPortResult TSerialPort::Read(void* buffer, uint32_t bytes, uint32_t& got) {
    got = 0;
    if (!IsOpen()) return TPortResult::Failed;
    ClearPosition(Impl->OlapRdFile);
    ::ResetEvent(Impl->OlapRdFile.hEvent);
    DWORD done = 0;
    if (::ReadFile(Impl->Handle, buffer, bytes, &done, &Impl->OlapRdFile)) {
        got = done;
        ::ResetEvent(Impl->OlapRdFile.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_PENDING) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    return TPortResult::Failed;
}

TPortResult TSerialPort::ReadResult(uint32_t& got) {
    got = 0;
    if (!IsOpen()) return TPortResult::Failed;
    DWORD done = 0;
    if (::GetOverlappedResult(Impl->Handle, &Impl->OlapRdFile, &done, FALSE)) {
        got = done;
        ::ResetEvent(Impl->OlapRdFile.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_INCOMPLETE) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    return TPortResult::Failed;
}

TPortResult TSerialPort::StartCommEventWait(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    ClearPosition(Impl->OlapUartEvt);
    ::ResetEvent(Impl->OlapUartEvt.hEvent);
    Impl->WaitMask = 0;
    if (::WaitCommEvent(Impl->Handle, &Impl->WaitMask, &Impl->OlapUartEvt)) {
        eventMask = Impl->WaitMask;
        ::ResetEvent(Impl->OlapUartEvt.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_PENDING) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    return TPortResult::Failed;
}

TPortResult TSerialPort::CommEventWaitResult(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    DWORD dummy = 0;
    if (::GetOverlappedResult(Impl->Handle, &Impl->OlapUartEvt, &dummy, FALSE)) {
        eventMask = Impl->WaitMask;
        ::ResetEvent(Impl->OlapUartEvt.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_INCOMPLETE) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    return TPortResult::Failed;
}

void TSerialPort::WaitForAny(const TManualResetEvent& terminate, bool commWaitPending,
                             bool readPending, const TWaitableTimer* lineTimer) {
    HANDLE handles[4];
    DWORD n = 0;
    if (terminate.Valid()) handles[n++] = terminate.Handle();
    if (commWaitPending && IsOpen()) handles[n++] = Impl->OlapUartEvt.hEvent;
    if (readPending && IsOpen()) handles[n++] = Impl->OlapRdFile.hEvent;
    if (lineTimer && lineTimer->Valid()) handles[n++] = lineTimer->Handle();
    if (n == 0) return;
    ::WaitForMultipleObjects(n, handles, FALSE, INFINITE);
}

bool TSerialPort::DeviceLost() const {
    return Impl && Impl->Lost != 0;
}

} // namespace XVclCtrl
