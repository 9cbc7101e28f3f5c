#pragma once
// Fuzz targets whose code writes work files into the current folder run in a private temporary
// folder, removed with everything in it when the fuzzer exits. libFuzzer reads its corpus paths
// after the target has started, so relative paths on the command line are made absolute first.

#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>
#include <vector>

// Call from LLVMFuzzerInitialize; returns the private folder.
inline std::string EnterPrivateWorkDir(int* argc, char*** argv, const char* name) {
    static std::vector<std::string> absolute;
    absolute.reserve(static_cast<std::size_t>(*argc));
    for (int i = 1; i < *argc; ++i) {
        const std::string arg = (*argv)[i];
        if (arg.empty() || arg[0] == '-') continue;
        absolute.push_back(std::filesystem::absolute(arg).string());
        (*argv)[i] = absolute.back().data();
    }
    const auto dir = std::filesystem::temp_directory_path() /
                     (std::string(name) + "_" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    std::filesystem::current_path(dir);
    static std::string made;
    made = dir.string();
    std::atexit([] {
        std::error_code ec;
        std::filesystem::current_path(std::filesystem::temp_directory_path(), ec);
        std::filesystem::remove_all(made, ec);
    });
    return made;
}
