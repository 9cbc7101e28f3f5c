#include "PlatformPaths.h"

#include "PathSyntax.h"

#include "SystemError.h"

#include <sys/stat.h>
#include <windows.h>

namespace XVclUtil {

const char PathDelim = '\\';

const TPathSyntax& PlatformPathSyntax() {
    return WindowsPathSyntax;
}

std::string ExecutableDir() {
    char path[MAX_PATH * 4];
    const DWORD n = ::GetModuleFileNameA(nullptr, path, sizeof path);
    if (n == 0 || n >= sizeof path) return CurrentDir() + PathDelim;
    const std::string full = NativePath(std::string(path, n));
    return full.substr(0, full.find_last_of('\\') + 1);
}

std::string CurrentDir() {
    char path[MAX_PATH * 4];
    const DWORD n = ::GetCurrentDirectoryA(sizeof path, path);
    if (n == 0 || n >= sizeof path) return ".";
    std::string dir = NativePath(std::string(path, n));
    // "C:\" keeps its separator: without it the name means the drive's current folder.
    while (dir.size() > 3 && dir.back() == '\\') dir.pop_back();
    return dir;
}

bool IsFolder(const std::string& path) {
    const DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

// Windows has no cheap access check for folders: a file is made and removed.
bool CanWriteInto(const std::string& dir, std::string& why) {
    char name[MAX_PATH];
    if (::GetTempFileNameA(dir.c_str(), "zkf", 0, name) == 0) {
        why = SystemErrorText(LastSystemError());
        return false;
    }
    ::DeleteFileA(name);
    return true;
}

std::optional<std::tm> FileModifiedLocalTime(const std::string& path) {
    struct _stat64 st {};
    if (::_stat64(path.c_str(), &st) != 0) return std::nullopt;
    std::tm local{};
    if (::_localtime64_s(&local, &st.st_mtime) != 0) return std::nullopt;
    return local;
}

} // namespace XVclUtil
