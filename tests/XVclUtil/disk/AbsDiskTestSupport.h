#pragma once
// Disk images for the raw disk tests: sparse files with an MBR partition table built byte by
// byte (independently of the code under test), sectors stamped with their own number, drive
// letters mapped for the length of a test, and loop devices where the machine allows them.

#include "XVclUtil/TempDir.h"
#include "XVclUtil/disk/AbsDiskDriveTable.h"

#include <cstdint>
#include <cstring>
#include <fcntl.h>
#include <linux/loop.h>
#include <string>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace AbsDiskTest {

struct TPart {
    uint8_t Type = 0; // 0: unused slot
    uint32_t First = 0;
    uint32_t Count = 0;
    uint8_t Boot = 0x00;
};

// A 512-byte sector whose bytes are derived from its number and a seed.
inline std::vector<uint8_t> Stamp(uint64_t sector, uint8_t seed = 0, uint32_t size = 512) {
    std::vector<uint8_t> bytes(size);
    for (uint32_t i = 0; i < size; ++i)
        bytes[i] = static_cast<uint8_t>((sector * 131 + i * 7 + seed) ^ (sector >> 8));
    std::memcpy(bytes.data(), &sector, sizeof sector);
    return bytes;
}

inline void PutLE32(uint8_t* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<uint8_t>(v >> (8 * i));
}

inline std::vector<uint8_t> MbrSector(const std::vector<TPart>& parts) {
    std::vector<uint8_t> mbr(512, 0);
    for (std::size_t i = 0; i < parts.size() && i < 4; ++i) {
        uint8_t* e = mbr.data() + 446 + 16 * i;
        e[0] = parts[i].Boot;
        e[1] = e[2] = e[3] = 0xFF; // CHS fields unused
        e[4] = parts[i].Type;
        e[5] = e[6] = e[7] = 0xFF;
        PutLE32(e + 8, parts[i].First);
        PutLE32(e + 12, parts[i].Count);
    }
    mbr[510] = 0x55;
    mbr[511] = 0xAA;
    return mbr;
}

inline bool WriteAt(const std::string& path, uint64_t offset, const std::vector<uint8_t>& bytes) {
    const int fd = ::open(path.c_str(), O_WRONLY);
    if (fd < 0) return false;
    const bool ok = ::pwrite(fd, bytes.data(), bytes.size(), static_cast<off_t>(offset)) ==
                    static_cast<ssize_t>(bytes.size());
    ::close(fd);
    return ok;
}

inline std::vector<uint8_t> ReadAt(const std::string& path, uint64_t offset, std::size_t n) {
    std::vector<uint8_t> bytes(n);
    const int fd = ::open(path.c_str(), O_RDONLY);
    if (fd < 0) return {};
    const ssize_t got = ::pread(fd, bytes.data(), n, static_cast<off_t>(offset));
    ::close(fd);
    bytes.resize(got < 0 ? 0 : static_cast<std::size_t>(got));
    return bytes;
}

inline uint64_t FileSize(const std::string& path) {
    struct stat st;
    return ::stat(path.c_str(), &st) == 0 ? static_cast<uint64_t>(st.st_size) : 0;
}

// A sparse image of totalSectors 512-byte sectors; parts become the MBR unless empty.
inline bool MakeImage(const std::string& path, uint64_t totalSectors,
                      const std::vector<TPart>& parts = {}) {
    const int fd = ::open(path.c_str(), O_RDWR | O_CREAT | O_TRUNC, 0644);
    if (fd < 0) return false;
    const bool sized = ::ftruncate(fd, static_cast<off_t>(totalSectors * 512)) == 0;
    ::close(fd);
    return sized && (parts.empty() || WriteAt(path, 0, MbrSector(parts)));
}

// Stamps sectors [first, first + count) of the image.
inline bool StampSectors(const std::string& path, uint64_t first, uint64_t count,
                         uint8_t seed = 0) {
    for (uint64_t s = first; s < first + count; ++s)
        if (!WriteAt(path, s * 512, Stamp(s, seed))) return false;
    return true;
}

// Maps a drive letter for the life of the object.
class TMappedDrive {
public:
    TMappedDrive(char letter, const std::string& path, unsigned partition = 0) : Letter(letter) {
        XVclUtil::TAbsDiskDriveTable::Map(letter, path, partition);
    }
    ~TMappedDrive() { XVclUtil::TAbsDiskDriveTable::Unmap(Letter); }
    TMappedDrive(const TMappedDrive&) = delete;
    TMappedDrive& operator=(const TMappedDrive&) = delete;

private:
    char Letter;
};

// A loop device over an image file (or bytes [offset, offset + size) of it), detached on
// destruction. Path is empty (and Why says why) when this machine does not allow one: not
// root, no loop driver, or the attach refused.
class TLoopDevice {
public:
    explicit TLoopDevice(const std::string& image, uint64_t offset = 0, uint64_t size = 0) {
        if (::geteuid() != 0) {
            Why = "loop devices need root";
            return;
        }
        const int control = ::open("/dev/loop-control", O_RDWR | O_CLOEXEC);
        if (control < 0) {
            Why = "no /dev/loop-control";
            return;
        }
        const int number = ::ioctl(control, LOOP_CTL_GET_FREE);
        ::close(control);
        if (number < 0) {
            Why = "no free loop device";
            return;
        }
        const std::string path = "/dev/loop" + std::to_string(number);
        const int file = ::open(image.c_str(), O_RDWR | O_CLOEXEC);
        Fd = ::open(path.c_str(), O_RDWR | O_CLOEXEC);
        bool attached = file >= 0 && Fd >= 0 && ::ioctl(Fd, LOOP_SET_FD, file) == 0;
        if (file >= 0) ::close(file);
        if (attached && (offset != 0 || size != 0)) {
            loop_info64 info{};
            info.lo_offset = offset;
            info.lo_sizelimit = size;
            attached = ::ioctl(Fd, LOOP_SET_STATUS64, &info) == 0;
            if (!attached) ::ioctl(Fd, LOOP_CLR_FD, 0);
        }
        if (!attached) {
            Why = "attaching " + path + " failed";
            if (Fd >= 0) ::close(Fd);
            Fd = -1;
            return;
        }
        Path = path;
    }
    ~TLoopDevice() {
        if (Fd < 0) return;
        ::ioctl(Fd, LOOP_CLR_FD, 0);
        ::close(Fd);
    }
    TLoopDevice(const TLoopDevice&) = delete;
    TLoopDevice& operator=(const TLoopDevice&) = delete;

    std::string Path;
    std::string Why;

private:
    int Fd = -1;
};

} // namespace AbsDiskTest
