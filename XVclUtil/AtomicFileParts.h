#pragma once
// Pieces the atomic writer's platform files share: the temporary file's name pattern and a
// write that does not stop short.

#include <cstddef>
#include <string>

namespace XVclUtil::AtomicFileParts {

inline constexpr std::size_t BufferBytes = 1 << 16;
inline constexpr int NotRegularFile = -1; // ErrorNumber for a target that is no regular file
inline constexpr const char* TempMark = ".tmp";
inline constexpr std::size_t TempRandomChars = 6;
#ifdef _WIN32
inline constexpr const char* Separators = "\\/";
#else
inline constexpr const char* Separators = "/";
#endif

bool WriteAll(int fd, const char* p, std::size_t n);
std::string FolderOf(const std::string& path);
std::string NameOf(const std::string& path);
bool IsTempRandomPart(const char* s); // the XXXXXX of "<name>.tmpXXXXXX"
std::string RandomSuffix();

} // namespace XVclUtil::AtomicFileParts
