#include "tools/controllersim/TSimLine.h"

#include "XVclUtil/EXGeneral.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

namespace ControllerSim {

namespace {

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
        throw XVclUtil::EXGeneral("Err: unsupported baud rate %u", baud);
    }
}

void MakeRaw(int fd, unsigned baud) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return; // not a terminal: a plain byte stream is fine too
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cflag &= ~(CRTSCTS | CSTOPB | PARENB);
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, BaudConstant(baud));
    cfsetospeed(&tio, BaudConstant(baud));
    tcsetattr(fd, TCSANOW, &tio);
}

} // namespace

TSimLine::~TSimLine() {
    Close();
}

TSimLine::TSimLine(TSimLine&& other) noexcept
    : LineFd(std::exchange(other.LineFd, -1)), PeerHoldFd(std::exchange(other.PeerHoldFd, -1)),
      Peer(std::move(other.Peer)) {}

TSimLine& TSimLine::operator=(TSimLine&& other) noexcept {
    if (this != &other) {
        Close();
        LineFd = std::exchange(other.LineFd, -1);
        PeerHoldFd = std::exchange(other.PeerHoldFd, -1);
        Peer = std::move(other.Peer);
    }
    return *this;
}

TSimLine TSimLine::OpenDevice(const std::string& path, unsigned baud, int* systemError) {
    const speed_t check = BaudConstant(baud);
    (void)check;
    TSimLine line;
    line.LineFd = ::open(path.c_str(), O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (systemError) *systemError = line.LineFd < 0 ? errno : 0;
    if (line.LineFd < 0)
        throw XVclUtil::EXGeneral("Err: can not open %s: %s", path.c_str(), std::strerror(errno));
    MakeRaw(line.LineFd, baud);
    line.Peer = path;
    return line;
}

TSimLine TSimLine::CreatePty() {
    TSimLine line;
    line.LineFd = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line.LineFd < 0 || ::grantpt(line.LineFd) != 0 || ::unlockpt(line.LineFd) != 0)
        throw XVclUtil::EXGeneral("Err: can not create a pseudo-terminal: %s",
                                  std::strerror(errno));
    char name[128];
    if (::ptsname_r(line.LineFd, name, sizeof name) != 0)
        throw XVclUtil::EXGeneral("Err: ptsname: %s", std::strerror(errno));
    line.Peer = name;
    line.PeerHoldFd = ::open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (line.PeerHoldFd < 0)
        throw XVclUtil::EXGeneral("Err: can not open %s: %s", name, std::strerror(errno));
    MakeRaw(line.PeerHoldFd, 115200);
    MakeRaw(line.LineFd, 115200);
    return line;
}

void TSimLine::Close() {
    if (LineFd >= 0) ::close(LineFd);
    if (PeerHoldFd >= 0) ::close(PeerHoldFd);
    LineFd = PeerHoldFd = -1;
}

} // namespace ControllerSim
