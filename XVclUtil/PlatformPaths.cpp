#include "PlatformPaths.h"

namespace XVclUtil {

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || IsAbsolutePath(name)) return name;
    const char last = dir.back();
    if (last == '/' || last == PathDelim) return dir + name;
    return dir + PathDelim + name;
}

std::string NativePath(std::string path) {
    if (PathDelim == '/') return path; // a backslash is part of a name there
    for (char& c : path)
        if (c == '/') c = PathDelim;
    return path;
}

} // namespace XVclUtil
