#include "PathSyntax.h"

#include <cctype>

namespace XVclUtil {

namespace {
bool IsSeparator(const TPathSyntax& syntax, char c) {
    return c == '/' || (syntax.Windows && c == '\\');
}
} // namespace

bool IsAbsolutePath(const TPathSyntax& syntax, const std::string& path) {
    if (path.empty()) return false;
    if (IsSeparator(syntax, path[0])) return true; // "\\server\share\..." and "\..." alike
    return syntax.Windows && path.size() >= 3 &&
           std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
           IsSeparator(syntax, path[2]);
}

std::string JoinPath(const TPathSyntax& syntax, const std::string& dir, const std::string& name) {
    if (dir.empty() || IsAbsolutePath(syntax, name)) return name;
    if (IsSeparator(syntax, dir.back())) return dir + name;
    return dir + syntax.Delim + name;
}

std::string NativePath(const TPathSyntax& syntax, std::string path) {
    if (!syntax.Windows) return path;
    for (char& c : path)
        if (c == '/') c = syntax.Delim;
    return path;
}

std::string AbsolutePath(const TPathSyntax& syntax, const std::string& path,
                         const std::string& base) {
    if (path.empty()) return path;
    return NativePath(syntax, JoinPath(syntax, base, path));
}

} // namespace XVclUtil
