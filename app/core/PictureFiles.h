#pragma once
// File names and existence tests for picture and data files. Names written for a case-blind
// file system are found without regard to case when the exact name is missing.

#include <string>

namespace AppCore {

// True when path names an existing regular file (not a folder).
bool FileExists(const std::string& path);
// The path itself when it exists; else the first entry of each folder level that matches
// without regard to case; else the path unchanged.
std::string ResolveFileCase(const std::string& path);
// FileExists(ResolveFileCase(path)).
bool FileExistsAnyCase(const std::string& path);
// File name and extension of a path written with "/" or "\" separators and maybe a drive.
std::string FileNameOfPath(const std::string& path);
// Deletes the file when it exists.
void DeleteFileIfExists(const std::string& path);

} // namespace AppCore
