#include "TDiskWorkFolder.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"

#include <algorithm>
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

namespace Rom {

TDiskWorkFolder::TDiskWorkFolder(std::string directory)
    : Directory(directory.empty() ? std::string(1, '.') : std::move(directory)) {}

std::string TDiskWorkFolder::PathOf(const std::string& name) const {
    return XVclUtil::JoinPath(Directory, name); // a full path stays as it is
}

bool TDiskWorkFolder::Exists(const std::string& name) const {
    return XVclUtil::FileExists(PathOf(name));
}

std::optional<std::size_t> TDiskWorkFolder::Size(const std::string& name) const {
    struct stat st {};
    if (::stat(PathOf(name).c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return std::nullopt;
    return static_cast<std::size_t>(st.st_size);
}

std::optional<std::vector<std::uint8_t>> TDiskWorkFolder::Read(const std::string& name) const {
    return XVclUtil::ReadWholeFile(PathOf(name));
}

bool TDiskWorkFolder::Write(const std::string& name, std::span<const std::uint8_t> data) {
    return XVclUtil::WriteWholeFile(PathOf(name), data);
}

bool TDiskWorkFolder::Remove(const std::string& name) {
    return Exists(name) && ::unlink(PathOf(name).c_str()) == 0;
}

std::vector<std::string> TDiskWorkFolder::Names() const {
    std::vector<std::string> names;
    if (DIR* dir = ::opendir(Directory.c_str())) {
        while (dirent* e = ::readdir(dir)) {
            std::string name = e->d_name;
            if (name != "." && name != ".." && Exists(name)) names.push_back(name);
        }
        ::closedir(dir);
    }
    std::sort(names.begin(), names.end());
    return names;
}

} // namespace Rom
