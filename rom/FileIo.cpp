#include "FileIo.h"

#include "XVclUtil/AtomicFile.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fcntl.h>
#include <string_view>
#include <sys/stat.h>
#include <unistd.h>

namespace Rom {

namespace {

bool WriteAll(int fd, std::span<const std::uint8_t> data) {
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::write(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) return false;
        done += static_cast<std::size_t>(n);
    }
    return true;
}

} // namespace

bool FileExists(const std::string& fileName) {
    struct stat st {};
    return !fileName.empty() && ::stat(fileName.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName) {
    int fd = ::open(fileName.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) return std::nullopt;
    struct stat st {};
    if (::fstat(fd, &st) != 0 || !S_ISREG(st.st_mode)) {
        ::close(fd);
        return std::nullopt;
    }
    std::vector<std::uint8_t> data(static_cast<std::size_t>(st.st_size));
    std::size_t done = 0;
    while (done < data.size()) {
        ssize_t n = ::read(fd, data.data() + done, data.size() - done);
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<std::size_t>(n);
    }
    ::close(fd);
    data.resize(done); // a file that shrank while being read yields what was there
    return data;
}

bool WriteWholeFile(const std::string& fileName, std::span<const std::uint8_t> data) {
    int fd = ::open(fileName.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) return false;
    bool ok = WriteAll(fd, data);
    return ::close(fd) == 0 && ok;
}

bool WriteFileAtomically(const std::string& fileName, std::span<const std::uint8_t> data,
                         std::string* error) {
    errno = 0;
    if (XVclUtil::WriteFileAtomically(fileName, data.data(), data.size())) return true;
    if (error) *error = errno ? std::strerror(errno) : "cannot write the file";
    return false;
}

std::string ChangeFileExt(const std::string& fileName, const std::string& ext) {
    std::size_t folder = fileName.find_last_of("/\\");
    std::size_t start = folder == std::string::npos ? 0 : folder + 1;
    std::size_t dot = fileName.find_last_of('.');
    if (dot == std::string::npos || dot < start) return fileName + ext;
    return fileName.substr(0, dot) + ext;
}

} // namespace Rom

#include <dirent.h>
#include <strings.h>

namespace Rom {

namespace {

bool IsDirectory(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

// The entry of `dir` whose name equals `name` without regard to case, or empty.
std::string MatchInFolder(const std::string& dir, const std::string& name, bool wantDir) {
    std::string found;
    DIR* d = ::opendir(dir.empty() ? "." : dir.c_str());
    if (!d) return found;
    while (dirent* e = ::readdir(d)) {
        if (::strcasecmp(e->d_name, name.c_str()) != 0) continue;
        std::string candidate = dir.empty()         ? std::string(e->d_name)
                                : dir.back() == '/' ? dir + e->d_name
                                                    : dir + "/" + e->d_name;
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
    std::size_t slash = path.find_last_of('/');
    if (slash == std::string::npos) return MatchInFolder("", path, wantDir);
    std::string name = path.substr(slash + 1);
    if (name.empty() || name == "." || name == "..") return std::string();
    std::string parent = path.substr(0, slash);
    parent = parent.empty() ? std::string("/") : ResolveNoCase(parent, true);
    return parent.empty() ? std::string() : MatchInFolder(parent, name, wantDir);
}

} // namespace

std::string FindFileNoCase(const std::string& path) {
    if (path.empty()) return std::string();
    return ResolveNoCase(path, false);
}

} // namespace Rom
