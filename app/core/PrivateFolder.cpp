#include "app/core/PrivateFolder.h"

#include "XVclUtil/PlatformPaths.h"

#include <filesystem>
#include <random>

namespace AppCore {

namespace fs = std::filesystem;

TPrivateTempFolder::TPrivateTempFolder(const std::string& prefix) {
    std::error_code ec;
    const fs::path base = fs::temp_directory_path(ec);
    if (ec) {
        Why = "no temporary folder: " + ec.message();
        return;
    }
    std::random_device seed;
    std::mt19937_64 random(seed());
    for (int attempt = 0; attempt < 100; ++attempt) {
        const fs::path dir = base / (prefix + std::to_string(random() % 1000000000000ull));
        if (fs::create_directory(dir, ec)) {
            fs::permissions(dir, fs::perms::owner_all, ec);
            Dir = dir.string();
            return;
        }
        if (ec) break; // not a name taken by chance: the folder cannot be written
    }
    Why = "cannot make a temporary folder in " + base.string() +
          (ec ? ": " + ec.message() : std::string());
}

TPrivateTempFolder::~TPrivateTempFolder() {
    std::error_code ec;
    if (!Dir.empty()) fs::remove_all(Dir, ec);
}

bool MakeFolder(const std::string& path, std::string& error, bool follow) {
    std::error_code ec;
    for (int attempt = 0; attempt < 2; ++attempt) {
        const fs::path name = XVclUtil::FsPath(path);
        const fs::file_status st = follow ? fs::status(name, ec) : fs::symlink_status(name, ec);
        if (fs::exists(st)) {
            if (fs::is_directory(st)) return true;
            error = path + " is not a folder";
            return false;
        }
        if (!fs::create_directory(name, ec) && ec) break;
    }
    error = "cannot make the folder " + path + (ec ? ": " + ec.message() : std::string());
    return false;
}

} // namespace AppCore
