#include "tools/sampledata/SampleFiles.h"

#include "XVclUtil/AtomicFile.h"
#include "XVclUtil/EXGeneral.h"
#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <system_error>

namespace SampleData {

namespace fs = std::filesystem;

void EnsureWritableFolder(const std::string& dir) {
    std::error_code ec;
    fs::create_directories(XVclUtil::FsPath(dir), ec);
    if (ec)
        throw XVclUtil::EXGeneral("Cannot create the folder %s: %s", dir.c_str(),
                                  ec.message().c_str());
    if (!fs::is_directory(XVclUtil::FsPath(dir), ec))
        throw XVclUtil::EXGeneral("Not a folder: %s", dir.c_str());
    std::string why;
    if (!XVclUtil::CanWriteInto(dir, why))
        throw XVclUtil::EXGeneral("Cannot write into the folder %s: %s", dir.c_str(), why.c_str());
}

void WriteSampleFile(const std::string& path, const std::string& bytes) {
    std::string why;
    if (!XVclUtil::WriteFileAtomically(path, bytes, &why))
        throw XVclUtil::EXGeneral("Cannot write the file %s: %s", path.c_str(), why.c_str());
}

void WriteThroughScratch(
    const std::string& path,
    const std::function<bool(const std::string& scratch, std::string& why)>& write) {
    const std::string scratch = path + ".new";
    std::remove(scratch.c_str());
    std::string why = "write failed";
    const bool made = write(scratch, why);
    const auto bytes = made ? XVclUtil::ReadWholeFile(scratch) : std::nullopt;
    std::remove(scratch.c_str());
    if (!bytes)
        throw XVclUtil::EXGeneral("Cannot write the file %s: %s", path.c_str(), why.c_str());
    WriteSampleFile(path, std::string(bytes->begin(), bytes->end()));
}

void WriteFiles(const std::map<std::string, std::string>& files, const std::string& dir,
                const std::string& stripPrefix) {
    for (const auto& [relative, bytes] : files) {
        std::string name = relative;
        if (name.compare(0, stripPrefix.size(), stripPrefix) == 0)
            name.erase(0, stripPrefix.size());
        const fs::path path = XVclUtil::FsPath(dir) / XVclUtil::FsPath(name);
        EnsureWritableFolder(XVclUtil::FsString(path.parent_path()));
        WriteSampleFile(XVclUtil::FsString(path), bytes);
    }
}

} // namespace SampleData
