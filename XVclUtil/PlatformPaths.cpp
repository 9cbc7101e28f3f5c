#include "PlatformPaths.h"

namespace XVclUtil {

std::string JoinPath(const std::string& dir, const std::string& name) {
    if (dir.empty() || IsAbsolutePath(name)) return name;
    const char last = dir.back();
    if (last == '/' || last == PathDelim) return dir + name;
    return dir + PathDelim + name;
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
    if (PathDelim == '/') return path; // a backslash is part of a name there
    for (char& c : path)
        if (c == '/') c = PathDelim;
    return path;
}

} // namespace XVclUtil
