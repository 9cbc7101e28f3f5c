#include "DiskOutputFile.h"

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Cli {

namespace {

const char* Refusal(mode_t mode) {
    if (S_ISBLK(mode)) return "it is a block device (disk write writes sectors to a disk)";
    if (S_ISDIR(mode)) return "it is a folder";
    return "it is neither a regular file, a character device nor a FIFO";
}

} // namespace

TDiskOutputFile::~TDiskOutputFile() {
    if (Fd >= 0) ::close(Fd);
}

bool TDiskOutputFile::Open(const std::string& path, std::string& error) {
    std::string target = path;
    struct stat st;
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char* resolved = ::realpath(path.c_str(), nullptr);
        if (resolved == nullptr) {
            error = std::string("the symbolic link leads nowhere: ") + std::strerror(errno);
            return false;
        }
        target = resolved;
        std::free(resolved);
    }
    if (::stat(target.c_str(), &st) != 0) {
        if (errno != ENOENT) {
            error = std::strerror(errno);
            return false;
        }
        st.st_mode = S_IFREG; // a new name becomes a regular file
    }
    if (!S_ISREG(st.st_mode)) return OpenInPlace(target, st.st_mode, error);
    Atomic = std::make_unique<XVclUtil::TAtomicFileWriter>(target);
    if (Atomic->IsOpen()) return true;
    error = Atomic->ErrorText();
    return false;
}

bool TDiskOutputFile::OpenInPlace(const std::string& path, mode_t mode, std::string& error) {
    if (!S_ISCHR(mode) && !S_ISFIFO(mode)) {
        error = Refusal(mode);
        return false;
    }
    // Without a reader a FIFO refuses a non-blocking open (ENXIO) instead of hanging.
    Fd = ::open(path.c_str(), O_WRONLY | O_NOCTTY | O_NONBLOCK | O_NOFOLLOW | O_CLOEXEC);
    if (Fd < 0) {
        error = errno == ENXIO ? "it is a FIFO that nobody reads" : std::strerror(errno);
        return false;
    }
    // What was opened must still be what was looked at: never a regular file written in place.
    struct stat st;
    if (::fstat(Fd, &st) != 0 || !(S_ISCHR(st.st_mode) || S_ISFIFO(st.st_mode))) {
        error = "it changed while it was opened";
        return false;
    }
    ::fcntl(Fd, F_SETFL, ::fcntl(Fd, F_GETFL) & ~O_NONBLOCK);
    return true;
}

bool TDiskOutputFile::Write(const void* data, std::size_t size) {
    if (Atomic) {
        Atomic->Write(data, size);
        return true;
    }
    const char* p = static_cast<const char*>(data);
    while (size > 0 && WriteError == 0) {
        const ssize_t n = ::write(Fd, p, size);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) {
            WriteError = n < 0 ? errno : EIO;
            break;
        }
        p += n;
        size -= static_cast<std::size_t>(n);
    }
    return WriteError == 0;
}

bool TDiskOutputFile::Commit(std::string& error) {
    if (Atomic) {
        if (Atomic->Commit()) return true;
        error = Atomic->ErrorText();
        return false;
    }
    const int fd = Fd;
    Fd = -1;
    if (::close(fd) != 0 && WriteError == 0) WriteError = errno;
    if (WriteError == 0) return true;
    error = std::strerror(WriteError);
    return false;
}

} // namespace Cli
