#include "FileUtil.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <strings.h>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

namespace {

#ifdef _WIN32
// Binary mode: the C library would otherwise translate line ends; no FIFOs to guard against.
constexpr int kReadFlags = O_RDONLY | O_BINARY | O_NOINHERIT;
constexpr int kWriteFlags = O_WRONLY | O_BINARY | O_NOINHERIT;
#else
// O_NONBLOCK: a FIFO under the name must not hang the open; regular files ignore it.
constexpr int kReadFlags = O_RDONLY | O_CLOEXEC | O_NONBLOCK;
constexpr int kWriteFlags = O_WRONLY | O_CLOEXEC;
#endif

bool WriteAll(int fd, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        const ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    return dir.back() == '/' ? dir + name : dir + "/" + name;
}

// The entry of dir whose name equals name without regard to case and which is a folder
// (wantDir) or a regular file; empty when there is none.
std::string MatchInFolder(const std::string& dir, const std::string& name, bool wantDir) {
    std::string found;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return found;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) != 0) continue;
        std::string candidate = dir.empty() ? std::string(e->d_name) : JoinPath(dir, e->d_name);
        if (wantDir ? IsDirectory(candidate) : FileExists(candidate)) {
            found = candidate;
            break;
        }
    }
    ::closedir(d);
    return found;
}

std::string ResolveNoCase(const std::string& path, bool wantDir) {
    if (wantDir ? IsDirectory(path) : FileExists(path)) return path;
    const std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return MatchInFolder("", path, wantDir);
    const std::string name = path.substr(slash + 1);
    std::string parent = path.substr(0, slash);
    parent = parent.empty() ? std::string("/") : ResolveNoCase(parent, true);
    if (parent.empty()) return std::string();
    if (name.empty() || name == "." || name == "..") {
        // "folder/", "folder/." or "folder/..": only a folder, once its parent is found.
        if (!wantDir) return std::string();
        const std::string joined = name.empty() ? parent : JoinPath(parent, name);
        return IsDirectory(joined) ? joined : std::string();
    }
    return MatchInFolder(parent, name, wantDir);
}

} // namespace

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && ::stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

bool PathExists(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0;
}

std::string NotRegularFileReason(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::strerror(path.empty() ? ENOENT : errno);
    if (S_ISREG(st.st_mode)) return std::string();
    if (S_ISDIR(st.st_mode)) return "a folder";
#ifndef _WIN32
    if (S_ISFIFO(st.st_mode)) return "a FIFO";
    if (S_ISCHR(st.st_mode) || S_ISBLK(st.st_mode)) return "a device";
#else
    if (S_ISCHR(st.st_mode)) return "a device";
#endif
    return "not a regular file";
}

std::optional<std::uint64_t> RegularFileSize(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st.st_size);
}

std::optional<TFileStamp> RegularFileStamp(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    TFileStamp stamp;
    stamp.Size = static_cast<std::uint64_t>(st.st_size);
#ifdef _WIN32
    stamp.ModifiedNs = static_cast<std::int64_t>(st.st_mtime) * 1'000'000'000;
#else
    stamp.ModifiedNs =
        static_cast<std::int64_t>(st.st_mtim.tv_sec) * 1'000'000'000 + st.st_mtim.tv_nsec;
#endif
    stamp.Device = static_cast<std::uint64_t>(st.st_dev);
    stamp.Inode = static_cast<std::uint64_t>(st.st_ino);
    return stamp;
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::uint64_t maxBytes) {
    const int fd = ::open(path.c_str(), kReadFlags);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode) ||
        static_cast<std::uint64_t>(st.st_size) > maxBytes) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    bool failed = false;
    while (done < data.size()) {
        const ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n < 0) failed = true;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    if (failed) return std::nullopt;
    data.resize(done);
    return data;
}

bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> data) {
    const int fd = ::open(path.c_str(), kWriteFlags | O_CREAT | O_TRUNC, 0666);
    if (fd < 0) return false;
    const bool ok = WriteAll(fd, data);
    return ::close(fd) == 0 && ok;
}

void DeleteFileIfExists(const std::string& path) {
    if (FileExists(path)) std::remove(path.c_str());
}

std::string FindFileNoCase(const std::string& path) {
    if (path.empty()) return std::string();
    return ResolveNoCase(path, false);
}

std::string ResolveFileCase(const std::string& path) {
    if (path.empty() || PathExists(path)) return path;
    const std::string found = FindFileNoCase(path);
    return found.empty() ? path : found;
}

bool FileExistsAnyCase(const std::string& path) {
    return FileExists(ResolveFileCase(path));
}

std::string FileNameOfPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    const std::size_t folder = fileName.find_last_of("/\\");
    const std::size_t start = folder == std::string::npos ? 0 : folder + 1;
    const std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot < start) return fileName + ext;
    return fileName.substr(0, dot) + ext;
}

} // namespace XVclUtil
