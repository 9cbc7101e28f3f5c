#include "app/core/PictureFinder.h"

#include "app/core/CodeCell.h"
#include "app/core/Messages.h"

#include "XVclUtil/FileUtil.h"
#include "XVclUtil/PlatformPaths.h"

#include <algorithm>

namespace AppCore {

namespace {

std::string FolderOf(const std::string& path) {
    return path.substr(0, path.size() - XVclUtil::FileNameOfPath(path).size());
}

std::string WithSlash(const std::string& dir) {
    return dir.empty() ? dir : XVclUtil::JoinPath(dir, "");
}

} // namespace

TPictureFinder::TPictureFinder(const std::string& projectPath, const std::string& workDir)
    : ProjectDir(WithSlash(FolderOf(projectPath))), WorkDir(WithSlash(workDir)) {}

std::string TPictureFinder::TryLocate(const std::string& path) {
    if (TrimText(path).empty()) return {};
    if (const std::string found = XVclUtil::FindFileNoCase(path); !found.empty()) return found;
    // A name from a project saved on Windows may carry backslash folders.
    std::string name = XVclUtil::FileNameOfPath(path);
    if (name.empty()) return {};
    for (const std::string& dir : {ProjectDir, WorkDir}) {
        if (dir.empty()) continue;
        const std::string found = XVclUtil::FindFileNoCase(dir + name);
        if (found.empty()) continue;
        Found.push_back(name + " found in " + dir);
        return found;
    }
    return {};
}

std::string TPictureFinder::Locate(const std::string& path) {
    const std::string found = TryLocate(path);
    if (found.empty()) NoteMissing(path);
    return found;
}

void TPictureFinder::NoteMissing(const std::string& path) {
    if (!TrimText(path).empty() && !IsMissing(path)) Missing.push_back(path);
}

bool TPictureFinder::IsMissing(const std::string& path) const {
    return std::find(Missing.begin(), Missing.end(), path) != Missing.end();
}

std::string TPictureFinder::Report() const {
    std::string text;
    for (const std::string& line : Found) text += line + "\n";
    for (const std::string& path : Missing) text += Msg::PictureMissing + path + "\n";
    return text;
}

} // namespace AppCore
