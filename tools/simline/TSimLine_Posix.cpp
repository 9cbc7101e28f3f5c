// The simulators' line on POSIX: a non-blocking descriptor (a serial device or a
// pseudo-terminal master) set raw with termios, waited for with poll() beside an eventfd that
// Wake() signals.

#include "tools/simline/TSimLine.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/eventfd.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace SimLine {

namespace {

[[noreturn]] void Fail(const std::string& what, int error) {
    throw ESimLine("Err: " + what + ": " + std::strerror(error), error);
}

speed_t BaudConstant(unsigned baud) {
    switch (baud) {
    case 9600:
        return B9600;
    case 19200:
        return B19200;
    case 38400:
        return B38400;
    case 57600:
        return B57600;
    case 115200:
        return B115200;
    case 230400:
        return B230400;
    case 460800:
        return B460800;
    case 921600:
        return B921600;
    default:
        throw ESimLine("Err: unsupported baud rate " + std::to_string(baud), 0);
    }
}

void MakeRaw(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return; // not a terminal: a plain byte stream is fine too
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CRTSCTS | CSTOPB | PARENB);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    tcsetattr(fd, TCSANOW, &tio);
}

} // namespace

struct TSimLine::TImpl {
    int LineFd = -1;
    int PeerHoldFd = -1;
    int WakeFd = -1;
    std::string Peer;

    TImpl() {
        WakeFd = ::eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (WakeFd < 0) Fail("eventfd", errno);
    }
    ~TImpl() {
        Close();
        ::close(WakeFd);
    }
    void Close() {
        if (LineFd >= 0) ::close(LineFd);
        if (PeerHoldFd >= 0) ::close(PeerHoldFd);
        LineFd = PeerHoldFd = -1;
    }
};

TSimLine::TSimLine() = default;
TSimLine::~TSimLine() = default;
TSimLine::TSimLine(TSimLine&& other) noexcept = default;
TSimLine& TSimLine::operator=(TSimLine&& other) noexcept = default;

TSimLine TSimLine::OpenDevice(const std::string& name, unsigned baud) {
    const speed_t speed = BaudConstant(baud);
    TSimLine line;
    line.Impl = std::make_unique<TImpl>();
    TImpl& l = *line.Impl;
    l.LineFd = ::open(name.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (l.LineFd < 0) Fail("can not open " + name, errno);
    MakeRaw(l.LineFd, speed);
    l.Peer = name;
    return line;
}

TSimLine TSimLine::CreatePty(unsigned baud) {
    const speed_t speed = BaudConstant(baud);
    TSimLine line;
    line.Impl = std::make_unique<TImpl>();
    TImpl& l = *line.Impl;
    l.LineFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (l.LineFd < 0 || ::grantpt(l.LineFd) != 0 || ::unlockpt(l.LineFd) != 0)
        Fail("can not create a pseudo-terminal", errno);
    char name[128];
    if (const int e = ::ptsname_r(l.LineFd, name, sizeof name); e != 0) Fail("ptsname", e);
    l.Peer = name;
    l.PeerHoldFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (l.PeerHoldFd < 0) Fail(std::string("can not open ") + name, errno);
    MakeRaw(l.PeerHoldFd, speed);
    MakeRaw(l.LineFd, speed);
    if (::fcntl(l.LineFd, F_SETFL, ::fcntl(l.LineFd, F_GETFL) | O_NONBLOCK) != 0)
        Fail("non-blocking", errno);
    return line;
}

int TSimLine::Fd() const {
    return Impl ? Impl->LineFd : -1;
}

bool TSimLine::IsOpen() const {
    return Impl && Impl->LineFd >= 0;
}

const std::string& TSimLine::PeerPath() const {
    static const std::string none;
    return Impl ? Impl->Peer : none;
}

TLineWait TSimLine::WaitReadable(int timeoutMs) {
    if (!IsOpen()) return TLineWait::Failed;
    pollfd fds[2] = {{Impl->WakeFd, POLLIN, 0}, {Impl->LineFd, POLLIN, 0}};
    const int r = ::poll(fds, 2, timeoutMs < 0 ? -1 : timeoutMs);
    if (r < 0) return errno == EINTR ? TLineWait::TimedOut : TLineWait::Failed;
    if (fds[0].revents) {
        std::uint64_t count = 0;
        (void)!::read(Impl->WakeFd, &count, sizeof count);
        return TLineWait::Woken;
    }
    if (fds[1].revents & POLLIN) return TLineWait::Readable;
    if (fds[1].revents & (POLLHUP | POLLERR | POLLNVAL)) return TLineWait::HungUp;
    return TLineWait::TimedOut;
}

void TSimLine::Wake() {
    if (!Impl) return;
    const std::uint64_t one = 1;
    (void)!::write(Impl->WakeFd, &one, sizeof one);
}

std::size_t TSimLine::Read(void* buffer, std::size_t size) {
    if (!IsOpen()) return 0;
    const ssize_t n = ::read(Impl->LineFd, buffer, size);
    return n > 0 ? static_cast<std::size_t>(n) : 0;
}

long TSimLine::Write(const void* data, std::size_t size, int waitMs) {
    if (!IsOpen()) return -1;
    const auto* p = static_cast<const std::uint8_t*>(data);
    std::size_t done = 0;
    while (done < size) {
        const ssize_t n = ::write(Impl->LineFd, p + done, size - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
        } else if (n < 0 && errno == EINTR) {
            continue;
        } else if (n < 0 && errno == EAGAIN && waitMs > 0) {
            pollfd out{Impl->LineFd, POLLOUT, 0};
            if (::poll(&out, 1, waitMs) <= 0) break;
        } else {
            if (n < 0 && errno != EAGAIN && done == 0) return -1;
            break;
        }
    }
    return static_cast<long>(done);
}

void TSimLine::Close() {
    if (Impl) Impl->Close();
}

} // namespace SimLine
