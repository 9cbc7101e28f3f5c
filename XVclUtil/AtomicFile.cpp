#include "AtomicFile.h"

#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#ifdef _WIN32
#include <windows.h>
#endif

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

#ifndef _WIN32
// Mode for the new file: the old file's, or what a plain create would give under the umask.
mode_t TargetMode(const std::string& path) {
    struct stat st;
    if (::stat(path.c_str(), &st) == 0) return st.st_mode & 07777;
    const mode_t mask = ::umask(0);
    ::umask(mask);
    return 0666 & ~mask;
}
#endif

// Gives the finished temporary file the target's permissions. Windows files carry no mode bits
// beyond read-only, which a replace keeps from neither file.
bool ApplyTargetMode(int fd, const std::string& path) {
#ifdef _WIN32
    (void)fd;
    (void)path;
    return true;
#else
    return ::fchmod(fd, TargetMode(path)) == 0;
#endif
}

// Puts the temporary file in place of the target in one step. The C library's rename refuses
// an existing target on Windows, so there the file is moved with replace and write-through.
bool ReplaceTarget(const std::string& temp, const std::string& path) {
#ifdef _WIN32
    if (::MoveFileExA(temp.c_str(), path.c_str(),
                      MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
        return true;
    errno = ::GetLastError() == ERROR_ACCESS_DENIED ? EACCES : EIO;
    return false;
#else
    return ::rename(temp.c_str(), path.c_str()) == 0;
#endif
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
    bool ok = Flush() && (ApplyTargetMode(Fd, Path) || Fail());
    ok = (::close(Fd) == 0 || Fail()) && ok;
    Fd = -1;
    if (!ok || !ReplaceTarget(TempPath, Path)) return Fail();
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
