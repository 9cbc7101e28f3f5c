// Serial port layer on the Win32 serial interface: the device opened for overlapped I/O, the
// comm-event wait and the reads as overlapped operations with their own manual-reset events,
// writes waited for until done or timed out by the port's write time-outs.
//
// Where the comm-event wait fails at once with ERROR_OPERATION_ABORTED (Wine on a
// pseudo-terminal: its event wait needs the modem lines, which a pty does not have), the port
// watches for received bytes itself: the "comm-event wait" is then an overlapped read of one
// byte, which completes when a byte arrives (EV_RXCHAR) or the read time-outs expire (an empty
// event). The byte is kept and handed out first by the next Read. EV_TXEMPTY and the line and
// modem events are not seen in that mode.

#include "TSerialPort.h"

#include <windows.h>

#include <algorithm>
#include <atomic>
#include <cctype>

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

// The claim on a device that every opener in this session sees: a named mutex that exists while
// the port is open. Windows' serial driver already refuses a second open of a port; Wine does
// not, so the claim keeps the open exclusive there as well. Null when the device is claimed.
HANDLE ClaimDevice(const std::string& devicePath) {
    std::string name = "Local\\zkf780a.serial.";
    for (char c : devicePath)
        name += (c == '\\') ? '_' : static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    HANDLE claim = ::CreateMutexA(nullptr, FALSE, name.c_str());
    if (claim && ::GetLastError() == ERROR_ALREADY_EXISTS) {
        ::CloseHandle(claim);
        ::SetLastError(ERROR_ACCESS_DENIED);
        return nullptr;
    }
    return claim;
}

} // namespace

struct TSerialPort::TImpl {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    HANDLE Claim = nullptr; // see ClaimDevice
    std::string Path;
    OVERLAPPED OlapUartEvt{};
    OVERLAPPED OlapRdFile{};
    DWORD WaitMask = 0;
    volatile LONG Lost = 0;
    // The byte watch that stands in for a comm-event wait the device does not serve.
    std::atomic<bool> ByteWatch{false}; // set by the monitor thread, read by SetCommMask too
    std::atomic<uint32_t> Mask{0};      // the event mask last set (by the owner's thread)
    bool WatchInFlight = false;         // the watch's one-byte read is outstanding
    unsigned char WatchByte = 0;        // read by the watch, not yet handed out
    bool HaveWatchByte = false;
    bool ReadTookWatchByte = false; // a pending Read already put WatchByte in its buffer

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
    HANDLE claim = ClaimDevice(devicePath);
    HANDLE h = claim ? ::CreateFileA(devicePath.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                     OPEN_EXISTING, flags, nullptr)
                     : INVALID_HANDLE_VALUE;
    if (h == INVALID_HANDLE_VALUE) {
        DWORD err = ::GetLastError();
        if (claim) ::CloseHandle(claim);
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
    impl->Claim = claim;
    impl->Path = devicePath;
    impl->OlapUartEvt.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    impl->OlapRdFile.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!impl->OlapUartEvt.hEvent || !impl->OlapRdFile.hEvent) {
        systemError = static_cast<int>(::GetLastError());
        failure = TPortOpenFailure::Other;
        ::CloseHandle(h);
        ::CloseHandle(claim);
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
    ::CloseHandle(Impl->Claim);
    Impl->Claim = nullptr;
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
    if (!IsOpen() || !::SetCommMask(Impl->Handle, mask)) return false;
    Impl->Mask = mask;
    // A pending byte watch ends like a comm-event wait does: with an empty event mask.
    if (Impl->ByteWatch) {
        ::CancelIoEx(Impl->Handle, &Impl->OlapUartEvt);
        ::SetEvent(Impl->OlapUartEvt.hEvent); // also wakes a watch that had nothing to read
    }
    return true;
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
    inQueue = stat.cbInQue + (Impl->HaveWatchByte ? 1 : 0);
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
    Impl->ReadTookWatchByte = false;
    if (Impl->HaveWatchByte && bytes > 0) {
        // The watch's byte comes first; only what the driver holds besides is read with it, so
        // the read does not wait for bytes that have not come.
        Impl->HaveWatchByte = false;
        *static_cast<unsigned char*>(buffer) = Impl->WatchByte;
        DWORD e = 0;
        COMSTAT stat{};
        const DWORD more = ::ClearCommError(Impl->Handle, &e, &stat) ? stat.cbInQue : 0;
        if (more == 0 || bytes == 1) {
            got = 1;
            return TPortResult::Done;
        }
        Impl->ReadTookWatchByte = true;
        buffer = static_cast<unsigned char*>(buffer) + 1;
        bytes = std::min<DWORD>(bytes - 1, more);
    }
    ClearPosition(Impl->OlapRdFile);
    ::ResetEvent(Impl->OlapRdFile.hEvent);
    DWORD done = 0;
    if (::ReadFile(Impl->Handle, buffer, bytes, &done, &Impl->OlapRdFile)) {
        got = done + (Impl->ReadTookWatchByte ? 1 : 0);
        ::ResetEvent(Impl->OlapRdFile.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_PENDING) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    if (Impl->ReadTookWatchByte) {
        got = 1; // the watch's byte is in the buffer even though the rest failed
        return TPortResult::Done;
    }
    return TPortResult::Failed;
}

TPortResult TSerialPort::ReadResult(uint32_t& got) {
    got = 0;
    if (!IsOpen()) return TPortResult::Failed;
    DWORD done = 0;
    if (::GetOverlappedResult(Impl->Handle, &Impl->OlapRdFile, &done, FALSE)) {
        got = done + (Impl->ReadTookWatchByte ? 1 : 0);
        ::ResetEvent(Impl->OlapRdFile.hEvent);
        return TPortResult::Done;
    }
    DWORD err = ::GetLastError();
    if (err == ERROR_IO_INCOMPLETE) return TPortResult::Pending;
    Impl->MarkLostIf(err);
    if (Impl->ReadTookWatchByte) {
        got = 1;
        return TPortResult::Done;
    }
    return TPortResult::Failed;
}

namespace {

// The end of a byte watch: EV_RXCHAR with a byte kept, else an empty event (time-outs expired,
// or the mask changed and the watch was cancelled).
TPortResult EndByteWatch(TSerialPort::TImpl& impl, BOOL ok, DWORD done, uint32_t& eventMask) {
    ::ResetEvent(impl.OlapUartEvt.hEvent);
    impl.WatchInFlight = false;
    const DWORD err = ok ? ERROR_SUCCESS : ::GetLastError();
    if (!ok && err != ERROR_OPERATION_ABORTED) {
        impl.MarkLostIf(err);
        return TPortResult::Failed;
    }
    impl.HaveWatchByte = ok && done == 1;
    eventMask = impl.HaveWatchByte ? (impl.Mask & EV_RXCHAR) : 0;
    return TPortResult::Done;
}

TPortResult StartByteWatch(TSerialPort::TImpl& impl, uint32_t& eventMask) {
    // A byte already kept, or none wanted: nothing to watch for until it is read or asked for.
    if (impl.HaveWatchByte || !(impl.Mask & EV_RXCHAR)) {
        eventMask = impl.HaveWatchByte ? EV_RXCHAR : 0;
        if (impl.HaveWatchByte) return TPortResult::Done;
        return TPortResult::Pending; // ends when SetCommMask cancels it or the thread ends
    }
    ClearPosition(impl.OlapUartEvt);
    ::ResetEvent(impl.OlapUartEvt.hEvent);
    DWORD done = 0;
    const BOOL ok = ::ReadFile(impl.Handle, &impl.WatchByte, 1, &done, &impl.OlapUartEvt);
    if (!ok && ::GetLastError() == ERROR_IO_PENDING) {
        impl.WatchInFlight = true;
        return TPortResult::Pending;
    }
    return EndByteWatch(impl, ok, done, eventMask);
}

} // namespace

TPortResult TSerialPort::StartCommEventWait(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    if (Impl->ByteWatch) return StartByteWatch(*Impl, eventMask);
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
    if (err == ERROR_OPERATION_ABORTED) {
        Impl->ByteWatch = true;
        return StartByteWatch(*Impl, eventMask);
    }
    Impl->MarkLostIf(err);
    return TPortResult::Failed;
}

TPortResult TSerialPort::CommEventWaitResult(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    if (Impl->ByteWatch && !Impl->WatchInFlight) {
        // A watch with nothing to read ends only when the mask changes (SetCommMask sets it).
        if (::WaitForSingleObject(Impl->OlapUartEvt.hEvent, 0) != WAIT_OBJECT_0)
            return TPortResult::Pending;
        ::ResetEvent(Impl->OlapUartEvt.hEvent);
        return TPortResult::Done;
    }
    DWORD done = 0;
    const BOOL ok = ::GetOverlappedResult(Impl->Handle, &Impl->OlapUartEvt, &done, FALSE);
    if (!ok && ::GetLastError() == ERROR_IO_INCOMPLETE) return TPortResult::Pending;
    if (Impl->ByteWatch) return EndByteWatch(*Impl, ok, done, eventMask);
    if (ok) {
        eventMask = Impl->WaitMask;
        ::ResetEvent(Impl->OlapUartEvt.hEvent);
        return TPortResult::Done;
    }
    const DWORD err = ::GetLastError();
    if (err == ERROR_OPERATION_ABORTED && Impl->WaitMask == 0) {
        // The wait was given up by the device rather than ended by a mask change (that one
        // completes successfully): watch for bytes from now on.
        Impl->ByteWatch = true;
        return StartByteWatch(*Impl, eventMask);
    }
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
