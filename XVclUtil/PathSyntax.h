#pragma once
// The path rules of each platform as plain text rules, so that both sets can be checked on any
// machine. PlatformPaths applies the set of the platform it runs on.

#include <string>

namespace XVclUtil {

struct TPathSyntax {
    char Delim;   // the separator paths are printed with
    bool Windows; // drive letters, UNC names and "\" count as on Windows
};

inline constexpr TPathSyntax PosixPathSyntax{'/', false};
inline constexpr TPathSyntax WindowsPathSyntax{'\\', true};
// The rules of the platform this program runs on (defined in its PlatformPaths file).
const TPathSyntax& PlatformPathSyntax();

// "/..." everywhere; on Windows also "C:\...", "C:/...", "\\server\share\..." and "\..." (the
// current drive's root). "C:name" is relative to drive C's current folder, so not absolute.
bool IsAbsolutePath(const TPathSyntax& syntax, const std::string& path);
// name when it is absolute or dir is empty, else dir and name with one separator between.
std::string JoinPath(const TPathSyntax& syntax, const std::string& dir, const std::string& name);
// Every "/" as the syntax's separator (a backslash is part of a name on POSIX systems).
std::string NativePath(const TPathSyntax& syntax, std::string path);
// Empty stays empty; else NativePath(JoinPath(base, path)).
std::string AbsolutePath(const TPathSyntax& syntax, const std::string& path,
                         const std::string& base);

} // namespace XVclUtil
