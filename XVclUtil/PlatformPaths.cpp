#include "PlatformPaths.h"

#include "PathSyntax.h"

namespace XVclUtil {

bool IsAbsolutePath(const std::string& path) {
    return IsAbsolutePath(PlatformPathSyntax(), path);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    return JoinPath(PlatformPathSyntax(), dir, name);
}

std::filesystem::path FsPath(const std::string& utf8) {
    return std::filesystem::path(
        std::u8string(reinterpret_cast<const char8_t*>(utf8.data()), utf8.size()));
}

std::string FsString(const std::filesystem::path& path) {
    const std::u8string text = path.u8string();
    return std::string(text.begin(), text.end());
}

std::string NativePath(std::string path) {
    return NativePath(PlatformPathSyntax(), std::move(path));
}

std::string AbsolutePath(const std::string& path, const std::string& base) {
    return AbsolutePath(PlatformPathSyntax(), path, base);
}

} // namespace XVclUtil
