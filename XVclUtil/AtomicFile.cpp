#include "AtomicFile.h"

#include <cerrno>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace XVclUtil {

namespace {

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += done;
        n -= static_cast<std::size_t>(done);
    }
    return true;
}

// Mode for the new file: the old file's, or what a plain create would give under the umask.
mode_t TargetMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}

} // namespace

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size) {
    std::string pattern = path + ".tmpXXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkstemp(name.data());
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, static_cast<const char*>(data), size) &&
                    ::fchmod(fd, TargetMode(path)) == 0;
    const bool closed = ::close(fd) == 0;
    if (!ok || !closed || ::rename(name.data(), path.c_str()) != 0) {
        ::unlink(name.data());
        return false;
    }
    return true;
}

bool WriteFileAtomically(const std::string& path, const std::string& data) {
    return WriteFileAtomically(path, data.data(), data.size());
}

} // namespace XVclUtil
