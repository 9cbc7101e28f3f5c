#pragma once
// Whole-file reads and writes. Files that hold the user's work go through WriteFileAtomically:
// a temporary file in the same folder, flushed, then renamed over the target, so a failure
// never leaves a truncated file under the target's name.

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <vector>

namespace Rom {

bool FileExists(const std::string& fileName); // a regular file (or a link to one)
std::optional<std::vector<std::uint8_t>> ReadWholeFile(const std::string& fileName);
// Plain create-or-overwrite; false on any failure.
bool WriteWholeFile(const std::string& fileName, std::span<const std::uint8_t> data);
// Temporary file in the same folder renamed over the target; on failure the target is
// untouched, no temporary file stays, and `error` (when given) says why.
bool WriteFileAtomically(const std::string& fileName, std::span<const std::uint8_t> data,
                         std::string* error = nullptr);

// The file name with the extension of its last path component replaced by `ext` (which
// includes the dot), or `ext` appended when it has none. Both "/" and "\" end a folder.
std::string ChangeFileExt(const std::string& fileName, const std::string& ext);

} // namespace Rom

namespace Rom {

// The path of an existing regular file: `path` itself when it exists, else the file whose
// folders and name match `path` without regard to ASCII case (Linux file systems tell case
// apart, the pictures' names come upper-cased or from Windows). Empty when none matches.
std::string FindFileNoCase(const std::string& path);

} // namespace Rom
