// Serial port layer on POSIX terminals (Linux): termios2 for the line settings, so that any baud
// rate can be set; TIOCEXCL plus flock for exclusive access; poll on the device, an eventfd and
// the caller's wait objects for the comm-event wait.
//
// What Linux lacks is emulated here:
// - the transmitter-empty event: a write arms it, and it is reported once the driver's output
//   queue (TIOCOUTQ) is empty; while bytes are still queued the wait sleeps for about the time
//   they take to go out;
// - line errors and modem-line changes: taken from the interrupt counters (TIOCGICOUNT) where
//   the driver keeps them. There is no pollable notice of a modem-line change, so the wait
//   samples the counters every ModemSampleMs while such events are asked for. A
//   pseudo-terminal has no counters and reports neither;
// - parity-error replacement: the driver marks a bad byte (PARMRK) and Read replaces it by the
//   device control block's error character;
// - DSR output flow control and DTR input handshake, which termios does not offer, are done by
//   Write and Read on the modem lines.
// Reads never stay pending: the monitor thread only asks for bytes already waiting.

#include "TSerialPort.h"

#include "CommEventCodes.h"

#include <asm/termbits.h>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <thread>
#include <unistd.h>

namespace XVclCtrl {

namespace {

constexpr int ModemSampleMs = 20;
constexpr uint8_t ParityMark = 0xFF;

using TClock = std::chrono::steady_clock;

bool IsLostError(int err) {
    return err == EIO || err == ENODEV || err == ENXIO || err == EBADF;
}

// Milliseconds left until deadline (0 when passed); -1 for "no deadline".
int MsLeft(bool hasDeadline, TClock::time_point deadline) {
    if (!hasDeadline) return -1;
    auto left = std::chrono::duration_cast<std::chrono::milliseconds>(deadline - TClock::now());
    return left.count() > 0 ? static_cast<int>(left.count()) : 0;
}

} // namespace

struct TSerialPort::TImpl {
    int Fd = -1;
    int NotifyFd = -1; // signalled by writes and by mask changes
    std::string Path;
    bool WriteThrough = false;

    // Settings: set on the main thread before the monitor thread starts.
    TPortDcb Dcb;
    TPortTimeouts Timeouts;
    uint32_t InQueue = 0, OutQueue = 0;
    bool HasCounters = false;

    std::atomic<uint32_t> Mask{0};
    std::atomic<uint32_t> MaskGeneration{0};
    std::atomic<bool> TxArmed{false};
    std::atomic<bool> Lost{false};
    std::atomic<uint32_t> PendingErrors{0};

    // Monitor thread only.
    uint32_t WaitGeneration = 0;
    bool NotifySeen = true; // the last wait saw the notify descriptor signalled
    bool HangUpSeen = true; // the last wait saw a hang-up or error on the device
    serial_icounter_struct LastCounters{};
    uint8_t MarkState = 0; // parity-mark decoder: 0 normal, 1 after 0xFF, 2 after 0xFF 0x00
    bool DtrLowered = false;

    void Notify() {
        uint64_t one = 1;
        [[maybe_unused]] ssize_t r = ::write(NotifyFd, &one, sizeof one);
    }
    void DrainNotify() {
        uint64_t count;
        [[maybe_unused]] ssize_t r = ::read(NotifyFd, &count, sizeof count);
    }

    int BytesWaiting() {
        int n = 0;
        if (::ioctl(Fd, FIONREAD, &n) != 0) return -1;
        return n;
    }

    uint32_t CharBits() const {
        return 1u + Dcb.ByteSize + (Dcb.Parity != NOPARITY ? 1u : 0u) +
               (Dcb.StopBits == ONESTOPBIT ? 1u : 2u);
    }
    // About how long the bytes still in the output queue take to go out.
    int DrainMs(int queued) const {
        uint32_t baud = Dcb.BaudRate ? Dcb.BaudRate : 9600;
        return static_cast<int>(static_cast<uint64_t>(queued) * CharBits() * 1000 / baud) + 1;
    }

    bool WantsCounters() const {
        return HasCounters && (Mask.load() & (EV_MODEM_LINES | EV_ERR)) != 0;
    }

    // Events that hold now; clears the transmitter-empty arming when it reports it.
    uint32_t PendingEvents() {
        uint32_t mask = Mask.load();
        uint32_t ev = 0;
        if ((mask & EV_RXCHAR) && BytesWaiting() > 0) ev |= EV_RXCHAR;
        if ((mask & EV_TXEMPTY) && TxArmed.load()) {
            int queued = 0;
            if (::ioctl(Fd, TIOCOUTQ, &queued) != 0 || queued == 0) {
                TxArmed.store(false);
                ev |= EV_TXEMPTY;
            }
        }
        if (WantsCounters()) ev |= CounterEvents(mask);
        return ev;
    }

    uint32_t CounterEvents(uint32_t mask) {
        serial_icounter_struct now{};
        if (::ioctl(Fd, TIOCGICOUNT, &now) != 0) return 0;
        const serial_icounter_struct& was = LastCounters;
        uint32_t ev = 0, errors = 0;
        if (now.cts != was.cts) ev |= EV_CTS;
        if (now.dsr != was.dsr) ev |= EV_DSR;
        if (now.dcd != was.dcd) ev |= EV_RLSD;
        if (now.rng != was.rng) ev |= EV_RING;
        if (now.frame != was.frame) errors |= CE_FRAME;
        if (now.parity != was.parity) errors |= CE_RXPARITY;
        if (now.brk != was.brk) errors |= CE_BREAK;
        if (now.overrun != was.overrun) errors |= CE_OVERRUN;
        if (now.buf_overrun != was.buf_overrun) errors |= CE_RXOVER;
        LastCounters = now;
        if (errors) {
            PendingErrors.fetch_or(errors);
            ev |= EV_ERR;
        }
        return ev & mask;
    }

    bool HungUp() {
        pollfd p{Fd, 0, 0};
        return ::poll(&p, 1, 0) > 0 && (p.revents & (POLLHUP | POLLERR | POLLNVAL));
    }

    // Only what the last wait saw signalled is asked again: that keeps the system calls per
    // event few. A signal that comes later stays set for the next wait.
    TPortResult EvaluateWait(uint32_t& eventMask) {
        eventMask = 0;
        if (NotifySeen) {
            DrainNotify();
            NotifySeen = false;
        }
        if (Lost.load()) return TPortResult::Failed;
        if (MaskGeneration.load() != WaitGeneration) return TPortResult::Done; // mask changed
        eventMask = PendingEvents();
        if (eventMask) return TPortResult::Done;
        if (HangUpSeen && HungUp()) {
            Lost.store(true);
            return TPortResult::Failed;
        }
        HangUpSeen = false;
        return TPortResult::Pending;
    }

    // Replaces each byte marked with a parity or framing error by the error character and
    // undoubles literal 0xFF bytes, in place. Returns the count of bytes that remain.
    uint32_t DecodeMarks(uint8_t* data, uint32_t n) {
        uint32_t out = 0;
        for (uint32_t i = 0; i < n; ++i) {
            uint8_t b = data[i];
            switch (MarkState) {
            case 0:
                if (b == ParityMark)
                    MarkState = 1;
                else
                    data[out++] = b;
                break;
            case 1:
                MarkState = b == 0 ? 2 : 0;
                if (b != 0) data[out++] = b; // 0xFF 0xFF is one literal 0xFF
                break;
            default:
                MarkState = 0;
                data[out++] = b == 0 ? 0 : static_cast<uint8_t>(Dcb.ErrorChar); // 0 is a break
                break;
            }
        }
        return out;
    }

    // DTR input handshake: DTR low while the input queue is full, high again once it is empty.
    void PaceDtr() {
        if (Dcb.fDtrControl != DTR_CONTROL_HANDSHAKE) return;
        int waiting = BytesWaiting();
        int bit = TIOCM_DTR;
        if (!DtrLowered && waiting >= static_cast<int>(InQueue ? InQueue : 4096)) {
            if (::ioctl(Fd, TIOCMBIC, &bit) == 0) DtrLowered = true;
        } else if (DtrLowered && waiting == 0) {
            if (::ioctl(Fd, TIOCMBIS, &bit) == 0) DtrLowered = false;
        }
    }

    // DSR output flow control: wait (until the deadline) for DSR to be high.
    bool DsrAllowsOutput(bool hasDeadline, TClock::time_point deadline) {
        if (!Dcb.fOutxDsrFlow) return true;
        for (;;) {
            int status = 0;
            if (::ioctl(Fd, TIOCMGET, &status) != 0 || (status & TIOCM_DSR)) return true;
            if (MsLeft(hasDeadline, deadline) == 0) return false;
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
    }

    // Write-through: wait until the driver has sent everything (or the deadline passes).
    void WaitOutputDrained(bool hasDeadline, TClock::time_point deadline) {
        for (;;) {
            int queued = 0;
            if (::ioctl(Fd, TIOCOUTQ, &queued) != 0 || queued == 0) return;
            int left = MsLeft(hasDeadline, deadline);
            if (left == 0) return;
            int step = DrainMs(queued);
            std::this_thread::sleep_for(
                std::chrono::milliseconds(left < 0 ? step : std::min(step, left)));
        }
    }
};

TSerialPort::TSerialPort(std::unique_ptr<TImpl> impl) : Impl(std::move(impl)) {}

TSerialPort::~TSerialPort() {
    Close();
}

std::unique_ptr<TSerialPort> TSerialPort::Open(const std::string& devicePath, bool writeThrough,
                                               TPortOpenFailure& failure, int& systemError) {
    failure = TPortOpenFailure::None;
    systemError = 0;
    auto fail = [&](TPortOpenFailure why, int err, int fd) {
        if (fd >= 0) ::close(fd);
        failure = why;
        systemError = err;
        return std::unique_ptr<TSerialPort>();
    };
    int fd = ::open(devicePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (fd < 0) {
        int err = errno;
        if (err == ENOENT || err == ENODEV || err == ENXIO || err == EIO)
            return fail(TPortOpenFailure::NotFound, err, -1);
        if (err == EACCES || err == EPERM) return fail(TPortOpenFailure::AccessDenied, err, -1);
        if (err == EBUSY) return fail(TPortOpenFailure::Busy, err, -1);
        return fail(TPortOpenFailure::Other, err, -1);
    }
    if (!::isatty(fd)) return fail(TPortOpenFailure::Other, ENOTTY, fd);
    // flock keeps out every other opener, root included; TIOCEXCL also keeps out programs that
    // do not lock.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        int err = errno;
        return fail(err == EWOULDBLOCK ? TPortOpenFailure::Busy : TPortOpenFailure::Other,
                    err == EWOULDBLOCK ? EBUSY : err, fd);
    }
    ::ioctl(fd, TIOCEXCL);

    auto impl = std::make_unique<TImpl>();
    impl->NotifyFd = ::eventfd(0, EFD_NONBLOCK | EFD_CLOEXEC);
    if (impl->NotifyFd < 0) return fail(TPortOpenFailure::Other, errno, fd);
    impl->Fd = fd;
    impl->Path = devicePath;
    impl->WriteThrough = writeThrough;
    impl->HasCounters = ::ioctl(fd, TIOCGICOUNT, &impl->LastCounters) == 0;
    return std::unique_ptr<TSerialPort>(new TSerialPort(std::move(impl)));
}

bool TSerialPort::Close() {
    if (!Impl || Impl->Fd < 0) return true;
    // The next opening starts with an empty input queue, as a driver that frees its queues on
    // close gives it (a pseudo-terminal would keep the unread bytes).
    ::ioctl(Impl->Fd, TCFLSH, TCIFLUSH);
    ::ioctl(Impl->Fd, TIOCNXCL);
    bool ok = ::close(Impl->Fd) == 0;
    ::close(Impl->NotifyFd);
    Impl->Fd = Impl->NotifyFd = -1;
    return ok;
}

bool TSerialPort::IsOpen() const {
    return Impl && Impl->Fd >= 0;
}

const std::string& TSerialPort::DevicePath() const {
    return Impl->Path;
}

bool TSerialPort::SetupComm(uint32_t inQueue, uint32_t outQueue) {
    // Linux terminals have fixed driver buffers; the sizes pace the DTR handshake.
    if (!IsOpen()) return false;
    Impl->InQueue = inQueue;
    Impl->OutQueue = outQueue;
    return true;
}

bool TSerialPort::SetCommConfig(const TPortDcb& dcb) {
    if (!IsOpen() || dcb.BaudRate == 0) return false;
    if (dcb.ByteSize < 5 || dcb.ByteSize > 8 || dcb.Parity > EVENPARITY) return false;
    if (dcb.StopBits != ONESTOPBIT && dcb.StopBits != TWOSTOPBITS) return false;
    termios2 t{};
    if (::ioctl(Impl->Fd, TCGETS2, &t) != 0) return false;
    static const tcflag_t sizes[] = {CS5, CS6, CS7, CS8};
    t.c_iflag = 0;
    if (dcb.fParity) t.c_iflag |= INPCK;
    if (dcb.fParity && dcb.fErrorChar) t.c_iflag |= PARMRK;
    t.c_oflag = 0;
    t.c_lflag = 0;
    t.c_cflag = CREAD | CLOCAL | sizes[dcb.ByteSize - 5] | BOTHER | (BOTHER << IBSHIFT);
    if (dcb.Parity != NOPARITY) t.c_cflag |= PARENB | (dcb.Parity == ODDPARITY ? PARODD : 0);
    if (dcb.StopBits == TWOSTOPBITS) t.c_cflag |= CSTOPB;
    // termios has one switch for both directions of the RTS/CTS handshake.
    if (dcb.fOutxCtsFlow || dcb.fRtsControl == RTS_CONTROL_HANDSHAKE) t.c_cflag |= CRTSCTS;
    t.c_ispeed = t.c_ospeed = dcb.BaudRate;
    for (auto& c : t.c_cc) c = 0;
    if (::ioctl(Impl->Fd, TCSETS2, &t) != 0) return false;
    Impl->Dcb = dcb;
    Impl->MarkState = 0;
    return true;
}

bool TSerialPort::SetCommTimeouts(const TPortTimeouts& timeouts) {
    if (!IsOpen()) return false;
    Impl->Timeouts = timeouts;
    return true;
}

bool TSerialPort::SetCommMask(uint32_t mask) {
    if (!IsOpen()) return false;
    Impl->Mask.store(mask);
    Impl->MaskGeneration.fetch_add(1);
    Impl->Notify();
    return true;
}

bool TSerialPort::EscapeCommFunction(TPortEscape function) {
    if (!IsOpen()) return false;
    int fd = Impl->Fd;
    int dtr = TIOCM_DTR, rts = TIOCM_RTS;
    switch (function) {
    case TPortEscape::SetDtr:
        return ::ioctl(fd, TIOCMBIS, &dtr) == 0;
    case TPortEscape::ClrDtr:
        return ::ioctl(fd, TIOCMBIC, &dtr) == 0;
    case TPortEscape::SetRts:
        return ::ioctl(fd, TIOCMBIS, &rts) == 0;
    case TPortEscape::ClrRts:
        return ::ioctl(fd, TIOCMBIC, &rts) == 0;
    case TPortEscape::SetBreak:
        return ::ioctl(fd, TIOCSBRK) == 0;
    case TPortEscape::ClrBreak:
        return ::ioctl(fd, TIOCCBRK) == 0;
    }
    return false;
}

bool TSerialPort::PurgeComm(uint32_t flags) {
    if (!IsOpen()) return false;
    // Writes and reads never stay outstanding here, so the abort flags have nothing to end.
    bool tx = flags & PURGE_TXCLEAR, rx = flags & PURGE_RXCLEAR;
    if (!tx && !rx) return true;
    return ::ioctl(Impl->Fd, TCFLSH, tx && rx ? TCIOFLUSH : tx ? TCOFLUSH : TCIFLUSH) == 0;
}

bool TSerialPort::GetCommModemStatus(uint32_t& status) {
    status = 0;
    int lines = 0;
    if (!IsOpen() || ::ioctl(Impl->Fd, TIOCMGET, &lines) != 0) return false;
    if (lines & TIOCM_CTS) status |= MS_CTS_ON;
    if (lines & TIOCM_DSR) status |= MS_DSR_ON;
    if (lines & TIOCM_RNG) status |= MS_RING_ON;
    if (lines & TIOCM_CAR) status |= MS_RLSD_ON;
    return true;
}

bool TSerialPort::ClearCommError(uint32_t& errors, uint32_t& inQueue) {
    errors = 0;
    inQueue = 0;
    if (!IsOpen()) return false;
    errors = Impl->PendingErrors.exchange(0);
    int waiting = Impl->BytesWaiting();
    if (waiting < 0) return false;
    inQueue = static_cast<uint32_t>(waiting);
    return true;
}

void TSerialPort::CancelIo() {}

TPortResult TSerialPort::Write(const void* data, uint32_t bytes, uint32_t& written) {
    written = 0;
    if (!IsOpen() || Impl->Lost.load()) return TPortResult::Failed;
    const TPortTimeouts& to = Impl->Timeouts;
    uint64_t totalMs =
        uint64_t(to.WriteTotalTimeoutMultiplier) * bytes + to.WriteTotalTimeoutConstant;
    bool hasDeadline = totalMs != 0;
    auto deadline = TClock::now() + std::chrono::milliseconds(totalMs);
    const auto* p = static_cast<const uint8_t*>(data);
    while (written < bytes) {
        if (!Impl->DsrAllowsOutput(hasDeadline, deadline)) break;
        ssize_t r = ::write(Impl->Fd, p + written, bytes - written);
        if (r > 0) {
            written += static_cast<uint32_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN) {
            if (IsLostError(errno)) Impl->Lost.store(true);
            if (written == 0) return TPortResult::Failed;
            break;
        }
        pollfd pfd{Impl->Fd, POLLOUT, 0};
        int left = MsLeft(hasDeadline, deadline);
        if (left == 0) break;
        if (::poll(&pfd, 1, left) < 0 && errno != EINTR) return TPortResult::Failed;
        if (pfd.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            Impl->Lost.store(true);
            if (written == 0) return TPortResult::Failed;
            break;
        }
    }
    if (written > 0) {
        if (Impl->WriteThrough) Impl->WaitOutputDrained(hasDeadline, deadline);
        Impl->TxArmed.store(true);
        Impl->Notify();
    }
    return TPortResult::Done;
}

TPortResult TSerialPort::Read(void* buffer, uint32_t bytes, uint32_t& got) {
    got = 0;
    if (!IsOpen() || Impl->Lost.load()) return TPortResult::Failed;
    const TPortTimeouts& to = Impl->Timeouts;
    // An interval time-out of all ones with no total time-out: return at once with what waits.
    bool immediate = to.ReadIntervalTimeout == 0xFFFFFFFFu && to.ReadTotalTimeoutMultiplier == 0 &&
                     to.ReadTotalTimeoutConstant == 0;
    uint64_t totalMs =
        uint64_t(to.ReadTotalTimeoutMultiplier) * bytes + to.ReadTotalTimeoutConstant;
    bool hasDeadline = totalMs != 0;
    auto deadline = TClock::now() + std::chrono::milliseconds(totalMs);
    auto* p = static_cast<uint8_t*>(buffer);
    bool decode = Impl->Dcb.fParity && Impl->Dcb.fErrorChar;
    while (got < bytes) {
        ssize_t r = ::read(Impl->Fd, p + got, bytes - got);
        if (r > 0) {
            got += decode ? Impl->DecodeMarks(p + got, static_cast<uint32_t>(r))
                          : static_cast<uint32_t>(r);
            continue;
        }
        if (r < 0 && errno == EINTR) continue;
        if (r < 0 && errno != EAGAIN) {
            if (IsLostError(errno)) Impl->Lost.store(true);
            if (got == 0) return TPortResult::Failed;
            break;
        }
        if (immediate) break;
        int wait = MsLeft(hasDeadline, deadline);
        if (got > 0 && to.ReadIntervalTimeout != 0)
            wait = wait < 0 ? int(to.ReadIntervalTimeout)
                            : std::min<int>(wait, to.ReadIntervalTimeout);
        if (wait == 0) break;
        pollfd pfd{Impl->Fd, POLLIN, 0};
        int n = ::poll(&pfd, 1, wait);
        if (n == 0) break;
        if (n > 0 && !(pfd.revents & POLLIN)) {
            Impl->Lost.store(true);
            if (got == 0) return TPortResult::Failed;
            break;
        }
    }
    Impl->PaceDtr();
    return TPortResult::Done;
}

TPortResult TSerialPort::ReadResult(uint32_t& got) {
    got = 0;
    return TPortResult::Failed; // reads never stay pending here
}

TPortResult TSerialPort::StartCommEventWait(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    Impl->WaitGeneration = Impl->MaskGeneration.load();
    return Impl->EvaluateWait(eventMask);
}

TPortResult TSerialPort::CommEventWaitResult(uint32_t& eventMask) {
    eventMask = 0;
    if (!IsOpen()) return TPortResult::Failed;
    return Impl->EvaluateWait(eventMask);
}

void TSerialPort::WaitForAny(const TManualResetEvent& terminate, bool commWaitPending,
                             bool readPending, const TWaitableTimer* lineTimer) {
    (void)readPending; // reads complete at once on this platform
    pollfd fds[4];
    nfds_t n = 0;
    fds[n++] = {terminate.Handle(), POLLIN, 0};
    if (lineTimer) fds[n++] = {lineTimer->Handle(), POLLIN, 0};
    int timeoutMs = -1;
    const bool port = commWaitPending && IsOpen() && !Impl->Lost.load();
    if (port) {
        uint32_t mask = Impl->Mask.load();
        fds[n++] = {Impl->NotifyFd, POLLIN, 0};
        fds[n++] = {Impl->Fd, static_cast<short>((mask & EV_RXCHAR) ? POLLIN : 0), 0};
        if ((mask & EV_TXEMPTY) && Impl->TxArmed.load()) {
            int queued = 0;
            if (::ioctl(Impl->Fd, TIOCOUTQ, &queued) == 0 && queued > 0)
                timeoutMs = Impl->DrainMs(queued);
        }
        if (Impl->WantsCounters())
            timeoutMs = timeoutMs < 0 ? ModemSampleMs : std::min(timeoutMs, ModemSampleMs);
    }
    while (::poll(fds, n, timeoutMs) < 0 && errno == EINTR) {
    }
    if (port) {
        Impl->NotifySeen = Impl->NotifySeen || (fds[n - 2].revents & POLLIN);
        Impl->HangUpSeen =
            Impl->HangUpSeen || (fds[n - 1].revents & (POLLHUP | POLLERR | POLLNVAL));
    }
}

bool TSerialPort::DeviceLost() const {
    return Impl && Impl->Lost.load();
}

} // namespace XVclCtrl
