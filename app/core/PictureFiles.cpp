#include "app/core/PictureFiles.h"

#include <cstdio>
#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>
#include <vector>

namespace AppCore {

bool FileExists(const std::string& path) {
    struct stat st {};
    return !path.empty() && stat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode);
}

namespace {

bool PathExists(const std::string& path) {
    struct stat st {};
    return stat(path.c_str(), &st) == 0;
}

// The entry of folder whose name equals name without regard to ASCII case, or empty.
std::string FindEntryAnyCase(const std::string& folder, const std::string& name) {
    DIR* dir = opendir(folder.empty() ? "." : folder.c_str());
    if (!dir) return {};
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (strcasecmp(entry->d_name, name.c_str()) == 0) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

std::vector<std::string> SplitPath(const std::string& path) {
    std::vector<std::string> parts;
    std::string part;
    for (char c : path) {
        if (c == '/') {
            parts.push_back(part);
            part.clear();
        } else {
            part += c;
        }
    }
    parts.push_back(part);
    return parts;
}

} // namespace

std::string ResolveFileCase(const std::string& path) {
    if (path.empty() || PathExists(path)) return path;
    const std::vector<std::string> parts = SplitPath(path);
    std::string resolved;
    for (std::size_t i = 0; i < parts.size(); ++i) {
        const std::string& part = parts[i];
        std::string candidate = i == 0 ? part : resolved + "/" + part;
        if (part.empty() || part == "." || part == ".." || PathExists(candidate)) {
            resolved = candidate;
            continue;
        }
        const std::string folder = i == 0 ? std::string(".") : (resolved.empty() ? "/" : resolved);
        const std::string match = FindEntryAnyCase(folder, part);
        if (match.empty()) return path;
        resolved = i == 0 ? match : resolved + "/" + match;
    }
    return resolved;
}

bool FileExistsAnyCase(const std::string& path) {
    return FileExists(ResolveFileCase(path));
}

std::string FileNameOfPath(const std::string& path) {
    const std::size_t cut = path.find_last_of("/\\:");
    return cut == std::string::npos ? path : path.substr(cut + 1);
}

void DeleteFileIfExists(const std::string& path) {
    if (FileExists(path)) std::remove(path.c_str());
}

} // namespace AppCore
