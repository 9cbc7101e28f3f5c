#pragma once
// A temporary folder per test, removed with everything in it.

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#ifdef _WIN32
#include <random>
#else
#include <unistd.h>
#endif

class TTempDir {
public:
#ifdef _WIN32
    // No mkdtemp: a random name, created only when it did not exist.
    TTempDir() {
        std::random_device seed;
        std::mt19937_64 random(seed());
        const auto base = std::filesystem::temp_directory_path();
        for (int attempt = 0; attempt < 100 && Path.empty(); ++attempt) {
            const auto dir = base / ("zkf" + std::to_string(random() % 1000000000));
            if (std::filesystem::create_directory(dir)) Path = dir.string();
        }
    }
#else
    TTempDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "zkfXXXXXX").string();
        Path = ::mkdtemp(pattern.data());
    }
#endif
    ~TTempDir() {
        std::error_code ec;
        std::filesystem::permissions(Path, std::filesystem::perms::owner_all, ec);
        std::filesystem::remove_all(Path, ec);
    }
    std::string File(const std::string& name) const {
        return Path + "/" + name;
    }

    static std::string Read(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), {});
    }
    static void Write(const std::string& path, const std::string& bytes) {
        std::ofstream(path, std::ios::binary) << bytes;
    }

    std::string Path;
};
