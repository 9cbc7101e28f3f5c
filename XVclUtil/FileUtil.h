#pragma once
// Existence tests, whole-file reads and plain writes, case-blind lookups and file-name pieces
// used by every part. Files that hold the user's work are written with AtomicFile.h instead.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace XVclUtil {

// True when path names an existing regular file (or a link to one); false for a folder.
bool FileExists(const std::string& path);
// True when anything at all (file, folder, device) exists under path.
bool PathExists(const std::string& path);

// Why path is no regular file to read, in words for a message box: the system's reason when
// nothing can be found under it ("No such file or directory"), else "a folder", "a FIFO", "a
// device" or "not a regular file". Empty for a regular file (or a link to one).
std::string NotRegularFileReason(const std::string& path);

// The size of a regular file (or of what a link leads to); nullopt for anything else.
std::optional<std::uint64_t> RegularFileSize(const std::string& path);
// What tells whether a regular file changed without reading it: rewriting it changes its size
// or modification time, and another file put under the name its device and inode (where the
// system has them). Nullopt for anything but a regular file.
struct TFileStamp {
    std::uint64_t Size = 0;
    std::int64_t ModifiedNs = 0;
    std::uint64_t Device = 0;
    std::uint64_t Inode = 0;
    bool operator==(const TFileStamp&) const = default;
};
std::optional<TFileStamp> RegularFileStamp(const std::string& path);
// The whole regular file, read in one piece of its size. Nullopt when it cannot be opened, is
// not a regular file, is larger than maxBytes or a read fails; a file that shrank while being
// read yields what was there.
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& path,
                                                       std::uint64_t maxBytes = UINT64_MAX);
// Plain create-or-overwrite, for scratch and generated files; false on any failure.
bool WriteWholeFile(const std::string& path, std::span<const std::uint8_t> data);
// Deletes path when it is a regular file; a folder stays.
void DeleteFileIfExists(const std::string& path);

// Names written for a case-blind file system (upper-cased, or typed on Windows) are found on a
// file system that tells case apart by matching each folder and the name without regard to
// ASCII case.
// The path of an existing regular file: path itself when it exists, else the file whose folders
// and name match path without regard to case. Empty when none matches.
std::string FindFileNoCase(const std::string& path);
// Path itself when anything exists under it, else FindFileNoCase(path), else path unchanged.
std::string ResolveFileCase(const std::string& path);
// FileExists(ResolveFileCase(path)).
bool FileExistsAnyCase(const std::string& path);

// File name and extension of a path written with "/" or "\" separators and maybe a drive.
std::string FileNameOfPath(const std::string& path);
// The file name with the extension of its last path component replaced by ext (which includes
// the dot), or ext appended when it has none. Both "/" and "\" end a folder.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

} // namespace XVclUtil
