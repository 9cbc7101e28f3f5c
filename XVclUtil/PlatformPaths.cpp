#include "PlatformPaths.h"

#include "PathSyntax.h"

namespace XVclUtil {

bool IsAbsolutePath(const std::string& path) {
    return IsAbsolutePath(PlatformPathSyntax(), path);
}

std::string JoinPath(const std::string& dir, const std::string& name) {
    return JoinPath(PlatformPathSyntax(), dir, name);
}

std::string NativePath(std::string path) {
    return NativePath(PlatformPathSyntax(), std::move(path));
}

std::string AbsolutePath(const std::string& path, const std::string& base) {
    return AbsolutePath(PlatformPathSyntax(), path, base);
}

} // namespace XVclUtil
