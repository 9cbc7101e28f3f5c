#include "AbsDiskPosixIo.h"

#include <cerrno>
#include <fcntl.h>
#include <linux/fs.h>
#include <linux/hdreg.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {

// One read or write moves at most this much (Linux caps a transfer just below 2 GiB).
constexpr uint64_t kMaxChunk = 1u << 30;

bool OffsetFits(uint64_t bytes, uint64_t offset) {
    constexpr uint64_t kMaxOffset = static_cast<uint64_t>(INT64_MAX);
    return offset <= kMaxOffset && bytes <= kMaxOffset - offset;
}

} // namespace

int AbsDiskOpenFile(const std::string& path, bool exclusive, bool writeThrough) {
    int flags = O_RDWR | O_CLOEXEC;
    if (exclusive) flags |= O_EXCL;
    if (writeThrough) flags |= O_DSYNC;
    // O_EXCL without O_CREAT claims block devices and is ignored for other files.
    return ::open(path.c_str(), flags);
}

bool AbsDiskLockFile(int fd) {
    while (::flock(fd, LOCK_EX | LOCK_NB) != 0)
        if (errno != EINTR) return false;
    return true;
}

bool AbsDiskUnlockFile(int fd) {
    return ::flock(fd, LOCK_UN) == 0;
}

bool AbsDiskIsBlockDevice(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 && S_ISBLK(st.st_mode);
}

bool AbsDiskQueryGeometry(int fd, TAbsDiskGeometry& geometry) {
    geometry = TAbsDiskGeometry{};
    struct stat st;
    if (::fstat(fd, &st) != 0) return false;
    if (S_ISREG(st.st_mode)) {
        geometry.BytesPerSector = 512;
        geometry.Bytes = static_cast<uint64_t>(st.st_size);
        return true;
    }
    if (!S_ISBLK(st.st_mode)) return false;
    geometry.IsBlockDevice = true;
    int sectorSize = 0;
    uint64_t bytes = 0;
    if (::ioctl(fd, BLKSSZGET, &sectorSize) != 0 || sectorSize <= 0) return false;
    if (::ioctl(fd, BLKGETSIZE64, &bytes) != 0) return false;
    geometry.BytesPerSector = static_cast<uint32_t>(sectorSize);
    geometry.Bytes = bytes;
    hd_geometry chs{};
    if (::ioctl(fd, HDIO_GETGEO, &chs) == 0 && chs.heads != 0 && chs.sectors != 0) {
        geometry.Heads = chs.heads;
        geometry.SectorsPerTrack = chs.sectors;
        geometry.Cylinders = bytes / geometry.BytesPerSector / (uint64_t(chs.heads) * chs.sectors);
    }
    return true;
}

bool AbsDiskReadAt(int fd, void* buffer, uint64_t bytes, uint64_t offset) {
    if (!OffsetFits(bytes, offset)) return false;
    auto* p = static_cast<char*>(buffer);
    while (bytes > 0) {
        const std::size_t chunk = static_cast<std::size_t>(bytes < kMaxChunk ? bytes : kMaxChunk);
        const ssize_t n = ::pread(fd, p, chunk, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false; // error, or the end of the device before the last byte
        p += n;
        bytes -= static_cast<uint64_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

bool AbsDiskWriteAt(int fd, const void* buffer, uint64_t bytes, uint64_t offset) {
    if (!OffsetFits(bytes, offset)) return false;
    auto* p = static_cast<const char*>(buffer);
    while (bytes > 0) {
        const std::size_t chunk = static_cast<std::size_t>(bytes < kMaxChunk ? bytes : kMaxChunk);
        const ssize_t n = ::pwrite(fd, p, chunk, static_cast<off_t>(offset));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        p += n;
        bytes -= static_cast<uint64_t>(n);
        offset += static_cast<uint64_t>(n);
    }
    return true;
}

bool AbsDiskFlush(int fd, bool blockDevice) {
    bool ok = ::fsync(fd) == 0;
    if (blockDevice) ok = ::ioctl(fd, BLKFLSBUF, 0) == 0 && ok;
    return ok;
}

bool AbsDiskRereadPartitions(int fd) {
    return ::ioctl(fd, BLKRRPART, 0) == 0;
}

} // namespace XVclUtil
