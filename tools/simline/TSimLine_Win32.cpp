// The simulators' line on Windows: a COM port opened for overlapped I/O, without read or write
// time-outs (a read waits for all the bytes it asks for). The wait for received bytes is an
// overlapped read of one byte, waited for together with an auto-reset event that Wake()
// signals; once it has its byte, the bytes the driver holds besides (ClearCommError) are read
// after it, which they are at once. Read hands out what those reads brought.
//
// No comm-event wait (WaitCommEvent): under Wine, on a COM port mapped to a pseudo-terminal, it
// is given up at once because a pty has no modem lines; the one-byte read works on both.

#include "tools/simline/TSimLine.h"

#include <windows.h>

#include <algorithm>
#include <cctype>
#include <cstdint>
#include <cstring>
#include <utility>

namespace SimLine {

namespace {

[[noreturn]] void Fail(const std::string& what, DWORD error) {
    throw ESimLine("Err: " + what + ": system error " + std::to_string(error),
                   static_cast<int>(error));
}

// "COM7" (any case) names the device "\\.\COM7", which also reaches ports above COM9.
std::string DeviceName(const std::string& name) {
    if (name.size() < 4 || name.size() > 6) return name;
    for (int i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i]) return name;
    for (std::size_t i = 3; i < name.size(); ++i)
        if (!std::isdigit(static_cast<unsigned char>(name[i]))) return name;
    return "\\\\.\\COM" + name.substr(3);
}

void SetLine(HANDLE h, const std::string& name, unsigned baud) {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!::GetCommState(h, &dcb)) Fail(name + " is not a serial port", ::GetLastError());
    dcb.BaudRate = baud;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fDtrControl = DTR_CONTROL_ENABLE;
    dcb.fRtsControl = RTS_CONTROL_ENABLE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fAbortOnError = FALSE;
    if (!::SetCommState(h, &dcb))
        Fail("can not set " + name + " to " + std::to_string(baud) + " baud", ::GetLastError());
    // No time-outs: a read ends when it has all its bytes, a write when all are sent.
    COMMTIMEOUTS t{0, 0, 0, 0, 0};
    if (!::SetCommTimeouts(h, &t)) Fail("time-outs of " + name, ::GetLastError());
}

} // namespace

struct TSimLine::TImpl {
    HANDLE Handle = INVALID_HANDLE_VALUE;
    HANDLE WakeEvent = nullptr;
    OVERLAPPED ReadOl{};
    bool ReadPending = false;
    unsigned Baud = 0;
    std::string Peer;
    std::uint8_t Buffer[4096];
    DWORD Have = 0, Taken = 0; // Buffer[Taken, Have) not yet handed out

    TImpl() {
        WakeEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
        ReadOl.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
        if (!WakeEvent || !ReadOl.hEvent) {
            const DWORD err = ::GetLastError();
            CloseEvents();
            Fail("CreateEvent", err);
        }
    }
    ~TImpl() {
        Close();
        CloseEvents();
    }
    void CloseEvents() {
        if (WakeEvent) ::CloseHandle(WakeEvent);
        if (ReadOl.hEvent) ::CloseHandle(ReadOl.hEvent);
    }
    void Close() {
        if (Handle == INVALID_HANDLE_VALUE) return;
        if (ReadPending) {
            // The buffer must not go away under a read still in flight.
            DWORD got = 0;
            ::CancelIoEx(Handle, &ReadOl);
            ::GetOverlappedResult(Handle, &ReadOl, &got, TRUE);
            ReadPending = false;
        }
        ::CloseHandle(Handle);
        Handle = INVALID_HANDLE_VALUE;
        Have = Taken = 0;
    }
    // Starts the one-byte read unless it is in flight; true when it ended at once, with the
    // outcome in ended.
    bool StartRead(TLineWait& ended) {
        if (ReadPending) return false;
        ReadOl.Internal = ReadOl.InternalHigh = 0;
        ReadOl.Offset = ReadOl.OffsetHigh = 0;
        ::ResetEvent(ReadOl.hEvent);
        DWORD got = 0;
        const BOOL ok = ::ReadFile(Handle, Buffer, 1, &got, &ReadOl);
        if (!ok && ::GetLastError() == ERROR_IO_PENDING) {
            ReadPending = true;
            return false;
        }
        ended = ReadEnded(ok, got);
        return true;
    }
    // The one-byte read ended: keep its byte and read the ones that came with it.
    TLineWait ReadEnded(BOOL ok, DWORD got) {
        ReadPending = false;
        ::ResetEvent(ReadOl.hEvent);
        if (!ok)
            return ::GetLastError() == ERROR_OPERATION_ABORTED ? TLineWait::TimedOut
                                                               : TLineWait::HungUp;
        Taken = 0;
        Have = got;
        if (got == 0) return TLineWait::TimedOut;
        DWORD errors = 0;
        COMSTAT stat{};
        const DWORD more = ::ClearCommError(Handle, &errors, &stat) ? stat.cbInQue : 0;
        if (more > 0) Have += ReadQueued(std::min<DWORD>(more, sizeof Buffer - 1));
        return TLineWait::Readable;
    }
    // Reads bytes the driver already holds after the first one (0 when that fails).
    DWORD ReadQueued(DWORD bytes) {
        ReadOl.Internal = ReadOl.InternalHigh = 0;
        ::ResetEvent(ReadOl.hEvent);
        DWORD got = 0;
        if (::ReadFile(Handle, Buffer + 1, bytes, &got, &ReadOl)) return got;
        if (::GetLastError() != ERROR_IO_PENDING) return 0;
        const BOOL ok = ::GetOverlappedResult(Handle, &ReadOl, &got, TRUE);
        ::ResetEvent(ReadOl.hEvent);
        return ok ? got : 0;
    }
};

TSimLine::TSimLine() = default;
TSimLine::~TSimLine() = default;
TSimLine::TSimLine(TSimLine&& other) noexcept = default;
TSimLine& TSimLine::operator=(TSimLine&& other) noexcept = default;

TSimLine TSimLine::OpenDevice(const std::string& name, unsigned baud) {
    TSimLine line;
    line.Impl = std::make_unique<TImpl>();
    TImpl& l = *line.Impl;
    const std::string device = DeviceName(name);
    l.Handle = ::CreateFileA(device.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                             OPEN_EXISTING, FILE_FLAG_OVERLAPPED, nullptr);
    if (l.Handle == INVALID_HANDLE_VALUE) Fail("can not open " + name, ::GetLastError());
    SetLine(l.Handle, name, baud);
    ::PurgeComm(l.Handle, PURGE_RXCLEAR | PURGE_TXCLEAR);
    l.Baud = baud;
    l.Peer = name;
    return line;
}

TSimLine TSimLine::CreatePty(unsigned) {
    throw ESimLine("Err: no pseudo-terminals on Windows: give a COM port (COMn)", 0);
}

bool TSimLine::IsOpen() const {
    return Impl && Impl->Handle != INVALID_HANDLE_VALUE;
}

const std::string& TSimLine::PeerPath() const {
    static const std::string none;
    return Impl ? Impl->Peer : none;
}

TLineWait TSimLine::WaitReadable(int timeoutMs) {
    if (!IsOpen()) return TLineWait::Failed;
    TImpl& l = *Impl;
    if (l.Taken < l.Have) return TLineWait::Readable;
    if (TLineWait ended; l.StartRead(ended)) return ended;
    HANDLE handles[2] = {l.WakeEvent, l.ReadOl.hEvent};
    const DWORD r =
        ::WaitForMultipleObjects(2, handles, FALSE, timeoutMs < 0 ? INFINITE : DWORD(timeoutMs));
    if (r == WAIT_OBJECT_0) return TLineWait::Woken;
    if (r == WAIT_TIMEOUT) return TLineWait::TimedOut;
    if (r != WAIT_OBJECT_0 + 1) return TLineWait::Failed;
    DWORD got = 0;
    const BOOL ok = ::GetOverlappedResult(l.Handle, &l.ReadOl, &got, FALSE);
    return l.ReadEnded(ok, got);
}

void TSimLine::Wake() {
    if (Impl) ::SetEvent(Impl->WakeEvent);
}

std::size_t TSimLine::Read(void* buffer, std::size_t size) {
    if (!IsOpen()) return 0;
    TImpl& l = *Impl;
    const std::size_t n = std::min<std::size_t>(size, l.Have - l.Taken);
    std::memcpy(buffer, l.Buffer + l.Taken, n);
    l.Taken += static_cast<DWORD>(n);
    return n;
}

long TSimLine::Write(const void* data, std::size_t size, int waitMs) {
    if (!IsOpen()) return -1;
    OVERLAPPED ol{};
    ol.hEvent = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    if (!ol.hEvent) return -1;
    const DWORD bytes = static_cast<DWORD>(std::min<std::size_t>(size, MAXDWORD));
    DWORD done = 0;
    long result = -1;
    if (::WriteFile(Impl->Handle, data, bytes, &done, &ol)) {
        result = static_cast<long>(done);
    } else if (::GetLastError() == ERROR_IO_PENDING) {
        // A write is pending while the device sends it: it is given at least the time the
        // bytes take on the wire before it counts as stuck and is cancelled.
        const DWORD wireMs =
            static_cast<DWORD>(std::uint64_t(bytes) * 10 * 1000 / std::max(Impl->Baud, 1u));
        const DWORD limit = std::max<DWORD>(waitMs > 0 ? DWORD(waitMs) : 0, wireMs + 100);
        if (::WaitForSingleObject(ol.hEvent, limit) != WAIT_OBJECT_0)
            ::CancelIoEx(Impl->Handle, &ol);
        if (::GetOverlappedResult(Impl->Handle, &ol, &done, TRUE) ||
            ::GetLastError() == ERROR_OPERATION_ABORTED)
            result = static_cast<long>(done);
    }
    ::CloseHandle(ol.hEvent);
    return result;
}

void TSimLine::Close() {
    if (Impl) Impl->Close();
}

} // namespace SimLine
