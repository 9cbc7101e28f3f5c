// The atomic writer's buffering and error reporting, the same on every system; the temporary
// file and the replace are in AtomicFile_Posix.cpp and AtomicFile_Win32.cpp.
#include "AtomicFile.h"
#include "AtomicFileParts.h"
#include "FileUtil.h"

#include <algorithm>
#include <atomic>
#include <cctype>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <unistd.h>

namespace XVclUtil {

namespace AtomicFileParts {

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

std::string FolderOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(Separators);
    if (slash == std::string::npos) return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

std::string NameOf(const std::string& path) {
    const std::size_t slash = path.find_last_of(Separators);
    return slash == std::string::npos ? path : path.substr(slash + 1);
}

bool IsTempRandomPart(const char* s) {
    std::size_t n = 0;
    for (; s[n]; ++n)
        if (!std::isalnum(static_cast<unsigned char>(s[n]))) return false;
    return n == TempRandomChars;
}

std::string RandomSuffix() {
    static std::atomic<unsigned> counter{0};
    static const char digits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789";
    unsigned long long seed = static_cast<unsigned long long>(
                                  std::chrono::steady_clock::now().time_since_epoch().count()) ^
                              (static_cast<unsigned long long>(::getpid()) << 20) ^
                              (counter++ * 0x9E3779B97F4A7C15ull);
    std::string s;
    for (std::size_t i = 0; i < TempRandomChars; ++i, seed /= 62) s += digits[seed % 62];
    return s;
}

} // namespace AtomicFileParts

using namespace AtomicFileParts;

bool TAtomicFileWriter::Fail(int error) {
    if (!Failed) ErrorNumber = error;
    Failed = true;
    return false;
}

std::string TAtomicFileWriter::ErrorText() const {
    if (ErrorNumber == NotRegularFile) return "not a regular file";
    if (ErrorNumber != 0) return std::strerror(ErrorNumber);
    return Failed ? "cannot write the file" : std::string();
}

bool TAtomicFileWriter::TargetHolds(std::span<const std::uint8_t> data) const {
    // Only a regular file is read: opening a device can act on it.
    if (Failed || !FileExists(Target)) return false;
    const auto held = ReadWholeFile(Target, data.size());
    return held && std::equal(held->begin(), held->end(), data.begin(), data.end());
}

bool TAtomicFileWriter::Flush() {
    if (!Failed && !WriteAll(Fd, Buffer.data(), Buffer.size())) Fail(errno);
    Buffer.clear();
    return !Failed;
}

void TAtomicFileWriter::Write(const void* data, std::size_t size) {
    if (Fd < 0 || Failed || Synced) return;
    if (Buffer.size() + size > BufferBytes) {
        if (!Flush()) return;
        if (size > BufferBytes) {
            if (!WriteAll(Fd, static_cast<const char*>(data), size)) Fail(errno);
            return;
        }
    }
    Buffer.append(static_cast<const char*>(data), size);
}

bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size,
                         std::string* error, TLinkPolicy links) {
    TAtomicFileWriter writer(path, links);
    writer.Write(data, size);
    if (writer.Commit()) return true;
    if (error) *error = writer.ErrorText();
    return false;
}

bool WriteFileAtomically(const std::string& path, const std::string& data, std::string* error,
                         TLinkPolicy links) {
    return WriteFileAtomically(path, data.data(), data.size(), error, links);
}

bool WriteFileAtomically(const std::string& path, std::span<const std::uint8_t> data,
                         std::string* error, TLinkPolicy links) {
    return WriteFileAtomically(path, data.data(), data.size(), error, links);
}

} // namespace XVclUtil
