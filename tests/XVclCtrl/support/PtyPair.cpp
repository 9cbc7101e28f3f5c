#include "PtyPair.h"

#include <chrono>
#include <cstdlib>
#include <dirent.h>
#include <fcntl.h>
#include <poll.h>
#include <stdexcept>
#include <unistd.h>

namespace TestSupport {

TPtyPair::TPtyPair() {
    Master = ::posix_openpt(O_RDWR | O_NOCTTY | O_CLOEXEC);
    if (Master < 0 || ::grantpt(Master) != 0 || ::unlockpt(Master) != 0)
        throw std::runtime_error("cannot create a pseudo-terminal pair");
    char name[128];
    if (::ptsname_r(Master, name, sizeof name) != 0)
        throw std::runtime_error("cannot name the pseudo-terminal slave");
    Slave = name;
}

TPtyPair::~TPtyPair() {
    CloseMaster();
}

void TPtyPair::CloseMaster() {
    if (Master >= 0) ::close(Master);
    Master = -1;
}

void TPtyPair::Write(const std::string& bytes) {
    Write(bytes.data(), bytes.size());
}

void TPtyPair::Write(const void* data, std::size_t n) {
    const char* p = static_cast<const char*>(data);
    while (n > 0) {
        ssize_t r = ::write(Master, p, n);
        if (r < 0) {
            pollfd pfd{Master, POLLOUT, 0};
            ::poll(&pfd, 1, 100);
            continue;
        }
        p += r;
        n -= static_cast<std::size_t>(r);
    }
}

std::string TPtyPair::ReadFor(int ms) {
    std::string out;
    char buf[4096];
    for (;;) {
        pollfd pfd{Master, POLLIN, 0};
        if (::poll(&pfd, 1, ms) <= 0 || !(pfd.revents & POLLIN)) break;
        ssize_t r = ::read(Master, buf, sizeof buf);
        if (r <= 0) break;
        out.append(buf, static_cast<std::size_t>(r));
    }
    return out;
}

std::string TPtyPair::ReadExactly(std::size_t n, int timeoutMs) {
    std::string out;
    char buf[4096];
    auto deadline = std::chrono::steady_clock::now() + std::chrono::milliseconds(timeoutMs);
    while (out.size() < n) {
        auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{Master, POLLIN, 0};
        if (::poll(&pfd, 1, static_cast<int>(left.count())) <= 0 || !(pfd.revents & POLLIN)) break;
        std::size_t want = std::min(sizeof buf, n - out.size());
        ssize_t r = ::read(Master, buf, want);
        if (r <= 0) break;
        out.append(buf, static_cast<std::size_t>(r));
    }
    return out;
}

int CountOpenDescriptors() {
    int count = 0;
    DIR* dir = ::opendir("/proc/self/fd");
    if (!dir) return -1;
    while (dirent* e = ::readdir(dir))
        if (e->d_name[0] != '.') ++count;
    ::closedir(dir);
    return count - 1; // the directory stream's own descriptor
}

} // namespace TestSupport
