#pragma once
// Files that hold the user's work are written to a temporary file in the same folder and then
// renamed over the target, so a crash, a kill or a full disk never leaves a half-written file.

#include <string>

namespace XVclUtil {

// False when the data could not be written completely; the target is then untouched.
bool WriteFileAtomically(const std::string& path, const std::string& data);
bool WriteFileAtomically(const std::string& path, const void* data, std::size_t size);

} // namespace XVclUtil
