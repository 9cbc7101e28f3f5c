#pragma once
// Pictures of a project that was moved: a picture path that no longer exists is looked for by
// its file name beside the project file, then in the working folder, without regard to case.
// What was found where and what is still missing is kept for one message after the load.

#include <string>
#include <vector>

namespace AppCore {

class TPictureFinder {
public:
    TPictureFinder(const std::string& projectPath, const std::string& workDir);

    // The existing file for path (any case), else the file of its name beside the project or in
    // the working folder; empty when none, and the path is listed as missing.
    std::string Locate(const std::string& path);
    // As Locate, without listing the path as missing when it is found nowhere.
    std::string TryLocate(const std::string& path);
    // Lists path as missing (once), for a picture that no lookup found.
    void NoteMissing(const std::string& path);
    bool IsMissing(const std::string& path) const;

    // "Found ... in ..." and "Missing ..." lines; empty when every path was where it was saved.
    std::string Report() const;

private:
    std::string ProjectDir;
    std::string WorkDir;
    std::vector<std::string> Found;
    std::vector<std::string> Missing;
};

} // namespace AppCore
