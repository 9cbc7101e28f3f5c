#include "tools/gatewaysim/TSimPort.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <termios.h>
#include <unistd.h>

namespace GatewaySim {

namespace {

bool MakeRaw(int fd, speed_t speed) {
    termios tio{};
    if (tcgetattr(fd, &tio) != 0) return false;
    cfmakeraw(&tio);
    tio.c_cflag |= CLOCAL | CREAD;
    tio.c_cc[VMIN] = 1;
    tio.c_cc[VTIME] = 0;
    cfsetispeed(&tio, speed);
    cfsetospeed(&tio, speed);
    return tcsetattr(fd, TCSANOW, &tio) == 0;
}

} // namespace

TSimPort::~TSimPort() {
    Close();
}

bool TSimPort::Fail(const std::string& what) {
    LastError = what + ": " + std::strerror(errno);
    Close();
    return false;
}

bool TSimPort::CreatePty() {
    Close();
    LineFd = posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (LineFd < 0) return Fail("posix_openpt");
    if (grantpt(LineFd) != 0 || unlockpt(LineFd) != 0) return Fail("grantpt/unlockpt");
    char name[128];
    if (ptsname_r(LineFd, name, sizeof name) != 0) return Fail("ptsname");
    Host = name;
    HostHoldFd = open(name, O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (HostHoldFd < 0) return Fail("open " + Host);
    if (!MakeRaw(HostHoldFd, B38400)) return Fail("raw mode on " + Host);
    if (fcntl(LineFd, F_SETFL, fcntl(LineFd, F_GETFL) | O_NONBLOCK) != 0)
        return Fail("non-blocking");
    return true;
}

bool TSimPort::OpenDevice(const std::string& path) {
    Close();
    LineFd = open(path.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (LineFd < 0) return Fail("open " + path);
    if (!MakeRaw(LineFd, B38400)) return Fail("raw mode on " + path);
    Host = path;
    return true;
}

void TSimPort::Close() {
    if (LineFd >= 0) close(LineFd);
    if (HostHoldFd >= 0) close(HostHoldFd);
    LineFd = HostHoldFd = -1;
}

} // namespace GatewaySim
