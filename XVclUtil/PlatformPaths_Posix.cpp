#include "PlatformPaths.h"

#include "PathSyntax.h"

#include <cerrno>
#include <climits>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace XVclUtil {

const char PathDelim = '/';

const TPathSyntax& PlatformPathSyntax() {
    return PosixPathSyntax;
}

std::string ExecutableDir() {
    char path[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", path, sizeof path - 1);
    if (n <= 0) return CurrentDir() + PathDelim;
    const std::string full(path, static_cast<std::size_t>(n));
    return full.substr(0, full.find_last_of('/') + 1);
}

std::string CurrentDir() {
    char path[PATH_MAX];
    if (!::getcwd(path, sizeof path)) return ".";
    std::string dir = path;
    while (dir.size() > 1 && dir.back() == '/') dir.pop_back();
    return dir;
}

bool IsFolder(const std::string& path) {
    struct stat st {};
    return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

bool CanWriteInto(const std::string& dir, std::string& why) {
    if (::access(dir.c_str(), W_OK | X_OK) == 0) return true;
    why = std::strerror(errno);
    return false;
}

std::optional<std::tm> FileModifiedLocalTime(const std::string& path) {
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) return std::nullopt;
    std::tm local{};
    if (!::localtime_r(&st.st_mtime, &local)) return std::nullopt;
    return local;
}

} // namespace XVclUtil
