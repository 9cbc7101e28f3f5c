#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {

constexpr std::size_t BufferBytes = 1 << 16;

bool WriteAll(int fd, const char* p, std::size_t n) {
    while (n > 0) {
        const ssize_t done = ::write(fd, p, n);
        if (done < 0 && errno == EINTR) continue;
        if (done <= 0) {
            if (done == 0) errno = EIO; // no progress: never loop on it
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

TAtomicFileWriter::TAtomicFileWriter(const std::string& path) : Path(path) {
    TempPath = path + ".tmpXXXXXX";
    Fd = ::mkstemp(TempPath.data());
    if (Fd < 0) {
        Fail();
        TempPath.clear();
    }
    Buffer.reserve(BufferBytes);
}

TAtomicFileWriter::~TAtomicFileWriter() {
    if (Fd >= 0) ::close(Fd);
    if (!TempPath.empty()) ::unlink(TempPath.c_str());
}

bool TAtomicFileWriter::Fail() {
    if (!Failed && ErrorNumber == 0) ErrorNumber = errno;
    Failed = true;
    return false;
}

std::string TAtomicFileWriter::ErrorText() const {
    if (ErrorNumber != 0) return std::strerror(ErrorNumber);
    return Failed ? "cannot write the file" : std::string();
}

bool TAtomicFileWriter::Flush() {
    if (!Failed && !WriteAll(Fd, Buffer.data(), Buffer.size())) Fail();
    Buffer.clear();
    return !Failed;
}

void TAtomicFileWriter::Write(const void* data, std::size_t size) {
    if (Fd < 0 || Failed) return;
    if (Buffer.size() + size > BufferBytes) {
        if (!Flush()) return;
        if (size > BufferBytes) {
            if (!WriteAll(Fd, static_cast<const char*>(data), size)) Fail();
            return;
        }
    }
    Buffer.append(static_cast<const char*>(data), size);
}

bool TAtomicFileWriter::Commit() {
    if (Fd < 0) return false;
    bool ok = Flush() && (::fchmod(Fd, TargetMode(Path)) == 0 || Fail());
    ok = (::close(Fd) == 0 || Fail()) && ok;
    Fd = -1;
    if (!ok || ::rename(TempPath.c_str(), Path.c_str()) != 0) return Fail();
    TempPath.clear();
    return true;
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error) {
    TAtomicFileWriter writer(path);
    writer.Write(data, size);
    if (writer.Commit()) return true;
    if (error) *error = writer.ErrorText();
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string* error) {
    return WriteFileAtomically(path, data.data(), data.size(), error);
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data,
                         std::string* error) {
    return WriteFileAtomically(path, data.data(), data.size(), error);
}

} // namespace XVclUtil
