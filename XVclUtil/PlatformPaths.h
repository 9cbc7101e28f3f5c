#pragma once
// Paths as the users of this platform write them, and the few facts about folders that differ
// between platforms: where the program is, the current folder, whether a folder may be written
// into. One file per platform (PlatformPaths_Posix.cpp, PlatformPaths_Win32.cpp).

#include <ctime>
#include <filesystem>
#include <optional>
#include <string>

namespace XVclUtil {

// The folder separator users of this platform expect: '\\' on Windows, '/' elsewhere.
extern const char PathDelim;

// True for a path that names its place without the current folder: "/..." here; on Windows
// also "C:\...", "C:/...", "\\server\share\..." and "\..." (the current drive's root).
bool IsAbsolutePath(const std::string& path);
// name when it is absolute, else dir joined to it with PathDelim.
std::string JoinPath(const std::string& dir, const std::string& name);
// The path with every "/" as PathDelim, so that a printed path has one style on Windows.
std::string NativePath(std::string path);
// A path the user gave, made independent of the current folder: empty stays empty, an absolute
// path stays where it points, anything else is taken in base; either way in NativePath form.
std::string AbsolutePath(const std::string& path, const std::string& base);

// The programs keep file names as UTF-8 text (on Windows their manifest makes UTF-8 the code
// page of the ANSI calls). std::filesystem takes a plain string in the C library's code page
// there, so paths cross over through these two.
std::filesystem::path FsPath(const std::string& utf8);
std::string FsString(const std::filesystem::path& path);

// Folder of the running executable, ending in PathDelim.
std::string ExecutableDir();
// The current working folder, without a trailing separator ("." when unknown).
std::string CurrentDir();
bool IsFolder(const std::string& path);
// Whether files can be made in the folder; why gets the system's reason when not.
bool CanWriteInto(const std::string& dir, std::string& why);
// The file's modification time as local time; nothing when the file is missing.
std::optional<std::tm> FileModifiedLocalTime(const std::string& path);

} // namespace XVclUtil
